#include "engine/CRestartPhase.h"

#include "engine/CCommandStep.h"
#include "engine/CUpgrader.h"
#include "engine/RunMessages.h"
#include "link/CCommandSocket.h"

namespace
{
const char kMailCheckOff[] = "cdb general system mailcheck 0\n";
constexpr int kRestartWaitMs = 75000;
} // namespace

CRestartPhase::CRestartPhase(CUpgrader& upgrader, CCommandSocket& session)
    : m_upgrader(upgrader), m_session(session)
{
}

bool CRestartPhase::SwitchMailCheckingOffAndRestart()
{
    return CCommandStep::Send(m_upgrader, m_session, kMailCheckOff) && RestartAndLogIn();
}

bool CRestartPhase::RestartAndLogIn()
{
    if (!m_session.Reboot(kRestartWaitMs, m_upgrader))
    {
        m_upgrader.ShowFailure(run_messages::kCannotRestart, run_messages::kInternalError);
        return false;
    }
    // No second attempt: an appliance that is not back after the wait ends the run.
    if (!m_session.Login(m_upgrader))
    {
        m_upgrader.ShowFailure(run_messages::kCannotConnect, run_messages::kInternalError);
        return false;
    }
    return true;
}
