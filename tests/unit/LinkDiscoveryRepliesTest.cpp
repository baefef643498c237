#include "link/CAddressReply.h"
#include "link/CPresenceWindow.h"
#include "platform/Socket.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
std::uint32_t Address(const char* dotted)
{
    return ParseIpv4Address(dotted);
}

TEST(LinkDiscoveryReplies, PresenceWindowFindsTheFirstReplyAndFlagsAnyLaterOne)
{
    using Outcome = CPresenceWindow::Outcome;
    const unsigned char presence[] = {0x02};
    const unsigned char other[] = {0x03};
    const unsigned char twoBytes[] = {0x02, 0x02};
    const std::uint32_t first = Address("10.7.0.2");
    const std::uint32_t second = Address("10.7.0.3");

    CPresenceWindow window;
    EXPECT_EQ(window.Take(presence, kSocketError, first), Outcome::Ignored);
    EXPECT_EQ(window.Take(other, 1, first), Outcome::Ignored);
    EXPECT_EQ(window.Take(twoBytes, 2, first), Outcome::Ignored);
    EXPECT_EQ(window.Take(presence, 0, first), Outcome::Ignored);
    EXPECT_FALSE(window.HasFound());
    EXPECT_EQ(window.Take(presence, 1, first), Outcome::Found);
    EXPECT_EQ(window.Sender(), "10.7.0.2");
    EXPECT_EQ(window.Take(presence, 1, first), Outcome::TooMany);
    EXPECT_EQ(window.Take(presence, 1, second), Outcome::TooMany);
    EXPECT_EQ(window.Sender(), "10.7.0.2");
}

TEST(LinkDiscoveryReplies, AddressReplyNeedsTwelveBytesFromTheProbedSender)
{
    const unsigned char bytes[12] = {10, 7, 0, 1, 10, 7, 0, 9, 255, 255, 255, 0};
    const std::uint32_t sender = Address("10.7.0.2");
    struct Case
    {
        int length;
        std::uint32_t from;
        bool accepted;
    };
    for (const Case& c : {Case{12, sender, true}, Case{11, sender, false}, Case{1, sender, false},
                          Case{0, sender, false}, Case{kSocketError, sender, false},
                          Case{12, Address("10.7.0.3"), false}})
    {
        CAddressReply reply;
        EXPECT_EQ(CAddressReply::FromDatagram(bytes, c.length, c.from, sender, reply), c.accepted)
            << c.length;
        if (!c.accepted)
            continue;
        EXPECT_EQ(FormatIpv4Address(reply.m_nGateway), "10.7.0.1");
        EXPECT_EQ(FormatIpv4Address(reply.m_nAddress), "10.7.0.9");
        EXPECT_EQ(FormatIpv4Address(reply.m_nMask), "255.255.255.0");
    }
}

TEST(LinkDiscoveryReplies, HostRouteIsNeededOnlyAcrossSubnets)
{
    struct Case
    {
        const char* gateway;
        const char* appliance;
        const char* mask;
        bool needsRoute;
    };
    for (const Case& c : {Case{"10.7.0.1", "10.7.0.9", "255.255.255.0", false},
                          Case{"10.7.1.1", "10.7.0.9", "255.255.255.0", true},
                          Case{"10.7.1.1", "10.7.0.9", "255.255.0.0", false},
                          Case{"192.168.1.1", "10.7.0.9", "0.0.0.0", false}})
    {
        CAddressReply reply;
        reply.m_nGateway = Address(c.gateway);
        reply.m_nAddress = Address(c.appliance);
        reply.m_nMask = Address(c.mask);
        EXPECT_EQ(reply.NeedsHostRoute(), c.needsRoute) << c.gateway << " " << c.mask;
    }
}

TEST(LinkDiscoveryReplies, AddressesFormatFromNetworkOrder)
{
    const unsigned char bytes[4] = {192, 168, 42, 253};
    std::uint32_t value;
    std::memcpy(&value, bytes, 4);
    EXPECT_EQ(FormatIpv4Address(value), "192.168.42.253");
    EXPECT_EQ(ParseIpv4Address("192.168.42.253"), value);
    EXPECT_EQ(FormatIpv4Address(0xFFFFFFFFu), "255.255.255.255");
    EXPECT_EQ(ParseIpv4Address("not an address"), kAddressNone);
}
} // namespace
