#include "sim/CDiscoveryResponder.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

std::uint32_t Address(const char* text)
{
    in_addr address{};
    inet_pton(AF_INET, text, &address);
    return address.s_addr;
}

const std::string kNormalAddressReply =
    Bytes({192, 168, 42, 1, 192, 168, 42, 253, 255, 255, 255, 0});

struct CDiscoveryCase
{
    std::string name;
    CScenario::Presence presence;
    CScenario::AddressReply addressReply;
    std::string datagram;
    std::vector<std::string> answers;
    bool otherSender;
};

class DiscoveryTest : public ::testing::TestWithParam<CDiscoveryCase>
{
};

TEST_P(DiscoveryTest, AnswersAsTheScenarioSays)
{
    const CDiscoveryCase& c = GetParam();
    CScenario scenario;
    scenario.presence = c.presence;
    scenario.addressReply = c.addressReply;
    const CDiscoveryResponder responder(scenario);
    const auto answers = responder.Answer(c.datagram, Address("192.168.42.253"));
    ASSERT_EQ(answers.size(), c.answers.size());
    for (std::size_t i = 0; i < answers.size(); ++i)
    {
        EXPECT_EQ(answers[i].bytes, c.answers[i]);
        EXPECT_EQ(answers[i].fromOtherSender, c.otherSender);
    }
}

using P = CScenario::Presence;
using A = CScenario::AddressReply;
INSTANTIATE_TEST_SUITE_P(
    Datagrams, DiscoveryTest,
    ::testing::Values(
        CDiscoveryCase{"probe", P::Normal, A::Normal, Bytes({0}), {Bytes({2})}, false},
        CDiscoveryCase{"query", P::Normal, A::Normal, Bytes({2}), {kNormalAddressReply}, false},
        CDiscoveryCase{"silent", P::None, A::None, Bytes({0}), {}, false},
        CDiscoveryCase{"silentQuery", P::None, A::None, Bytes({2}), {}, false},
        CDiscoveryCase{"twice", P::Twice, A::Normal, Bytes({0}), {Bytes({2}), Bytes({2})}, false},
        CDiscoveryCase{"wrong", P::Wrong, A::Normal, Bytes({0}), {Bytes({3})}, false},
        CDiscoveryCase{"long", P::Long, A::Normal, Bytes({0}), {Bytes({2, 2})}, false},
        CDiscoveryCase{
            "short", P::Normal, A::Short, Bytes({2}), {kNormalAddressReply.substr(0, 8)}, false},
        CDiscoveryCase{"longQuery",
                       P::Normal,
                       A::Long,
                       Bytes({2}),
                       {kNormalAddressReply + Bytes({0, 0, 0, 0})},
                       false},
        CDiscoveryCase{"other", P::Normal, A::OtherSender, Bytes({2}), {kNormalAddressReply}, true},
        CDiscoveryCase{"unknownByte", P::Normal, A::Normal, Bytes({1}), {}, false},
        CDiscoveryCase{"twoBytes", P::Normal, A::Normal, Bytes({0, 0}), {}, false},
        CDiscoveryCase{"empty", P::Normal, A::Normal, "", {}, false}),
    [](const ::testing::TestParamInfo<CDiscoveryCase>& info) { return info.param.name; });

TEST(DiscoveryTest, AddressReplyNamesTheScenarioAddressesInNetworkOrder)
{
    CScenario scenario;
    scenario.replyAddress = "10.1.2.3";
    scenario.gateway = "172.16.0.1";
    scenario.mask = "255.255.0.0";
    const auto answers =
        CDiscoveryResponder(scenario).Answer(Bytes({2}), Address("192.168.42.253"));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].bytes, Bytes({172, 16, 0, 1, 10, 1, 2, 3, 255, 255, 0, 0}));
}
} // namespace
