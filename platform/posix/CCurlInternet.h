#pragma once
#include "platform/FtpClient.h"

#include <string>

// The Internet port over libcurl, for the native tests and tools. The FTP connections it opens
// behave as the Windows ones do: active mode (PORT), binary transfers, login on opening.
class CCurlInternet : public IInternet
{
public:
    struct Endpoint
    {
        unsigned ftpPort = 21;         // tests may point the connections at a server of their own
        std::string localFolder = "."; // where local file names of a put are looked up
    };

    CCurlInternet();
    explicit CCurlInternet(Endpoint endpoint);

    std::unique_ptr<IInternetSession> OpenSession(const std::string& agentName) override;

private:
    Endpoint m_endpoint;
};
