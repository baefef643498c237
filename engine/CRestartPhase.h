#pragma once

class CCommandSocket;
class CUpgrader;

// The restarts of the run: the appliance is restarted, given its fixed wait, and logged in to
// again once on the same command session.
class CRestartPhase
{
public:
    CRestartPhase(CUpgrader& upgrader, CCommandSocket& session);

    // Before the version check: mail checking off, then the restart.
    bool SwitchMailCheckingOffAndRestart();

    // The restart and the one new login; false after the box that names what failed.
    bool RestartAndLogIn();

private:
    CUpgrader& m_upgrader;
    CCommandSocket& m_session;
};
