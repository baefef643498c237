#pragma once
#include "sim/CScenario.h"

#include <cstdint>
#include <string>
#include <vector>

// The answers of the discovery service to one datagram: the presence probe 0x00 gets 0x02, the
// address query 0x02 gets 12 bytes (gateway, appliance address, mask, each in network byte
// order), both shaped by the scenario's faults. Anything else gets no answer.
class CDiscoveryResponder
{
public:
    static constexpr unsigned char kPresenceProbe = 0x00;
    static constexpr unsigned char kAddressQuery = 0x02;
    static constexpr unsigned char kPresenceReply = 0x02;

    struct CAnswer
    {
        std::string bytes;
        bool fromOtherSender = false;
    };

    explicit CDiscoveryResponder(const CScenario& scenario);

    // localAddress: the appliance's own address in network byte order, named in the address
    // reply unless the scenario names another.
    std::vector<CAnswer> Answer(const std::string& datagram, std::uint32_t localAddress) const;

private:
    std::vector<CAnswer> AnswerPresence() const;
    std::vector<CAnswer> AnswerAddress(std::uint32_t localAddress) const;

    CScenario m_scenario;
};
