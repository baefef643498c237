#pragma once
#include "platform/FtpClient.h"

// The Internet port over WinInet: direct access, no proxy, context 1.
class CWinInet : public IInternet
{
public:
    std::unique_ptr<IInternetSession> OpenSession(const std::string& agentName) override;
};
