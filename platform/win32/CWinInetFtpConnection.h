#pragma once
#include "platform/FtpClient.h"
#include "platform/win32/CWinInetHandle.h"

// One logged-in WinInet FTP connection; puts files in binary mode.
class CWinInetFtpConnection : public IFtpConnection
{
public:
    // Takes ownership of a handle that InternetConnect returned.
    explicit CWinInetFtpConnection(HINTERNET connection);

    bool PutFile(const std::string& localName, const std::string& remoteName) override;
    void Close() override;

private:
    CWinInetHandle m_connection;
};
