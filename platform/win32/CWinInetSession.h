#pragma once
#include "platform/FtpClient.h"
#include "platform/win32/CWinInetHandle.h"

// One WinInet session (InternetOpen with direct access, no proxy, flags 0). The FTP connections
// it opens are active-mode connections to the default FTP port.
class CWinInetSession : public IInternetSession
{
public:
    // Throws CInternetError when WinInet cannot open the session.
    explicit CWinInetSession(const std::string& agentName);

    std::unique_ptr<IFtpConnection> OpenFtp(const std::string& server, const std::string& user,
                                            const std::string& password) override;

private:
    CWinInetHandle m_session;
};
