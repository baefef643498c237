#pragma once
#include <string>

class CCommandSocket;
class CMessageBuffer;
class CUpgrader;

// The end of the run: the last restart, mail checking back on, and the appliance's version
// after the upgrade judged against the package's.
class CVerificationPhase
{
public:
    CVerificationPhase(CUpgrader& upgrader, CCommandSocket& session);

    // 1 when the appliance runs the package version (after the success box), else 0.
    int Run(const std::string& packageVersion, CMessageBuffer& message);

private:
    CUpgrader& m_upgrader;
    CCommandSocket& m_session;
};
