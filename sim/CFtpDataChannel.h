#pragma once
#include "sim/CFileDescriptor.h"
#include "sim/CFtpSession.h"
#include "sim/CSha256.h"
#include "sim/IFtpDataPort.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class CAppliance;

// The data connections of one FTP control connection: a passive listening socket, an active
// connection back to the client, and the reception of one stored file into the state folder
// (written under a temporary name, renamed when complete, with its size and SHA-256).
class CFtpDataChannel : public IFtpDataPort
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr long long kMaxFileSize = 256LL * 1024 * 1024;

    CFtpDataChannel(CAppliance& appliance, std::uint32_t localAddress);
    ~CFtpDataChannel() override;

    bool OpenPassive(std::uint32_t& address, std::uint16_t& port) override;
    void ClosePassive() override;
    void StartStore(const std::string& name, Mode mode, std::uint32_t address, std::uint16_t port,
                    bool ascii, bool dropTransfer) override;

    // The descriptor to poll now and for what, or -1.
    int PollFd(short& events) const;
    // Handles poll's result for PollFd; true when a transfer has ended, with its result.
    bool Handle(short revents, CFtpSession::CTransferResult& result);
    // Ends a transfer whose connection does not come or stays silent for too long.
    bool CheckDeadline(Clock::time_point now, CFtpSession::CTransferResult& result);

private:
    enum class State
    {
        Idle,
        Connecting,
        Accepting,
        Receiving
    };

    bool StartConnect(std::uint32_t address, std::uint16_t port);
    bool OpenFile();
    bool Receive(CFtpSession::CTransferResult& result);
    bool WriteBytes(const char* data, std::size_t length);
    bool Finish(CFtpSession::CTransferResult::Outcome outcome,
                CFtpSession::CTransferResult& result);
    void Touch();

    CAppliance& m_appliance;
    std::uint32_t m_localAddress;
    State m_state = State::Idle;
    CFileDescriptor m_listener;
    CFileDescriptor m_data;
    CFileDescriptor m_file;
    std::string m_name;
    std::string m_temporaryPath;
    bool m_ascii = false;
    bool m_pendingCarriageReturn = false;
    bool m_drop = false;
    long long m_size = 0;
    CSha256 m_hash;
    Clock::time_point m_deadline;
    // A transfer that failed at its start ends at the next deadline check.
    std::optional<CFtpSession::CTransferResult::Outcome> m_earlyEnd;
};
