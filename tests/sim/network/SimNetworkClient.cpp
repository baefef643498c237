#include "SimNetworkClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool WaitFor(int fd, short events, int timeoutMs)
{
    pollfd entry{fd, events, 0};
    return ::poll(&entry, 1, timeoutMs) > 0;
}
} // namespace

CSimTcpClient::~CSimTcpClient()
{
    Close();
}

bool CSimTcpClient::Connect(const std::string& address, int port, int timeoutMs)
{
    Close();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr);
    if (::connect(m_fd, reinterpret_cast<sockaddr*>(&endpoint), sizeof endpoint) != 0 &&
        (errno != EINPROGRESS || !WaitFor(m_fd, POLLOUT, timeoutMs)))
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length);
    return error == 0;
}

bool CSimTcpClient::Send(const std::string& bytes)
{
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    std::size_t sent = 0;
    while (sent < bytes.size())
    {
        if (!WaitFor(m_fd, POLLOUT, RemainingMs(deadline)))
            return false;
        const ssize_t count = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (count > 0)
            sent += static_cast<std::size_t>(count);
    }
    return true;
}

std::string CSimTcpClient::ReceiveUntil(const std::string& terminator, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string text;
    while (text.find(terminator) == std::string::npos &&
           WaitFor(m_fd, POLLIN, RemainingMs(deadline)))
    {
        char buffer[4096];
        const ssize_t received = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (received <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(received));
    }
    return text;
}

bool CSimTcpClient::WaitForClose(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (WaitFor(m_fd, POLLIN, RemainingMs(deadline)))
    {
        char buffer[4096];
        const ssize_t received = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (received == 0 || (received < 0 && errno != EAGAIN))
            return true;
    }
    return false;
}

void CSimTcpClient::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

CSimUdpClient::CSimUdpClient() : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0))
{
    const int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
}

CSimUdpClient::~CSimUdpClient()
{
    ::close(m_fd);
}

bool CSimUdpClient::Broadcast(const std::string& bytes, int port)
{
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(static_cast<std::uint16_t>(port));
    endpoint.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    return ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&endpoint),
                    sizeof endpoint) == static_cast<ssize_t>(bytes.size());
}

bool CSimUdpClient::Receive(std::string& bytes, std::string& sender, int timeoutMs)
{
    if (!WaitFor(m_fd, POLLIN, timeoutMs))
        return false;
    char buffer[2048];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t received =
        ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (received < 0)
        return false;
    bytes.assign(buffer, static_cast<std::size_t>(received));
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    sender = text;
    return true;
}
