#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class CDatagramSocket;
class IClock;
class IOperator;
class IProcessLauncher;

// Finds the appliance on the local network by UDP broadcast: a presence probe whose window
// always runs its full length (so that a second appliance is noticed), then an address query
// answered with the appliance's address, gateway and mask. When the appliance lies outside the
// gateway's subnet, a host route to it is added with the system's route command.
class CApplianceFinder
{
public:
    static constexpr int kFound = 1;
    static constexpr int kNotFound = 0;
    static constexpr int kStop = -2;

    static constexpr unsigned short kDiscoveryPort = 244;
    // Each window lasts this long by the clock's tick count, polled every kPollPauseMs.
    static constexpr std::uint32_t kWindowMs = 2000;
    static constexpr int kPollPauseMs = 1;

    CApplianceFinder(IClock& clock, IOperator& op, IProcessLauncher& processes);

    // kFound with the appliance's dotted address in address (capacity bytes, terminator
    // included); kNotFound when nothing usable answered or the route could not be added
    // (address may be filled then); kStop when the run must end (the message has been shown).
    int FindAppliance(char* address, std::size_t capacity);

    // kFound with the presence reply's dotted sender address, kNotFound, or kStop.
    int ProbeForAppliance(std::string& sender);

    // address is the probe's sender on the way in and the reply's appliance address on the way
    // out; mask and gateway come from the reply. On false nothing is set.
    bool QueryApplianceAddress(std::uint32_t& address, std::uint32_t& mask, std::uint32_t& gateway);

    // Runs "route add <address> <gateway>", both formatted from their 32-bit values so that
    // nothing received from the network can add words to the command.
    bool AddHostRoute(std::uint32_t gateway, std::uint32_t address);

private:
    static constexpr int kStartOver = 2;

    int ProbeOnce(std::string& sender);
    bool OpenBroadcastSocket(CDatagramSocket& socket, unsigned char datagram);
    bool WindowIsOpen(std::uint32_t start);

    IClock& m_clock;
    IOperator& m_operator;
    IProcessLauncher& m_processes;
};
