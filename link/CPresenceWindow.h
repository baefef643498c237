#pragma once
#include <cstdint>
#include <string>

// Judges the datagrams that come in during one presence-probe window: the first presence reply
// finds the appliance, any later one (the same sender answering again counts too) means more
// than one appliance may be on the network. Anything else is ignored.
class CPresenceWindow
{
public:
    enum class Outcome
    {
        Ignored,
        Found,
        TooMany
    };

    static constexpr unsigned char kPresenceReply = 0x02;

    // data and length as the poll gave them; a negative length means nothing came.
    Outcome Take(const unsigned char* data, int length, std::uint32_t sender);

    bool HasFound() const { return m_bFound; }
    // Dotted address of the first presence reply's sender.
    const std::string& Sender() const { return m_strSender; }

private:
    bool m_bFound = false;
    std::string m_strSender;
};
