#include "link/CAddressReply.h"

#include <cstring>

bool CAddressReply::FromDatagram(const unsigned char* data, int length, std::uint32_t sender,
                                 std::uint32_t expectedSender, CAddressReply& reply)
{
    if (length != kLength || sender != expectedSender)
        return false;
    std::memcpy(&reply.m_nGateway, data, 4);
    std::memcpy(&reply.m_nAddress, data + 4, 4);
    std::memcpy(&reply.m_nMask, data + 8, 4);
    return true;
}

bool CAddressReply::NeedsHostRoute() const
{
    return (m_nGateway & m_nMask) != (m_nAddress & m_nMask);
}
