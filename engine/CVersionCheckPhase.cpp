#include "engine/CVersionCheckPhase.h"

#include "engine/CConfirmationText.h"
#include "engine/CMessageBuffer.h"
#include "engine/CUpgrader.h"
#include "engine/CVersionQuery.h"
#include "engine/CWelcomeAnswer.h"
#include "link/CCommandSocket.h"
#include "platform/Operator.h"

namespace
{
const char kWelcomeCommand[] = "ls welcome.msg\n";
} // namespace

CVersionCheckPhase::CVersionCheckPhase(CUpgrader& upgrader, CCommandSocket& session)
    : m_upgrader(upgrader), m_session(session)
{
}

bool CVersionCheckPhase::Run(const std::string& packageVersion, CMessageBuffer& message)
{
    std::string applianceVersion;
    if (!CVersionQuery::Ask(m_session, applianceVersion))
        return false;
    bool welcomeFilePresent = false;
    if (CConfirmationText::NeedsWelcomeTest(applianceVersion, packageVersion))
    {
        const WelcomeFile welcome = TestWelcomeFile();
        if (welcome == WelcomeFile::Unknown)
            return false;
        welcomeFilePresent = welcome == WelcomeFile::Present;
    }
    const CConfirmationText::Kind kind =
        CConfirmationText::Choose(applianceVersion, packageVersion, welcomeFilePresent);
    CConfirmationText::Format(kind, applianceVersion, packageVersion, message);
    return m_upgrader.Ports().op.ConfirmUpgrade(message.Text());
}

CVersionCheckPhase::WelcomeFile CVersionCheckPhase::TestWelcomeFile()
{
    const int length = sizeof kWelcomeCommand - 1;
    if (m_session.Send(kWelcomeCommand, length) < length)
        return WelcomeFile::Unknown;
    std::string reply;
    if (!m_session.ReceiveUntil(reply, "\n"))
        return WelcomeFile::Unknown;
    switch (CWelcomeAnswer::Parse(reply))
    {
    case CWelcomeAnswer::Result::Missing:
        return WelcomeFile::Missing;
    case CWelcomeAnswer::Result::Present:
        return WelcomeFile::Present;
    case CWelcomeAnswer::Result::Unreadable:
        break;
    }
    return WelcomeFile::Unknown;
}
