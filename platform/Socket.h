#pragma once
#include <cstdint>
#include <string>

// Our socket layer: one source over Winsock and POSIX. IPv4 only. Addresses are 32-bit values
// in network byte order, exactly as they travel; ports are plain numbers.

constexpr int kSocketError = -1;
constexpr std::uint32_t kAddressNone = 0xFFFFFFFFu;

// Dotted text to a 32-bit address in network byte order; kAddressNone for text that is no
// address (like inet_addr, "255.255.255.255" also gives kAddressNone).
std::uint32_t ParseIpv4Address(const std::string& text);

// A 32-bit address in network byte order as dotted text: at most 15 characters.
std::string FormatIpv4Address(std::uint32_t address);

// Sockets need the system's socket library started once per process (Winsock); natively this
// does nothing. The program keeps one object for its whole life.
class CSocketLibrary
{
public:
    CSocketLibrary();
    ~CSocketLibrary();
    CSocketLibrary(const CSocketLibrary&) = delete;
    CSocketLibrary& operator=(const CSocketLibrary&) = delete;
    bool IsStarted() const { return m_bStarted; }

private:
    bool m_bStarted;
};

// A connected byte stream as the command session sees it.
class IByteStream
{
public:
    virtual ~IByteStream() = default;
    // Bytes sent, or kSocketError.
    virtual int Send(const void* data, int length) = 0;
    // Bytes read (0 when the peer has closed the connection), or kSocketError, also when
    // nothing arrived within the read time-out.
    virtual int Receive(void* buffer, int capacity) = 0;
};

// A blocking TCP socket that owns its handle. Every wait is bounded so that a silent peer
// cannot hold the caller for ever; the limits are generous because the peer may be an appliance
// that is still starting up after a restart.
class CStreamSocket : public IByteStream
{
public:
    // No answer to a connection attempt within 30 s: the connect fails.
    static constexpr int kConnectTimeoutMs = 30000;
    // Nothing read within 60 s: the read fails.
    static constexpr int kReadTimeoutMs = 60000;
    // A send that cannot hand its bytes to the system within 30 s fails.
    static constexpr int kSendTimeoutMs = 30000;

    CStreamSocket() = default;
    ~CStreamSocket() override;
    CStreamSocket(const CStreamSocket&) = delete;
    CStreamSocket& operator=(const CStreamSocket&) = delete;

    // A new TCP socket bound to any local address and a port of the system's choosing; an open
    // socket is closed first.
    bool Create();
    // Connects to host (dotted text, or a name the resolver knows) at port; false on refusal,
    // failure or no answer within the connect time-out. The socket is blocking afterwards.
    bool Connect(const std::string& host, unsigned short port);
    int Send(const void* data, int length) override;
    int Receive(void* buffer, int capacity) override;
    void Close();
    bool IsOpen() const;

    // Tests shorten the limits to watch them work.
    void SetTimeouts(int connectMs, int readMs);

private:
    std::uintptr_t m_handle = kNoHandle;
    int m_nConnectTimeoutMs = kConnectTimeoutMs;
    int m_nReadTimeoutMs = kReadTimeoutMs;

    static constexpr std::uintptr_t kNoHandle = ~std::uintptr_t{0};
};

// A non-blocking UDP socket that owns its handle, polled by its user.
class CDatagramSocket
{
public:
    CDatagramSocket() = default;
    ~CDatagramSocket();
    CDatagramSocket(const CDatagramSocket&) = delete;
    CDatagramSocket& operator=(const CDatagramSocket&) = delete;

    // A new UDP socket bound to any local address and a port of the system's choosing.
    bool Create();
    bool AllowBroadcast();
    // Bytes sent, or kSocketError.
    int SendTo(const void* data, int length, std::uint32_t address, unsigned short port);
    // One waiting datagram: its length, its sender's address and port. kSocketError when
    // nothing is waiting, and when the datagram is longer than capacity (it is then dropped).
    int ReceiveFrom(void* buffer, int capacity, std::uint32_t& sender, unsigned short& port);
    bool IsOpen() const;

private:
    std::uintptr_t m_handle = kNoHandle;

    static constexpr std::uintptr_t kNoHandle = ~std::uintptr_t{0};
};
