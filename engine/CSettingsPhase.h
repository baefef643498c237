#pragma once

class CCommandSocket;
class CUpgrader;

// The appliance settings: the fixed list of 29 variables, then the database written to disk,
// each command answered by the prompt.
class CSettingsPhase
{
public:
    CSettingsPhase(CUpgrader& upgrader, CCommandSocket& session);

    // False, after the box, at the first command that fails; the later ones are not sent.
    bool Run();

private:
    CUpgrader& m_upgrader;
    CCommandSocket& m_session;
};
