#pragma once
#include <cstdint>
#include <string>

// One FTP control line (RFC 959): the command word in upper case and its argument. Lines end in
// CRLF; a bare LF is taken as well. A line with other control characters is invalid.
class CFtpCommand
{
public:
    explicit CFtpCommand(const std::string& line);

    bool IsValid() const { return m_valid; }
    const std::string& Verb() const { return m_verb; }
    const std::string& Argument() const { return m_argument; }

    // "h1,h2,h3,h4,p1,p2": the address (network byte order) and port of a PORT command.
    static bool ParseHostPort(const std::string& argument, std::uint32_t& address,
                              std::uint16_t& port);
    static std::string FormatHostPort(std::uint32_t address, std::uint16_t port);

private:
    std::string m_verb;
    std::string m_argument;
    bool m_valid = true;
};
