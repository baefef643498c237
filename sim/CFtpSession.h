#pragma once
#include "sim/CLineBuffer.h"
#include "sim/CSessionAction.h"
#include "sim/IFtpDataPort.h"

#include <cstdint>
#include <string>

class CAppliance;
class CFtpCommand;

// One control connection of the FTP server: login with the appliance's administrator
// credentials, the commands an uploading client needs, and the replies of RFC 959. While a
// transfer runs, further lines wait until it has ended.
class CFtpSession
{
public:
    static constexpr std::size_t kMaxLineLength = 1024;

    struct CTransferResult
    {
        enum class Outcome
        {
            Stored,
            NoConnection,
            Dropped,
            WriteFailed,
            TooLarge
        };
        Outcome outcome = Outcome::Stored;
        long long size = 0;
        std::string sha256;
    };

    // peerAddress: the client's address (network byte order); PORT may name only that one.
    CFtpSession(CAppliance& appliance, IFtpDataPort& dataPort, int connectionId,
                std::uint32_t peerAddress);

    CSessionActions Greet();
    CSessionActions Receive(const char* data, std::size_t length);
    CSessionActions TransferFinished(const CTransferResult& result);
    bool IsBusy() const { return m_transferName.size() > 0; }
    bool IsClosed() const { return m_closed; }

private:
    void TakeLines(CSessionActions& actions);
    void TakeLine(const std::string& line, CSessionActions& actions);
    void TakeCommand(const CFtpCommand& command, CSessionActions& actions);
    void TakeUser(const CFtpCommand& command, CSessionActions& actions);
    void TakePass(const CFtpCommand& command, CSessionActions& actions);
    void TakeType(const CFtpCommand& command, CSessionActions& actions);
    void TakePort(const CFtpCommand& command, CSessionActions& actions);
    void TakePasv(CSessionActions& actions);
    void TakeStor(const CFtpCommand& command, CSessionActions& actions);
    void TakeSize(const CFtpCommand& command, CSessionActions& actions);
    void TakeCwd(const CFtpCommand& command, CSessionActions& actions);
    void Reply(const std::string& text, CSessionActions& actions);
    void Close(const std::string& reason, CSessionActions& actions);

    enum class DataMode
    {
        None,
        Active,
        Passive
    };

    CAppliance& m_appliance;
    IFtpDataPort& m_dataPort;
    int m_connectionId;
    std::uint32_t m_peerAddress;
    CLineBuffer m_input;
    bool m_closed = false;
    std::string m_userName;
    bool m_userGiven = false;
    bool m_loggedIn = false;
    bool m_ascii = true;
    DataMode m_dataMode = DataMode::None;
    std::uint32_t m_activeAddress = 0;
    std::uint16_t m_activePort = 0;
    std::string m_transferName;
};
