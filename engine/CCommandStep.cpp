#include "engine/CCommandStep.h"

#include "engine/CUpgrader.h"
#include "engine/RunMessages.h"
#include "link/CCommandSocket.h"

namespace
{
const char kPrompt[] = ">";
} // namespace

bool CCommandStep::Send(CUpgrader& upgrader, CCommandSocket& session, const std::string& command)
{
    if (session.SendCommand(command, kPrompt))
        return true;
    upgrader.ShowFailure(run_messages::kCannotSend, run_messages::kInternalError);
    return false;
}
