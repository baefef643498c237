#include "sim/NetAddress.h"

#include <arpa/inet.h>

std::string FormatAddress(std::uint32_t networkOrder)
{
    in_addr address{};
    address.s_addr = networkOrder;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

std::string FormatEndpoint(const sockaddr_in& address)
{
    return FormatAddress(address.sin_addr.s_addr) + ":" + std::to_string(ntohs(address.sin_port));
}

bool ParseAddress(const std::string& text, std::uint32_t& networkOrder)
{
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1)
        return false;
    networkOrder = address.s_addr;
    return true;
}

sockaddr_in MakeEndpoint(std::uint32_t networkOrder, std::uint16_t port)
{
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_addr.s_addr = networkOrder;
    endpoint.sin_port = htons(port);
    return endpoint;
}
