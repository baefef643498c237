#include "sim/CSimServer.h"

#include "sim/NetAddress.h"
#include "sim/SimLog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace
{
constexpr int kMaxPollWaitMs = 50;
constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kMaxDatagram = 2048;
constexpr std::chrono::seconds kRebindRetry(1);
// A client that sends without reading gets no more of its input read once this much output
// waits for it, so memory stays bounded whatever it sends.
constexpr std::size_t kMaxWaitingOutput = 4 * 1024 * 1024;
constexpr std::size_t kMaxWaitingActions = 256;
constexpr std::size_t kMaxInbox = 64 * 1024;

std::string SocketError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}
} // namespace

CSimServer::CSimServer(CAppliance& appliance, const CServerOptions& options)
    : m_appliance(appliance), m_options(options), m_discovery(appliance.Scenario())
{
}

bool CSimServer::Start(std::string& error)
{
    if (!ParseAddress(m_options.bindAddress, m_bindAddress))
    {
        error = "bind address '" + m_options.bindAddress + "' is no IPv4 address";
        return false;
    }
    if (!OpenDiscovery(error) || !OpenListeners(error))
        return false;
    m_appliance.Transcript().Record("sim", "start",
                                    CJsonLine()
                                        .Text("version", m_appliance.Version())
                                        .Text("bind", m_options.bindAddress)
                                        .Decimal("time_scale", m_options.timeScale));
    LogLine("serving on " + m_options.bindAddress + ": command " +
            std::to_string(m_options.commandPort) + ", discovery " +
            std::to_string(m_options.discoveryPort) + ", ftp " + std::to_string(m_options.ftpPort) +
            "; version " + m_appliance.Version());
    return true;
}

bool CSimServer::OpenListeners(std::string& error)
{
    return OpenTcpListener(m_options.commandPort, m_commandListener, error) &&
           OpenTcpListener(m_options.ftpPort, m_ftpListener, error);
}

bool CSimServer::OpenTcpListener(std::uint16_t port, CFileDescriptor& listener, std::string& error)
{
    listener.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listener.IsOpen())
    {
        error = SocketError("cannot create a TCP socket");
        return false;
    }
    const int on = 1;
    ::setsockopt(listener.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in endpoint = MakeEndpoint(m_bindAddress, port);
    if (::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) !=
            0 ||
        ::listen(listener.Get(), 8) != 0)
    {
        error = SocketError("cannot listen on TCP " + FormatEndpoint(endpoint));
        listener.Reset();
        return false;
    }
    return true;
}

bool CSimServer::OpenDiscovery(std::string& error)
{
    m_discoverySocket.Reset(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!m_discoverySocket.IsOpen())
    {
        error = SocketError("cannot create a UDP socket");
        return false;
    }
    const int on = 1;
    ::setsockopt(m_discoverySocket.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    const sockaddr_in endpoint = MakeEndpoint(m_bindAddress, m_options.discoveryPort);
    if (::bind(m_discoverySocket.Get(), reinterpret_cast<const sockaddr*>(&endpoint),
               sizeof endpoint) != 0)
    {
        error = SocketError("cannot bind UDP " + FormatEndpoint(endpoint));
        return false;
    }
    return true;
}

void CSimServer::CloseListeners()
{
    m_commandListener.Reset();
    m_ftpListener.Reset();
}

void CSimServer::Run(const volatile std::sig_atomic_t& stop)
{
    while (stop == 0)
    {
        std::vector<CPollEntry> entries = CollectPollEntries();
        std::vector<pollfd> fds;
        for (const auto& entry : entries)
            fds.push_back({entry.fd, entry.events, 0});
        const int ready = ::poll(fds.data(), fds.size(), PollTimeoutMs());
        if (ready < 0 && errno != EINTR)
        {
            LogLine(SocketError("poll failed"));
            break;
        }
        for (std::size_t i = 0; ready > 0 && i < fds.size(); ++i)
            if (fds[i].revents != 0)
                entries[i].handler(fds[i].revents);
        const Clock::time_point now = Clock::now();
        RunDueActions(now);
        CheckTransfers(now);
        CheckComingBack(now);
        for (auto& connection : m_connections)
            FeedSession(connection);
        ReapClosed();
    }
    m_appliance.Transcript().Record("sim", "stop");
    LogLine("stopped");
}

std::vector<CSimServer::CPollEntry> CSimServer::CollectPollEntries()
{
    std::vector<CPollEntry> entries;
    if (m_commandListener.IsOpen())
        entries.push_back(
            {m_commandListener.Get(), POLLIN, [this](short) { Accept(Service::Command); }});
    if (m_ftpListener.IsOpen())
        entries.push_back({m_ftpListener.Get(), POLLIN, [this](short) { Accept(Service::Ftp); }});
    entries.push_back({m_discoverySocket.Get(), POLLIN, [this](short) { ReadDatagram(); }});
    for (auto& connection : m_connections)
    {
        if (!connection.fd.IsOpen())
            continue;
        CConnection* target = &connection;
        const bool takesInput = connection.inbox.size() < kMaxInbox;
        const short events =
            static_cast<short>((takesInput ? POLLIN : 0) | (connection.out.empty() ? 0 : POLLOUT));
        entries.push_back({connection.fd.Get(), events,
                           [this, target](short revents)
                           {
                               if (revents & POLLOUT)
                                   WriteConnection(*target);
                               if (target->fd.IsOpen() && (revents & (POLLIN | POLLHUP | POLLERR)))
                                   ReadConnection(*target);
                           }});
        if (!connection.data)
            continue;
        short dataEvents = 0;
        const int dataFd = connection.data->PollFd(dataEvents);
        if (dataFd < 0)
            continue;
        entries.push_back({dataFd, dataEvents,
                           [this, target](short revents)
                           {
                               CFtpSession::CTransferResult result;
                               if (target->fd.IsOpen() && target->data &&
                                   target->data->Handle(revents, result))
                                   FinishTransfer(*target, result);
                           }});
    }
    return entries;
}

int CSimServer::PollTimeoutMs() const
{
    int timeout = kMaxPollWaitMs;
    const Clock::time_point now = Clock::now();
    for (const auto& connection : m_connections)
    {
        if (connection.pending.empty())
            continue;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                              connection.pending.front().first - now)
                              .count();
        timeout = std::min<int>(timeout, static_cast<int>(std::max<long long>(wait, 0)));
    }
    return timeout;
}

