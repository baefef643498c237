#include "platform/posix/CCurlInternet.h"

#include "platform/posix/CCurlInternetSession.h"

#include <curl/curl.h>

#include <mutex>
#include <utility>

namespace
{
void InitialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once,
                   []
                   {
                       if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
                           throw CInternetError("curl_global_init failed");
                   });
}
} // namespace

CCurlInternet::CCurlInternet() = default;

CCurlInternet::CCurlInternet(Endpoint endpoint) : m_endpoint(std::move(endpoint)) {}

std::unique_ptr<IInternetSession> CCurlInternet::OpenSession(const std::string&)
{
    InitialiseCurlOnce();
    return std::make_unique<CCurlInternetSession>(m_endpoint);
}
