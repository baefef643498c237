#include "sim/CDiscoveryResponder.h"

#include <arpa/inet.h>
#include <cstring>

namespace
{
std::string AddressBytes(std::uint32_t networkOrder)
{
    char bytes[4];
    std::memcpy(bytes, &networkOrder, sizeof bytes);
    return std::string(bytes, sizeof bytes);
}

std::uint32_t ParseAddress(const std::string& text)
{
    in_addr address{};
    inet_pton(AF_INET, text.c_str(), &address);
    return address.s_addr;
}
} // namespace

CDiscoveryResponder::CDiscoveryResponder(const CScenario& scenario) : m_scenario(scenario) {}

std::vector<CDiscoveryResponder::CAnswer>
CDiscoveryResponder::Answer(const std::string& datagram, std::uint32_t localAddress) const
{
    if (datagram.size() != 1)
        return {};
    const auto value = static_cast<unsigned char>(datagram[0]);
    if (value == kPresenceProbe)
        return AnswerPresence();
    if (value == kAddressQuery)
        return AnswerAddress(localAddress);
    return {};
}

std::vector<CDiscoveryResponder::CAnswer> CDiscoveryResponder::AnswerPresence() const
{
    const std::string reply(1, static_cast<char>(kPresenceReply));
    switch (m_scenario.presence)
    {
    case CScenario::Presence::Normal:
        return {{reply, false}};
    case CScenario::Presence::None:
        return {};
    case CScenario::Presence::Twice:
        return {{reply, false}, {reply, false}};
    case CScenario::Presence::Wrong:
        return {{std::string(1, '\x03'), false}};
    case CScenario::Presence::Long:
        return {{reply + reply, false}};
    }
    return {};
}

std::vector<CDiscoveryResponder::CAnswer>
CDiscoveryResponder::AnswerAddress(std::uint32_t localAddress) const
{
    const std::uint32_t appliance =
        m_scenario.replyAddress == "auto" ? localAddress : ParseAddress(m_scenario.replyAddress);
    const std::string reply = AddressBytes(ParseAddress(m_scenario.gateway)) +
                              AddressBytes(appliance) + AddressBytes(ParseAddress(m_scenario.mask));
    switch (m_scenario.addressReply)
    {
    case CScenario::AddressReply::Normal:
        return {{reply, false}};
    case CScenario::AddressReply::None:
        return {};
    case CScenario::AddressReply::Short:
        return {{reply.substr(0, 8), false}};
    case CScenario::AddressReply::Long:
        return {{reply + std::string(4, '\0'), false}};
    case CScenario::AddressReply::OtherSender:
        return {{reply, true}};
    }
    return {};
}
