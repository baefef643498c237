#include "engine/CVersionQuery.h"

#include "engine/CVersionReply.h"
#include "link/CCommandSocket.h"

namespace
{
const char kVersionCommand[] = "ver\n";
} // namespace

bool CVersionQuery::Ask(CCommandSocket& session, std::string& version)
{
    const int length = sizeof kVersionCommand - 1;
    if (session.Send(kVersionCommand, length) < length)
        return false;
    std::string reply;
    if (!session.ReceiveUntil(reply, "\n"))
        return false;
    return CVersionReply::Parse(reply, version);
}