void CSimServer::Accept(Service service)
{
    CFileDescriptor& listener = service == Service::Command ? m_commandListener : m_ftpListener;
    sockaddr_in peer{};
    socklen_t peerLength = sizeof peer;
    CFileDescriptor fd(::accept4(listener.Get(), reinterpret_cast<sockaddr*>(&peer), &peerLength,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd.IsOpen())
        return;
    if (m_connections.size() >= kMaxConnections)
    {
        LogLine("too many connections; refusing " + FormatEndpoint(peer));
        return;
    }
    sockaddr_in local{};
    socklen_t localLength = sizeof local;
    ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&local), &localLength);

    m_connections.emplace_back();
    CConnection& connection = m_connections.back();
    connection.id = m_nextConnectionId++;
    connection.service = service;
    connection.fd = std::move(fd);
    connection.peer = FormatEndpoint(peer);
    connection.lastDue = Clock::now();
    m_appliance.Transcript().Record(
        ServiceName(service), "connect",
        CJsonLine().Number("conn", connection.id).Text("peer", connection.peer));
    LogLine(std::string(ServiceName(service)) + " connection " + std::to_string(connection.id) +
            " from " + connection.peer);
    if (service == Service::Command)
    {
        connection.command = std::make_unique<CCommandSession>(m_appliance, connection.id);
        return;
    }
    connection.data = std::make_unique<CFtpDataChannel>(m_appliance, local.sin_addr.s_addr);
    connection.ftp = std::make_unique<CFtpSession>(m_appliance, *connection.data, connection.id,
                                                   peer.sin_addr.s_addr);
    Queue(connection, connection.ftp->Greet());
}

void CSimServer::ReadConnection(CConnection& connection)
{
    char buffer[kReadChunk];
    const ssize_t received = ::recv(connection.fd.Get(), buffer, sizeof buffer, 0);
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (received <= 0)
    {
        CloseConnection(connection,
                        received == 0 ? "closed by the peer" : SocketError("read failed"));
        return;
    }
    if (connection.closing)
        return;
    connection.inbox.append(buffer, static_cast<std::size_t>(received));
    FeedSession(connection);
}

// Hands the session one line at a time, and only while the answers waiting for this client
// stay below their limits; the rest waits in the inbox, and a full inbox stops the reading.
void CSimServer::FeedSession(CConnection& connection)
{
    while (!connection.inbox.empty() && connection.fd.IsOpen() && !connection.closing &&
           connection.out.size() < kMaxWaitingOutput &&
           connection.pending.size() < kMaxWaitingActions &&
           !(connection.ftp && connection.ftp->IsBusy()))
    {
        const auto feed = connection.inbox.find('\n');
        const std::size_t length = feed == std::string::npos ? connection.inbox.size() : feed + 1;
        const std::string piece = connection.inbox.substr(0, length);
        connection.inbox.erase(0, length);
        if (connection.command)
            Queue(connection, connection.command->Receive(piece.data(), piece.size()));
        else
            Queue(connection, connection.ftp->Receive(piece.data(), piece.size()));
    }
}

