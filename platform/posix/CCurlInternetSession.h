#pragma once
#include "platform/FtpClient.h"
#include "platform/posix/CCurlInternet.h"

// A libcurl session: it holds only what every connection it opens shares. libcurl has no session
// handle of its own, and an FTP server never sees the agent name.
class CCurlInternetSession : public IInternetSession
{
public:
    explicit CCurlInternetSession(CCurlInternet::Endpoint endpoint);

    std::unique_ptr<IFtpConnection> OpenFtp(const std::string& server, const std::string& user,
                                            const std::string& password) override;

private:
    CCurlInternet::Endpoint m_endpoint;
};
