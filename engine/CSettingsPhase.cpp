#include "engine/CSettingsPhase.h"

#include "engine/CCommandStep.h"
#include "engine/CUpgrader.h"

namespace
{
const char kSettingStatus[] = "Setting database variables";
const char kWritingStatus[] = "Writing database variables to disk";
constexpr long kSettingSeconds = 94;
constexpr long kWritingSeconds = 5;

// Sent in this order, each line exactly as it stands.
const char* const kSettings[] = {
    "cdb general system CronReboot 1\n",
    "cdb general system alertdata /etc/admin/open/alerts.shtml\n",
    "cdb general system mymboxhome /etc/admin/mb-splas.shtml\n",
    "cdb general system RebootTime 233\n",
    "cdb general system RebootDays smtwtfs\n",
    "cdb general system RebootDefer 60\n",
    "cdb general system MaxFileLocks 32\n",
    "cdb general system FileLockRetryLimit 15\n",
    "cdb general system LogSeverityMin 200\n",
    "cdb general system DebugFileLocks 0\n",
    "cdb general http MaxSessions 5\n",
    "cdb general http QueueSize 50\n",
    "cdb general pop MaxSessions 3\n",
    "cdb general pop QueueSize 4\n",
    "cdb general smtp MaxSessions 3\n",
    "cdb general smtp QueueSize 4\n",
    "ddb general smtp MaxResolves 3\n",
    "ddb general smtp ProcessQueueTasks 2\n",
    "ddb general smtp ProcessQueueSize 150\n",
    "ddb general system catchall\n",
    "ddb general system totalrecipients 100\n",
    "ddb general system headerfieldbytes 4096\n",
    "ddb general system totaladdresseebytes 4096\n",
    "cdb general system ConnectStatusRefreshRate 5\n",
    "cdb general system NewUserGreeting Welcome!\n",
    "cdb general smtp MboxFullTimeoutDays 1\n",
    "cdb general smtp MboxFullRetryMinutes 180\n",
    "cdb general smtp IspDeferRetryMinutes 180\n",
    "cdb general smtp IspDeferTimeoutDays 1\n",
};
const char kWriteDatabase[] = "wdb general\n";
} // namespace

CSettingsPhase::CSettingsPhase(CUpgrader& upgrader, CCommandSocket& session)
    : m_upgrader(upgrader), m_session(session)
{
}

bool CSettingsPhase::Run()
{
    m_upgrader.PostTimedStep(kSettingStatus, kSettingSeconds);
    for (const char* setting : kSettings)
        if (!CCommandStep::Send(m_upgrader, m_session, setting))
            return false;
    m_upgrader.PostTimedStep(kWritingStatus, kWritingSeconds);
    return CCommandStep::Send(m_upgrader, m_session, kWriteDatabase);
}