void CSimServer::WriteConnection(CConnection& connection)
{
    while (!connection.out.empty())
    {
        const ssize_t sent =
            ::send(connection.fd.Get(), connection.out.data(), connection.out.size(), MSG_NOSIGNAL);
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        if (sent <= 0)
        {
            CloseConnection(connection, SocketError("write failed"));
            return;
        }
        connection.out.erase(0, static_cast<std::size_t>(sent));
    }
    if (connection.closing && connection.pending.empty())
        CloseConnection(connection, connection.closeReason);
}

void CSimServer::Queue(CConnection& connection, const CSessionActions& actions)
{
    for (const auto& action : actions)
    {
        const Clock::time_point base = std::max(connection.lastDue, Clock::now());
        connection.lastDue = base + std::chrono::milliseconds(ScaledMs(action.delayMs));
        connection.pending.emplace_back(connection.lastDue, action);
    }
    RunDueActions(Clock::now());
}

void CSimServer::RunDueActions(Clock::time_point now)
{
    for (auto& connection : m_connections)
    {
        while (connection.fd.IsOpen() && !connection.pending.empty() &&
               connection.pending.front().first <= now)
        {
            const CSessionAction action = connection.pending.front().second;
            connection.pending.pop_front();
            RunAction(connection, action);
        }
    }
}

void CSimServer::RunAction(CConnection& connection, const CSessionAction& action)
{
    switch (action.kind)
    {
    case CSessionAction::Kind::Send:
        m_appliance.Transcript().Record(
            ServiceName(connection.service), action.recordKind,
            CJsonLine().Number("conn", connection.id).Text("text", action.bytes));
        connection.out += action.bytes;
        WriteConnection(connection);
        break;
    case CSessionAction::Kind::Close:
        connection.pending.clear();
        MarkClosing(connection, action.bytes);
        break;
    case CSessionAction::Kind::Reboot:
        BeginReboot();
        break;
    }
}

void CSimServer::CheckTransfers(Clock::time_point now)
{
    for (auto& connection : m_connections)
    {
        CFtpSession::CTransferResult result;
        if (connection.data && connection.fd.IsOpen() &&
            connection.data->CheckDeadline(now, result))
            FinishTransfer(connection, result);
    }
}

void CSimServer::FinishTransfer(CConnection& connection, const CFtpSession::CTransferResult& result)
{
    LogLine("transfer on ftp connection " + std::to_string(connection.id) +
            " ended: " + std::to_string(result.size) + " bytes");
    Queue(connection, connection.ftp->TransferFinished(result));
    FeedSession(connection);
}

void CSimServer::ReadDatagram()
{
    char buffer[kMaxDatagram];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t received = ::recvfrom(m_discoverySocket.Get(), buffer, sizeof buffer, MSG_TRUNC,
                                        reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0)
        return;
    const std::size_t kept = std::min(static_cast<std::size_t>(received), sizeof buffer);
    const std::string datagram(buffer, kept);
    m_appliance.Transcript().Record("udp", "datagram",
                                    CJsonLine()
                                        .Text("from", FormatEndpoint(from))
                                        .Text("hex", CJsonLine::Hex(datagram))
                                        .Number("size", static_cast<long long>(received))
                                        .Flag("answered", !m_down));
    if (m_down || static_cast<std::size_t>(received) > kept)
        return;
    const std::uint32_t local = LocalAddressFacing(from);
    for (const auto& answer : m_discovery.Answer(datagram, local))
        SendDatagram(answer, from, local);
}

