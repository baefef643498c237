#include "platform/posix/CCurlInternetSession.h"

#include "platform/posix/CCurlInternetFtpConnection.h"

#include <utility>

CCurlInternetSession::CCurlInternetSession(CCurlInternet::Endpoint endpoint)
    : m_endpoint(std::move(endpoint))
{
}

std::unique_ptr<IFtpConnection> CCurlInternetSession::OpenFtp(const std::string& server,
                                                              const std::string& user,
                                                              const std::string& password)
{
    auto connection = std::make_unique<CCurlInternetFtpConnection>(server, m_endpoint);
    connection->Login(user, password);
    return connection;
}
