#pragma once
#include <string>

class CCommandSocket;
class CMessageBuffer;
class CUpgrader;

// The version check: the appliance's version against the package's, the welcome test when they
// are equal, and the operator's confirmation with the text that this gives.
class CVersionCheckPhase
{
public:
    CVersionCheckPhase(CUpgrader& upgrader, CCommandSocket& session);

    // True when the operator chose "Upgrade". Every other end shows no box.
    bool Run(const std::string& packageVersion, CMessageBuffer& message);

private:
    enum class WelcomeFile
    {
        Unknown,
        Missing,
        Present
    };
    WelcomeFile TestWelcomeFile();

    CUpgrader& m_upgrader;
    CCommandSocket& m_session;
};
