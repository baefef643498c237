#include "sim/CFtpCommand.h"

#include <arpa/inet.h>
#include <cctype>

CFtpCommand::CFtpCommand(const std::string& line)
{
    std::string body = line;
    if (!body.empty() && body.back() == '\n')
        body.pop_back();
    if (!body.empty() && body.back() == '\r')
        body.pop_back();
    for (unsigned char c : body)
        if (c < 0x20 || c == 0x7F)
            m_valid = false;
    const auto blank = body.find(' ');
    m_verb = body.substr(0, blank);
    if (m_verb.empty() || m_verb.size() > 4)
        m_valid = false;
    for (char& c : m_verb)
    {
        if (!std::isalpha(static_cast<unsigned char>(c)))
            m_valid = false;
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (blank != std::string::npos)
        m_argument = body.substr(blank + 1);
}

bool CFtpCommand::ParseHostPort(const std::string& argument, std::uint32_t& address,
                                std::uint16_t& port)
{
    unsigned values[6];
    std::size_t at = 0;
    for (int field = 0; field < 6; ++field)
    {
        if (field > 0)
        {
            if (at >= argument.size() || argument[at] != ',')
                return false;
            ++at;
        }
        const std::size_t start = at;
        unsigned value = 0;
        while (at < argument.size() && std::isdigit(static_cast<unsigned char>(argument[at])) &&
               at - start < 3)
            value = value * 10 + static_cast<unsigned>(argument[at++] - '0');
        if (at == start || value > 255)
            return false;
        values[field] = value;
    }
    if (at != argument.size())
        return false;
    address = htonl((values[0] << 24) | (values[1] << 16) | (values[2] << 8) | values[3]);
    port = static_cast<std::uint16_t>((values[4] << 8) | values[5]);
    return true;
}

std::string CFtpCommand::FormatHostPort(std::uint32_t address, std::uint16_t port)
{
    const std::uint32_t host = ntohl(address);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += std::to_string((host >> shift) & 0xFF) + ",";
    text += std::to_string(port >> 8) + "," + std::to_string(port & 0xFF);
    return text;
}
