#include "platform/win32/CWinInetFtpConnection.h"

namespace
{
constexpr DWORD_PTR kContext = 1;
} // namespace

CWinInetFtpConnection::CWinInetFtpConnection(HINTERNET connection) : m_connection(connection) {}

bool CWinInetFtpConnection::PutFile(const std::string& localName, const std::string& remoteName)
{
    if (!m_connection)
        return false;
    return FtpPutFileA(m_connection.Get(), localName.c_str(), remoteName.c_str(),
                       FTP_TRANSFER_TYPE_BINARY, kContext) != FALSE;
}

void CWinInetFtpConnection::Close()
{
    m_connection.Reset();
}
