#include "link/CApplianceFinder.h"

#include "link/CAddressReply.h"
#include "link/CPresenceWindow.h"
#include "platform/Clock.h"
#include "platform/MessageBoxStyle.h"
#include "platform/Operator.h"
#include "platform/ProcessLauncher.h"
#include "platform/Socket.h"

#include <cstdio>

namespace
{
constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFFu;
constexpr unsigned char kPresenceProbe = 0x00;
constexpr unsigned char kAddressQuery = 0x02;

const char kInternalErrorTitle[] = "Corvane upgrade utility - Internal error";
const char kCannotConnect[] = "Cannot establish a connection to the Corvane. Check the cables and "
                              "try running the Corvane upgrade utility again.";
const char kCannotStartProcess[] =
    "Cannot create this process. Your computer memory may be low. "
    "Restart the computer and run the Corvane upgrade utility again.";
const char kTooManyTitle[] = "Corvane upgrade utility - Too many Corvanes";
const char kTooManyText[] = "You have more than one Corvane on this network. Power off all except "
                            "the one you want to upgrade and click OK. If you want to stop the "
                            "upgrade utility click cancel.";
} // namespace

CApplianceFinder::CApplianceFinder(IClock& clock, IOperator& op, IProcessLauncher& processes)
    : m_clock(clock), m_operator(op), m_processes(processes)
{
}

int CApplianceFinder::FindAppliance(char* address, std::size_t capacity)
{
    std::string sender;
    const int probed = ProbeForAppliance(sender);
    if (probed != kFound)
        return probed;
    std::uint32_t appliance = ParseIpv4Address(sender);
    if (appliance == kAddressNone)
        return kNotFound;
    std::uint32_t mask = 0;
    std::uint32_t gateway = 0;
    if (!QueryApplianceAddress(appliance, mask, gateway))
        return kNotFound;
    // Written before the subnet test, so the address is there even when the route fails.
    std::snprintf(address, capacity, "%s", FormatIpv4Address(appliance).c_str());
    if ((gateway & mask) != (appliance & mask))
        return AddHostRoute(gateway, appliance) ? kFound : kNotFound;
    return kFound;
}

int CApplianceFinder::ProbeForAppliance(std::string& sender)
{
    // Each start-over gets a new socket and a new window; only the operator ends the round.
    for (;;)
    {
        const int result = ProbeOnce(sender);
        if (result != kStartOver)
            return result;
    }
}

int CApplianceFinder::ProbeOnce(std::string& sender)
{
    CDatagramSocket socket;
    if (!OpenBroadcastSocket(socket, kPresenceProbe))
        return kStop;
    CPresenceWindow window;
    const std::uint32_t start = m_clock.TickCount();
    while (WindowIsOpen(start))
    {
        unsigned char datagram[1];
        std::uint32_t from = 0;
        unsigned short port = 0;
        const int length = socket.ReceiveFrom(datagram, sizeof datagram, from, port);
        if (window.Take(datagram, length, from) == CPresenceWindow::Outcome::TooMany)
        {
            const int answer = m_operator.ShowMessage(kTooManyText, kTooManyTitle,
                                                      box::kOkCancel | box::kSetForeground);
            return answer == box::kIdOk ? kStartOver : kStop;
        }
        m_clock.Sleep(kPollPauseMs);
    }
    if (!window.HasFound())
        return kNotFound;
    sender = window.Sender();
    return kFound;
}

bool CApplianceFinder::QueryApplianceAddress(std::uint32_t& address, std::uint32_t& mask,
                                             std::uint32_t& gateway)
{
    CDatagramSocket socket;
    if (!OpenBroadcastSocket(socket, kAddressQuery))
        return false;
    const std::uint32_t start = m_clock.TickCount();
    while (WindowIsOpen(start))
    {
        unsigned char datagram[CAddressReply::kLength];
        std::uint32_t from = 0;
        unsigned short port = 0;
        const int length = socket.ReceiveFrom(datagram, sizeof datagram, from, port);
        CAddressReply reply;
        if (CAddressReply::FromDatagram(datagram, length, from, address, reply))
        {
            gateway = reply.m_nGateway;
            address = reply.m_nAddress;
            mask = reply.m_nMask;
            return true;
        }
        m_clock.Sleep(kPollPauseMs);
    }
    return false;
}

bool CApplianceFinder::AddHostRoute(std::uint32_t gateway, std::uint32_t address)
{
    const std::string command =
        "route add " + FormatIpv4Address(address) + " " + FormatIpv4Address(gateway);
    if (!m_processes.RunAndWait(command))
    {
        m_operator.ShowMessage(kCannotStartProcess, kInternalErrorTitle, box::kSetForeground);
        return false;
    }
    return true;
}

// Creates the socket, allows broadcast and sends the one-byte datagram; tells the operator when
// any of it fails.
bool CApplianceFinder::OpenBroadcastSocket(CDatagramSocket& socket, unsigned char datagram)
{
    if (socket.Create() && socket.AllowBroadcast() &&
        socket.SendTo(&datagram, 1, kLimitedBroadcast, kDiscoveryPort) != kSocketError)
        return true;
    m_operator.ShowMessage(kCannotConnect, kInternalErrorTitle, box::kSetForeground);
    return false;
}

// Measured as time since the start, so that a tick count that wraps round neither ends the
// window at once nor keeps it open for ever.
bool CApplianceFinder::WindowIsOpen(std::uint32_t start)
{
    return m_clock.TickCount() - start < kWindowMs;
}
