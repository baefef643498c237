#include "platform/Socket.h"

#include "platform/SocketShim.h"

#include <cstdio>
#include <cstring>

namespace
{
shim::NativeSocket Native(std::uintptr_t handle)
{
    return static_cast<shim::NativeSocket>(handle);
}

std::uintptr_t Stored(shim::NativeSocket handle)
{
    return static_cast<std::uintptr_t>(handle);
}

sockaddr_in MakeAddress(std::uint32_t address, unsigned short port)
{
    sockaddr_in result;
    std::memset(&result, 0, sizeof result);
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    result.sin_addr.s_addr = address;
    return result;
}

bool BindToAnyPort(shim::NativeSocket handle)
{
    const sockaddr_in any = MakeAddress(htonl(INADDR_ANY), 0);
    return bind(handle, reinterpret_cast<const sockaddr*>(&any), sizeof any) == 0;
}

// Dotted text first, as the classic socket classes do; a name goes to the resolver.
bool ResolveHost(const std::string& host, std::uint32_t& address)
{
    address = ParseIpv4Address(host);
    if (address != kAddressNone)
        return true;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

bool ConnectionSucceeded(shim::NativeSocket handle)
{
    int error = 0;
    shim::AddressLength length = sizeof error;
    if (getsockopt(handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
        return false;
    return error == 0;
}
} // namespace

std::uint32_t ParseIpv4Address(const std::string& text)
{
    return static_cast<std::uint32_t>(inet_addr(text.c_str()));
}

std::string FormatIpv4Address(std::uint32_t address)
{
    unsigned char bytes[4];
    std::memcpy(bytes, &address, sizeof bytes);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

CSocketLibrary::CSocketLibrary() : m_bStarted(shim::StartSocketLibrary()) {}

CSocketLibrary::~CSocketLibrary()
{
    if (m_bStarted)
        shim::StopSocketLibrary();
}

CStreamSocket::~CStreamSocket()
{
    Close();
}

bool CStreamSocket::Create()
{
    Close();
    const shim::NativeSocket handle = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (handle == shim::kInvalidSocket)
        return false;
    m_handle = Stored(handle);
    if (!BindToAnyPort(handle))
    {
        Close();
        return false;
    }
    return true;
}

bool CStreamSocket::Connect(const std::string& host, unsigned short port)
{
    if (!IsOpen())
        return false;
    std::uint32_t address;
    if (!ResolveHost(host, address))
        return false;
    const shim::NativeSocket handle = Native(m_handle);
    // The attempt runs non-blocking so that its wait can be bounded; the socket is blocking
    // again before anyone reads or writes on it.
    if (!shim::SetNonBlocking(handle, true))
        return false;
    const sockaddr_in peer = MakeAddress(address, port);
    if (connect(handle, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0)
    {
        if (!shim::ConnectInProgress() || !shim::WaitConnectEnded(handle, m_nConnectTimeoutMs) ||
            !ConnectionSucceeded(handle))
            return false;
    }
    return shim::SetNonBlocking(handle, false) && shim::SetSendTimeout(handle, kSendTimeoutMs);
}

int CStreamSocket::Send(const void* data, int length)
{
    if (!IsOpen() || length < 0)
        return kSocketError;
    const int sent = static_cast<int>(send(Native(m_handle), static_cast<const char*>(data),
                                           static_cast<std::size_t>(length), shim::kSendFlags));
    return sent < 0 ? kSocketError : sent;
}

int CStreamSocket::Receive(void* buffer, int capacity)
{
    if (!IsOpen() || capacity < 0)
        return kSocketError;
    if (!shim::WaitReadable(Native(m_handle), m_nReadTimeoutMs))
        return kSocketError;
    const int received = static_cast<int>(
        recv(Native(m_handle), static_cast<char*>(buffer), static_cast<std::size_t>(capacity), 0));
    return received < 0 ? kSocketError : received;
}

void CStreamSocket::Close()
{
    if (!IsOpen())
        return;
    shim::CloseSocket(Native(m_handle));
    m_handle = kNoHandle;
}

bool CStreamSocket::IsOpen() const
{
    return m_handle != kNoHandle;
}

void CStreamSocket::SetTimeouts(int connectMs, int readMs)
{
    m_nConnectTimeoutMs = connectMs;
    m_nReadTimeoutMs = readMs;
}

CDatagramSocket::~CDatagramSocket()
{
    if (IsOpen())
        shim::CloseSocket(Native(m_handle));
}

bool CDatagramSocket::Create()
{
    if (IsOpen())
    {
        shim::CloseSocket(Native(m_handle));
        m_handle = kNoHandle;
    }
    const shim::NativeSocket handle = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (handle == shim::kInvalidSocket)
        return false;
    m_handle = Stored(handle);
    return BindToAnyPort(handle) && shim::SetNonBlocking(handle, true);
}

bool CDatagramSocket::AllowBroadcast()
{
    if (!IsOpen())
        return false;
    const int allow = 1;
    return setsockopt(Native(m_handle), SOL_SOCKET, SO_BROADCAST,
                      reinterpret_cast<const char*>(&allow), sizeof allow) == 0;
}

int CDatagramSocket::SendTo(const void* data, int length, std::uint32_t address,
                            unsigned short port)
{
    if (!IsOpen() || length < 0)
        return kSocketError;
    const sockaddr_in peer = MakeAddress(address, port);
    const int sent = static_cast<int>(
        sendto(Native(m_handle), static_cast<const char*>(data), static_cast<std::size_t>(length),
               shim::kSendFlags, reinterpret_cast<const sockaddr*>(&peer), sizeof peer));
    return sent < 0 ? kSocketError : sent;
}

int CDatagramSocket::ReceiveFrom(void* buffer, int capacity, std::uint32_t& sender,
                                 unsigned short& port)
{
    if (!IsOpen() || capacity < 0)
        return kSocketError;
    sockaddr_in from;
    std::memset(&from, 0, sizeof from);
    const int received =
        shim::ReceiveDatagram(Native(m_handle), static_cast<char*>(buffer), capacity, from);
    if (received < 0)
        return kSocketError;
    sender = from.sin_addr.s_addr;
    port = ntohs(from.sin_port);
    return received;
}

bool CDatagramSocket::IsOpen() const
{
    return m_handle != kNoHandle;
}
