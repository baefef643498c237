#pragma once
#include "platform/FtpClient.h"
#include "platform/posix/CCurlInternet.h"

#include <memory>
#include <string>

typedef void CURL;

// One FTP connection over a libcurl easy handle. Login connects and logs in at once, so a server
// that cannot be reached or refuses the login is known when the connection is opened; the puts
// then reuse that control connection.
class CCurlInternetFtpConnection : public IFtpConnection
{
public:
    CCurlInternetFtpConnection(const std::string& server, CCurlInternet::Endpoint endpoint);

    // Throws CInternetError when the server cannot be reached or refuses the login.
    void Login(const std::string& user, const std::string& password);

    bool PutFile(const std::string& localName, const std::string& remoteName) override;
    void Close() override;

private:
    struct CurlCleanup
    {
        void operator()(CURL* handle) const;
    };

    std::string UrlOf(const std::string& remoteName) const;
    void SetCommonOptions();

    std::unique_ptr<CURL, CurlCleanup> m_curl;
    std::string m_server;
    CCurlInternet::Endpoint m_endpoint;
    char m_errorText[256] = {};
};
