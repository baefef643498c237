#include "engine/CLocatePhase.h"

#include "engine/CUpgrader.h"
#include "engine/RunMessages.h"
#include "link/CApplianceFinder.h"
#include "platform/Operator.h"

#include <cstring>

namespace
{
const char kFindingStatus[] = "Finding Corvane";
const char kAddressTooLongKind[] = "Address too long";
const char kAddressTooLong[] = "The address entered is longer than 255 characters. Check the "
                               "address and try running the Corvane upgrade utility again.";
} // namespace

CLocatePhase::CLocatePhase(CUpgrader& upgrader) : m_upgrader(upgrader) {}

std::unique_ptr<CCommandSocket> CLocatePhase::Run()
{
    const CUpgraderPorts& ports = m_upgrader.Ports();
    m_upgrader.PostStep(kFindingStatus, 0);
    CApplianceFinder finder(ports.clock, ports.op, ports.processes);
    const int found = finder.FindAppliance(m_upgrader.m_szAddress, CUpgrader::kAddressCapacity);
    if (found == CApplianceFinder::kStop)
        return nullptr;
    if (found == CApplianceFinder::kNotFound && UseFactoryAddress() == AddressOutcome::Stop)
        return nullptr;

    auto session =
        std::make_unique<CCommandSocket>(m_upgrader.m_szAddress, kCommandPort, LinkPorts());
    if (!session->Login(m_upgrader))
    {
        m_upgrader.ShowFailure(run_messages::kCannotConnect, run_messages::kInternalError);
        return nullptr;
    }
    return session;
}

// A login at the factory address decides whether the operator must give the address; the probe
// session only tells, its connection is closed again at once.
CLocatePhase::AddressOutcome CLocatePhase::UseFactoryAddress()
{
    StoreAddress(kFactoryAddress);
    CCommandSocket probe(m_upgrader.m_szAddress, kCommandPort, LinkPorts());
    const bool answered = probe.Login(m_upgrader);
    probe.Close();
    return answered ? AddressOutcome::Known : AskForAddress();
}

// The typed address gets exactly one attempt. One that does not fit the address buffer is
// refused rather than cut, since a cut address would reach some other host.
CLocatePhase::AddressOutcome CLocatePhase::AskForAddress()
{
    std::string typed;
    if (!m_upgrader.Ports().op.AskAddress(typed))
        return AddressOutcome::Stop;
    if (typed.size() >= static_cast<std::size_t>(CUpgrader::kAddressCapacity))
    {
        m_upgrader.ShowFailure(kAddressTooLong, kAddressTooLongKind);
        return AddressOutcome::Stop;
    }
    StoreAddress(typed);
    return AddressOutcome::Known;
}

void CLocatePhase::StoreAddress(const std::string& address)
{
    std::memcpy(m_upgrader.m_szAddress, address.c_str(), address.size() + 1);
}

CLinkPorts CLocatePhase::LinkPorts() const
{
    const CUpgraderPorts& ports = m_upgrader.Ports();
    return CLinkPorts{ports.clock, ports.notifier, ports.op};
}
