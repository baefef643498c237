#include "sim/CFtpDataChannel.h"

#include "sim/CAppliance.h"
#include "sim/NetAddress.h"
#include "sim/SimLog.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

namespace
{
constexpr std::chrono::seconds kConnectionTimeout(30);
constexpr std::chrono::seconds kIdleTimeout(60);
constexpr std::size_t kChunkSize = 64 * 1024;
} // namespace

CFtpDataChannel::CFtpDataChannel(CAppliance& appliance, std::uint32_t localAddress)
    : m_appliance(appliance), m_localAddress(localAddress)
{
}

CFtpDataChannel::~CFtpDataChannel()
{
    if (!m_temporaryPath.empty())
        ::unlink(m_temporaryPath.c_str());
}

bool CFtpDataChannel::OpenPassive(std::uint32_t& address, std::uint16_t& port)
{
    m_data.Reset();
    m_listener.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!m_listener.IsOpen())
        return false;
    sockaddr_in endpoint = MakeEndpoint(m_localAddress, 0);
    socklen_t length = sizeof endpoint;
    if (::bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&endpoint), sizeof endpoint) != 0 ||
        ::listen(m_listener.Get(), 1) != 0 ||
        ::getsockname(m_listener.Get(), reinterpret_cast<sockaddr*>(&endpoint), &length) != 0)
    {
        m_listener.Reset();
        return false;
    }
    address = m_localAddress;
    port = ntohs(endpoint.sin_port);
    return true;
}

void CFtpDataChannel::ClosePassive()
{
    m_listener.Reset();
    if (m_state == State::Idle)
        m_data.Reset();
}

void CFtpDataChannel::StartStore(const std::string& name, Mode mode, std::uint32_t address,
                                 std::uint16_t port, bool ascii, bool dropTransfer)
{
    using Outcome = CFtpSession::CTransferResult::Outcome;
    m_name = name;
    m_ascii = ascii;
    m_pendingCarriageReturn = false;
    m_drop = dropTransfer;
    m_size = 0;
    m_hash = CSha256();
    m_earlyEnd.reset();
    if (mode == Mode::Active)
    {
        m_state = State::Connecting;
        if (!StartConnect(address, port))
            m_earlyEnd = Outcome::NoConnection;
    }
    else
    {
        m_state = m_data.IsOpen() ? State::Receiving : State::Accepting;
        if (m_state == State::Accepting && !m_listener.IsOpen())
            m_earlyEnd = Outcome::NoConnection;
        if (m_state == State::Receiving && !OpenFile())
            m_earlyEnd = Outcome::WriteFailed;
    }
    Touch();
}

bool CFtpDataChannel::StartConnect(std::uint32_t address, std::uint16_t port)
{
    m_data.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!m_data.IsOpen())
        return false;
    const sockaddr_in endpoint = MakeEndpoint(address, port);
    if (::connect(m_data.Get(), reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) !=
            0 &&
        errno != EINPROGRESS)
        return false;
    return true;
}

int CFtpDataChannel::PollFd(short& events) const
{
    switch (m_state)
    {
    case State::Connecting:
        events = POLLOUT;
        return m_earlyEnd ? -1 : m_data.Get();
    case State::Receiving:
        events = POLLIN;
        return m_earlyEnd ? -1 : m_data.Get();
    case State::Accepting:
    case State::Idle:
        // A passive client may connect before it sends STOR; accept it early.
        events = POLLIN;
        return m_data.IsOpen() ? -1 : m_listener.Get();
    }
    return -1;
}

bool CFtpDataChannel::Handle(short revents, CFtpSession::CTransferResult& result)
{
    using Outcome = CFtpSession::CTransferResult::Outcome;
    if (m_state == State::Connecting)
    {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(m_data.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0 ||
            (revents & (POLLERR | POLLHUP)) != 0)
            return Finish(Outcome::NoConnection, result);
        m_state = State::Receiving;
        Touch();
        return OpenFile() ? false : Finish(Outcome::WriteFailed, result);
    }
    if (m_state == State::Receiving)
        return Receive(result);
    // Idle or Accepting: the listener is readable.
    m_data.Reset(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!m_data.IsOpen())
        return false;
    m_listener.Reset();
    if (m_state == State::Accepting)
    {
        m_state = State::Receiving;
        Touch();
        if (!OpenFile())
            return Finish(Outcome::WriteFailed, result);
    }
    return false;
}

