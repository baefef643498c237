#pragma once
#include <cstdint>

// The appliance's answer to the address query: gateway, appliance address and subnet mask, each
// a 32-bit value kept in network byte order exactly as it came.
class CAddressReply
{
public:
    static constexpr int kLength = 12;

    // True when the datagram is a whole address reply from expectedSender. A shorter one would
    // leave fields undefined and is ignored like a longer one or one from anybody else.
    static bool FromDatagram(const unsigned char* data, int length, std::uint32_t sender,
                             std::uint32_t expectedSender, CAddressReply& reply);

    // True when gateway and appliance lie in different subnets under the mask, so that the
    // appliance is reachable only through a host route.
    bool NeedsHostRoute() const;

    std::uint32_t m_nGateway = 0;
    std::uint32_t m_nAddress = 0;
    std::uint32_t m_nMask = 0;
};
