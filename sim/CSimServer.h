#pragma once
#include "sim/CAppliance.h"
#include "sim/CCommandSession.h"
#include "sim/CDiscoveryResponder.h"
#include "sim/CFileDescriptor.h"
#include "sim/CFtpDataChannel.h"
#include "sim/CFtpSession.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <vector>

struct CServerOptions
{
    std::string bindAddress = "0.0.0.0";
    std::uint16_t commandPort = 244;
    std::uint16_t discoveryPort = 244;
    std::uint16_t ftpPort = 21;
    double timeScale = 1.0;
};

// The simulator's network side: one thread, one poll loop over the command service, the
// discovery socket, the FTP server and their connections. Sessions decide what to answer; the
// server sends it at the right time, records it, and carries out restarts.
class CSimServer
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kMaxConnections = 32;

    CSimServer(CAppliance& appliance, const CServerOptions& options);

    // Binds every listener; false with a message when one cannot be bound.
    bool Start(std::string& error);
    // Serves until stop becomes non-zero.
    void Run(const volatile std::sig_atomic_t& stop);

private:
    enum class Service
    {
        Command,
        Ftp
    };

    struct CConnection
    {
        int id = 0;
        Service service = Service::Command;
        CFileDescriptor fd;
        std::string peer;
        std::deque<std::pair<Clock::time_point, CSessionAction>> pending;
        Clock::time_point lastDue;
        std::string inbox;
        std::string out;
        bool closing = false;
        std::string closeReason;
        std::unique_ptr<CCommandSession> command;
        std::unique_ptr<CFtpDataChannel> data;
        std::unique_ptr<CFtpSession> ftp;
    };

    struct CPollEntry
    {
        int fd;
        short events;
        std::function<void(short)> handler;
    };

    bool OpenListeners(std::string& error);
    bool OpenTcpListener(std::uint16_t port, CFileDescriptor& listener, std::string& error);
    bool OpenDiscovery(std::string& error);
    void CloseListeners();
    std::vector<CPollEntry> CollectPollEntries();
    int PollTimeoutMs() const;
    void Accept(Service service);
    void ReadConnection(CConnection& connection);
    void FeedSession(CConnection& connection);
    void WriteConnection(CConnection& connection);
    void Queue(CConnection& connection, const CSessionActions& actions);
    void RunDueActions(Clock::time_point now);
    void RunAction(CConnection& connection, const CSessionAction& action);
    void CheckTransfers(Clock::time_point now);
    void FinishTransfer(CConnection& connection, const CFtpSession::CTransferResult& result);
    void ReadDatagram();
    void SendDatagram(const CDiscoveryResponder::CAnswer& answer, const sockaddr_in& to,
                      std::uint32_t localAddress);
    std::uint32_t LocalAddressFacing(const sockaddr_in& peer) const;
    std::uint32_t OtherSenderAddress(std::uint32_t localAddress) const;
    void BeginReboot();
    void CheckComingBack(Clock::time_point now);
    void MarkClosing(CConnection& connection, const std::string& reason);
    void CloseConnection(CConnection& connection, const std::string& reason);
    void ReapClosed();
    int ScaledMs(int scenarioMs) const;
    const char* ServiceName(Service service) const;

    CAppliance& m_appliance;
    CServerOptions m_options;
    std::uint32_t m_bindAddress = 0;
    CDiscoveryResponder m_discovery;
    CFileDescriptor m_commandListener;
    CFileDescriptor m_ftpListener;
    CFileDescriptor m_discoverySocket;
    std::list<CConnection> m_connections;
    int m_nextConnectionId = 1;
    bool m_down = false;
    bool m_comesBack = true;
    Clock::time_point m_upAt;
    Clock::time_point m_nextRetry;
};