void CSimServer::SendDatagram(const CDiscoveryResponder::CAnswer& answer, const sockaddr_in& to,
                              std::uint32_t localAddress)
{
    int fd = m_discoverySocket.Get();
    CFileDescriptor otherSocket;
    std::string source = FormatAddress(localAddress);
    if (answer.fromOtherSender)
    {
        const std::uint32_t other = OtherSenderAddress(localAddress);
        otherSocket.Reset(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        const sockaddr_in endpoint = MakeEndpoint(other, 0);
        if (other == 0 || !otherSocket.IsOpen() ||
            ::bind(otherSocket.Get(), reinterpret_cast<const sockaddr*>(&endpoint),
                   sizeof endpoint) != 0)
        {
            LogLine("no other local address to answer from; reply dropped");
            return;
        }
        fd = otherSocket.Get();
        source = FormatAddress(other);
    }
    const ssize_t sent = ::sendto(fd, answer.bytes.data(), answer.bytes.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    m_appliance.Transcript().Record(
        "udp", "sent",
        CJsonLine()
            .Text("to", FormatEndpoint(to))
            .Text("source", source)
            .Text("hex", CJsonLine::Hex(answer.bytes))
            .Flag("ok", sent == static_cast<ssize_t>(answer.bytes.size())));
}

// The address this host uses toward the peer: the one an appliance names as its own.
std::uint32_t CSimServer::LocalAddressFacing(const sockaddr_in& peer) const
{
    if (m_bindAddress != htonl(INADDR_ANY))
        return m_bindAddress;
    CFileDescriptor probe(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (!probe.IsOpen() ||
        ::connect(probe.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0 ||
        ::getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return local.sin_addr.s_addr;
}

std::uint32_t CSimServer::OtherSenderAddress(std::uint32_t localAddress) const
{
    std::uint32_t chosen = 0;
    if (m_appliance.Scenario().otherSender != "auto")
    {
        ParseAddress(m_appliance.Scenario().otherSender, chosen);
        return chosen;
    }
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return 0;
    for (const ifaddrs* entry = list; entry != nullptr && chosen == 0; entry = entry->ifa_next)
    {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const auto address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr;
        if (address != localAddress && (ntohl(address) >> 24) != 127)
            chosen = address;
    }
    ::freeifaddrs(list);
    return chosen;
}

void CSimServer::BeginReboot()
{
    const CScenario& scenario = m_appliance.Scenario();
    const std::string version = m_appliance.Restart();
    m_down = true;
    m_comesBack = !scenario.neverBack;
    m_upAt = Clock::now() +
             std::chrono::milliseconds(ScaledMs(static_cast<int>(scenario.downSeconds * 1000)));
    m_appliance.Transcript().Record("cmd", "reboot",
                                    CJsonLine()
                                        .Text("next_version", version)
                                        .Decimal("down_seconds", scenario.downSeconds)
                                        .Flag("comes_back", m_comesBack));
    LogLine("rebooting; " + (m_comesBack ? "back with version " + version : "never back"));
    CloseListeners();
    for (auto& connection : m_connections)
    {
        connection.pending.clear();
        MarkClosing(connection, "reboot");
    }
}

void CSimServer::CheckComingBack(Clock::time_point now)
{
    if (!m_down || !m_comesBack || now < m_upAt || now < m_nextRetry)
        return;
    std::string error;
    if (!OpenListeners(error))
    {
        LogLine(error + "; retrying");
        CloseListeners();
        m_nextRetry = now + kRebindRetry;
        return;
    }
    m_down = false;
    m_appliance.Transcript().Record("cmd", "up",
                                    CJsonLine().Text("version", m_appliance.Version()));
    LogLine("up again with version " + m_appliance.Version());
}

void CSimServer::MarkClosing(CConnection& connection, const std::string& reason)
{
    if (!connection.fd.IsOpen() || connection.closing)
        return;
    connection.closing = true;
    connection.closeReason = reason;
    if (connection.out.empty())
        CloseConnection(connection, reason);
}

void CSimServer::CloseConnection(CConnection& connection, const std::string& reason)
{
    if (!connection.fd.IsOpen())
        return;
    // Unread input would make the close a reset, which can cost the peer our last reply.
    ::shutdown(connection.fd.Get(), SHUT_WR);
    char sink[kReadChunk];
    while (::recv(connection.fd.Get(), sink, sizeof sink, MSG_DONTWAIT) > 0)
    {
    }
    connection.fd.Reset();
    connection.data.reset();
    m_appliance.Transcript().Record(
        ServiceName(connection.service), "disconnect",
        CJsonLine().Number("conn", connection.id).Text("reason", reason));
    LogLine(std::string(ServiceName(connection.service)) + " connection " +
            std::to_string(connection.id) + " closed: " + reason);
}

void CSimServer::ReapClosed()
{
    m_connections.remove_if([](const CConnection& connection) { return !connection.fd.IsOpen(); });
}

int CSimServer::ScaledMs(int scenarioMs) const
{
    return static_cast<int>(scenarioMs / m_options.timeScale);
}

const char* CSimServer::ServiceName(Service service) const
{
    return service == Service::Command ? "cmd" : "ftp";
}
