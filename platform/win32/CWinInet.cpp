#include "platform/win32/CWinInet.h"

#include "platform/win32/CWinInetSession.h"

std::unique_ptr<IInternetSession> CWinInet::OpenSession(const std::string& agentName)
{
    return std::make_unique<CWinInetSession>(agentName);
}
