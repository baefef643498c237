#pragma once
#include <cstdint>
#include <string>

// What an FTP session needs of the server for data connections. The session decides; the
// server does the socket work and reports the end of a transfer back to the session.
class IFtpDataPort
{
public:
    enum class Mode
    {
        Active,
        Passive
    };

    virtual ~IFtpDataPort() = default;
    // Opens a listening data socket on the control connection's local address (replacing an
    // earlier one) and gives its address (network byte order) and port.
    virtual bool OpenPassive(std::uint32_t& address, std::uint16_t& port) = 0;
    // Drops a listening data socket, if any.
    virtual void ClosePassive() = 0;
    // Receives a file over the data connection: for Active by connecting to address:port, for
    // Passive by accepting on the listening socket. ascii turns CRLF into LF. dropTransfer makes
    // the server break the data connection after the first bytes, as a fault.
    virtual void StartStore(const std::string& name, Mode mode, std::uint32_t address,
                            std::uint16_t port, bool ascii, bool dropTransfer) = 0;
};
