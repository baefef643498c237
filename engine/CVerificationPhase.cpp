#include "engine/CVerificationPhase.h"

#include "engine/CCommandStep.h"
#include "engine/CMessageBuffer.h"
#include "engine/CRestartPhase.h"
#include "engine/CUpgrader.h"
#include "engine/CVersionQuery.h"
#include "engine/UpgradeMessages.h"
#include "link/CCommandSocket.h"

namespace
{
const char kMailCheckOn[] = "cdb general system mailcheck 1\n";
const char kSuccessText[] = "Your Corvane has been successfully upgraded to version %s.";
const char kFailureText[] = "Your upgrade to version %s has failed; it is currently running "
                            "version %s\n\nPlease run the upgrader again.";
const char kSuccessKind[] = "Success";
const char kFailureKind[] = "Failure";
} // namespace

CVerificationPhase::CVerificationPhase(CUpgrader& upgrader, CCommandSocket& session)
    : m_upgrader(upgrader), m_session(session)
{
}

int CVerificationPhase::Run(const std::string& packageVersion, CMessageBuffer& message)
{
    if (!CRestartPhase(m_upgrader, m_session).RestartAndLogIn())
        return 0;
    if (!CCommandStep::Send(m_upgrader, m_session, kMailCheckOn))
        return 0;
    std::string applianceVersion;
    if (!CVersionQuery::Ask(m_session, applianceVersion))
        return 0;
    if (applianceVersion != packageVersion)
    {
        message.Format(kFailureText, {packageVersion, applianceVersion});
        m_upgrader.ShowFailure(message.Text(), kFailureKind);
        return 0;
    }
    m_upgrader.Post(WM_UPGRADE_NEARLY_DONE);
    message.Format(kSuccessText, {applianceVersion});
    m_upgrader.ShowFailure(message.Text(), kSuccessKind);
    // Closed here, the socket sends no close message when the session goes.
    m_session.Close();
    return 1;
}
