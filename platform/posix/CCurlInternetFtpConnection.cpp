#include "platform/posix/CCurlInternetFtpConnection.h"

#include <curl/curl.h>

#include <cstdio>
#include <utility>

namespace
{
// Every wait is bounded: connecting, each server answer, and a stalled transfer.
constexpr long kConnectTimeoutSeconds = 10;
constexpr long kResponseTimeoutSeconds = 30;
constexpr long kAcceptTimeoutMs = 30000;
constexpr long kStalledSeconds = 60;

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
} // namespace

void CCurlInternetFtpConnection::CurlCleanup::operator()(CURL* handle) const
{
    curl_easy_cleanup(handle);
}

CCurlInternetFtpConnection::CCurlInternetFtpConnection(const std::string& server,
                                                       CCurlInternet::Endpoint endpoint)
    : m_curl(curl_easy_init()), m_server(server), m_endpoint(std::move(endpoint))
{
    if (!m_curl)
        throw CInternetError("curl_easy_init failed");
    SetCommonOptions();
}

void CCurlInternetFtpConnection::SetCommonOptions()
{
    CURL* curl = m_curl.get();
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Active mode with the classic PORT command, on the address of the control connection.
    curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPRT, 0L);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, kResponseTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, kAcceptTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(curl, CURLOPT_PORT, static_cast<long>(m_endpoint.ftpPort));
}

std::string CCurlInternetFtpConnection::UrlOf(const std::string& remoteName) const
{
    std::string url = "ftp://" + m_server + "/";
    char* escaped =
        curl_easy_escape(m_curl.get(), remoteName.c_str(), static_cast<int>(remoteName.size()));
    if (escaped != nullptr)
    {
        url += escaped;
        curl_free(escaped);
    }
    return url;
}

void CCurlInternetFtpConnection::Login(const std::string& user, const std::string& password)
{
    CURL* curl = m_curl.get();
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
    // A transfer without body on the login folder: connect, USER, PASS and nothing more. The
    // control connection stays open in the handle for the puts that follow.
    curl_easy_setopt(curl, CURLOPT_URL, UrlOf("").c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    if (result != CURLE_OK)
        throw CInternetError(std::string("FTP login to ") + m_server + " failed: " +
                             (m_errorText[0] != '\0' ? m_errorText : curl_easy_strerror(result)));
}

bool CCurlInternetFtpConnection::PutFile(const std::string& localName,
                                         const std::string& remoteName)
{
    if (!m_curl)
        return false;
    const std::string path = m_endpoint.localFolder + "/" + localName;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    CURL* curl = m_curl.get();
    curl_easy_setopt(curl, CURLOPT_URL, UrlOf(remoteName).c_str());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READDATA, file.get());
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    return result == CURLE_OK;
}

void CCurlInternetFtpConnection::Close()
{
    m_curl.reset();
}