bool CFtpDataChannel::CheckDeadline(Clock::time_point now, CFtpSession::CTransferResult& result)
{
    using Outcome = CFtpSession::CTransferResult::Outcome;
    if (m_state == State::Idle)
        return false;
    if (m_earlyEnd)
        return Finish(*m_earlyEnd, result);
    if (now < m_deadline)
        return false;
    LogLine("data connection for " + m_name + " timed out");
    return Finish(m_state == State::Receiving ? Outcome::Dropped : Outcome::NoConnection, result);
}

bool CFtpDataChannel::OpenFile()
{
    m_temporaryPath = m_appliance.FilePath("." + m_name + ".partial");
    m_file.Reset(::open(m_temporaryPath.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!m_file.IsOpen())
    {
        LogLine("cannot create " + m_temporaryPath + ": " + std::strerror(errno));
        m_temporaryPath.clear();
        return false;
    }
    return true;
}

bool CFtpDataChannel::Receive(CFtpSession::CTransferResult& result)
{
    using Outcome = CFtpSession::CTransferResult::Outcome;
    char buffer[kChunkSize];
    const ssize_t received = ::recv(m_data.Get(), buffer, sizeof buffer, 0);
    if (received < 0)
    {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return false;
        return Finish(Outcome::Dropped, result);
    }
    if (received == 0)
    {
        if (m_pendingCarriageReturn && !WriteBytes("\r", 1))
            return Finish(Outcome::WriteFailed, result);
        return Finish(m_drop ? Outcome::Dropped : Outcome::Stored, result);
    }
    Touch();
    if (m_drop)
        return Finish(Outcome::Dropped, result);
    if (!m_ascii)
    {
        if (!WriteBytes(buffer, static_cast<std::size_t>(received)))
            return Finish(Outcome::WriteFailed, result);
    }
    else
    {
        // ASCII mode stores the network's CRLF line ends as LF; a CR at a chunk's end waits.
        std::string text;
        for (ssize_t i = 0; i < received; ++i)
        {
            if (m_pendingCarriageReturn && buffer[i] != '\n')
                text += '\r';
            m_pendingCarriageReturn = buffer[i] == '\r';
            if (!m_pendingCarriageReturn)
                text += buffer[i];
        }
        if (!WriteBytes(text.data(), text.size()))
            return Finish(Outcome::WriteFailed, result);
    }
    if (m_size > kMaxFileSize)
        return Finish(Outcome::TooLarge, result);
    return false;
}

bool CFtpDataChannel::WriteBytes(const char* data, std::size_t length)
{
    m_hash.Update(data, length);
    m_size += static_cast<long long>(length);
    while (length > 0)
    {
        const ssize_t written = ::write(m_file.Get(), data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CFtpDataChannel::Finish(CFtpSession::CTransferResult::Outcome outcome,
                             CFtpSession::CTransferResult& result)
{
    using Outcome = CFtpSession::CTransferResult::Outcome;
    m_data.Reset();
    m_listener.Reset();
    const bool wasOpen = m_file.IsOpen();
    m_file.Reset();
    if (outcome == Outcome::Stored && wasOpen &&
        std::rename(m_temporaryPath.c_str(), m_appliance.FilePath(m_name).c_str()) != 0)
        outcome = Outcome::WriteFailed;
    if (outcome != Outcome::Stored && !m_temporaryPath.empty())
        ::unlink(m_temporaryPath.c_str());
    if (outcome == Outcome::Stored && !wasOpen)
        outcome = Outcome::WriteFailed;
    m_temporaryPath.clear();
    m_earlyEnd.reset();
    m_state = State::Idle;
    result.outcome = outcome;
    result.size = m_size;
    result.sha256 = m_hash.FinishHex();
    return true;
}

void CFtpDataChannel::Touch()
{
    m_deadline = Clock::now() + (m_state == State::Receiving ? kIdleTimeout : kConnectionTimeout);
}
