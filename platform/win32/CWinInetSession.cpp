#include "platform/win32/CWinInetSession.h"

#include "platform/win32/CWinInetFtpConnection.h"

namespace
{
// Our own context value, handed to every WinInet call that takes one.
constexpr DWORD_PTR kContext = 1;
} // namespace

CWinInetSession::CWinInetSession(const std::string& agentName)
    : m_session(InternetOpenA(agentName.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0))
{
    if (!m_session)
        throw CInternetError(CWinInetHandle::FailureText("InternetOpen"));
    // The session's own context: WinInet has no argument for it in InternetOpen.
    DWORD_PTR context = kContext;
    if (!InternetSetOptionA(m_session.Get(), INTERNET_OPTION_CONTEXT_VALUE, &context,
                            sizeof context))
        throw CInternetError(CWinInetHandle::FailureText("InternetSetOption"));
}

std::unique_ptr<IFtpConnection> CWinInetSession::OpenFtp(const std::string& server,
                                                         const std::string& user,
                                                         const std::string& password)
{
    // No INTERNET_FLAG_PASSIVE: the appliance's FTP server is driven in active mode.
    HINTERNET connection =
        InternetConnectA(m_session.Get(), server.c_str(), INTERNET_INVALID_PORT_NUMBER,
                         user.c_str(), password.c_str(), INTERNET_SERVICE_FTP, 0, kContext);
    if (connection == nullptr)
        throw CInternetError(CWinInetHandle::FailureText("InternetConnect"));
    return std::make_unique<CWinInetFtpConnection>(connection);
}
