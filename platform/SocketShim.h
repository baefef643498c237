#pragma once
// The few places where Winsock and the POSIX socket API differ. Only Socket.cpp includes this
// header; everything else of the socket classes is written once against the common BSD API.

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace shim
{
#ifdef _WIN32
using NativeSocket = SOCKET;
using AddressLength = int;
constexpr NativeSocket kInvalidSocket = INVALID_SOCKET;
// Winsock never raises a signal on a broken connection.
constexpr int kSendFlags = 0;
#else
using NativeSocket = int;
using AddressLength = socklen_t;
constexpr NativeSocket kInvalidSocket = -1;
// A send to a peer that has gone must fail, not kill the process with SIGPIPE.
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

inline int CloseSocket(NativeSocket handle)
{
#ifdef _WIN32
    return closesocket(handle);
#else
    return close(handle);
#endif
}

inline bool SetNonBlocking(NativeSocket handle, bool nonBlocking)
{
#ifdef _WIN32
    u_long value = nonBlocking ? 1 : 0;
    return ioctlsocket(handle, FIONBIO, &value) == 0;
#else
    const int flags = fcntl(handle, F_GETFL, 0);
    if (flags < 0)
        return false;
    const int wanted = nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return fcntl(handle, F_SETFL, wanted) == 0;
#endif
}

// True when the last socket call failed only because a non-blocking connect is under way.
inline bool ConnectInProgress()
{
#ifdef _WIN32
    return WSAGetLastError() == WSAEWOULDBLOCK;
#else
    return errno == EINPROGRESS;
#endif
}

// Waits at most timeoutMs for data (or the peer's close) on handle.
inline bool WaitReadable(NativeSocket handle, int timeoutMs)
{
#ifdef _WIN32
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(handle, &readable);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, &readable, nullptr, nullptr, &limit) == 1;
#else
    pollfd entry{handle, POLLIN, 0};
    int result;
    do
        result = poll(&entry, 1, timeoutMs);
    while (result < 0 && errno == EINTR);
    return result == 1;
#endif
}

// Waits at most timeoutMs for a non-blocking connect to end; true when it has ended (the
// caller then asks SO_ERROR whether it succeeded). Winsock reports a failed connect in the
// exception set, POSIX as writable.
inline bool WaitConnectEnded(NativeSocket handle, int timeoutMs)
{
#ifdef _WIN32
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(handle, &writable);
    FD_SET(handle, &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, nullptr, &writable, &failed, &limit) > 0;
#else
    pollfd entry{handle, POLLOUT, 0};
    int result;
    do
        result = poll(&entry, 1, timeoutMs);
    while (result < 0 && errno == EINTR);
    return result == 1;
#endif
}

inline bool SetSendTimeout(NativeSocket handle, int timeoutMs)
{
#ifdef _WIN32
    const DWORD value = static_cast<DWORD>(timeoutMs);
    return setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&value),
                      sizeof value) == 0;
#else
    const timeval value{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &value, sizeof value) == 0;
#endif
}

// Receives one datagram of at most capacity bytes. A longer datagram counts as an error on both
// platforms: Winsock fails it with WSAEMSGSIZE, and on POSIX MSG_TRUNC reveals its real length.
inline int ReceiveDatagram(NativeSocket handle, char* buffer, int capacity, sockaddr_in& from)
{
    AddressLength fromLength = sizeof from;
#ifdef _WIN32
    return recvfrom(handle, buffer, capacity, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
#else
    const ssize_t length = recvfrom(handle, buffer, static_cast<size_t>(capacity), MSG_TRUNC,
                                    reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (length > capacity)
        return -1;
    return static_cast<int>(length);
#endif
}

inline bool StartSocketLibrary()
{
#ifdef _WIN32
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0;
#else
    return true;
#endif
}

inline void StopSocketLibrary()
{
#ifdef _WIN32
    WSACleanup();
#endif
}
} // namespace shim
