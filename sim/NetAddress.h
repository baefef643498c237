#pragma once
#include <cstdint>
#include <netinet/in.h>
#include <string>

// Small helpers over IPv4 socket addresses for the server's logs and transcript.
std::string FormatEndpoint(const sockaddr_in& address);
std::string FormatAddress(std::uint32_t networkOrder);
bool ParseAddress(const std::string& text, std::uint32_t& networkOrder);
sockaddr_in MakeEndpoint(std::uint32_t networkOrder, std::uint16_t port);
