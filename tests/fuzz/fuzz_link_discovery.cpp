// Feeds discovery's reply handling with arbitrary datagrams from arbitrary senders: the
// presence window, the address reply and the route command built from what a reply holds.
// Input: a list of datagrams, each a length byte, a sender byte and the datagram's bytes.
#include "link/CAddressReply.h"
#include "link/CApplianceFinder.h"
#include "link/CPresenceWindow.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "platform/ProcessLauncher.h"
#include "platform/Socket.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
void Require(bool condition)
{
    if (!condition)
        std::abort();
}

class CNoClock : public IClock
{
public:
    void Sleep(int) override {}
    std::uint32_t TickCount() override { return 0; }
};

class CSilentOperator : public IOperator
{
public:
    int ShowMessage(const std::string&, const std::string&, unsigned) override { return 2; }
    void ShowApplicationMessage(const std::string&) override {}
    bool AskAddress(std::string&) override { return false; }
    bool AskLogin(std::string&, std::string&) override { return false; }
    bool ConfirmUpgrade(const std::string&) override { return false; }
};

class CRecordingLauncher : public IProcessLauncher
{
public:
    bool RunAndWait(const std::string& commandLine) override
    {
        command = commandLine;
        return true;
    }
    std::string command;
};

// "route add" and two dotted addresses, nothing else.
void RequireRouteCommand(const std::string& command, std::uint32_t address, std::uint32_t gateway)
{
    Require(command ==
            "route add " + FormatIpv4Address(address) + " " + FormatIpv4Address(gateway));
    int blanks = 0;
    for (const char character : command.substr(9))
    {
        blanks += character == ' ' ? 1 : 0;
        Require(character == ' ' || character == '.' || (character >= '0' && character <= '9'));
    }
    Require(blanks == 2);
}

std::uint32_t SenderAddress(std::uint8_t selector)
{
    const std::uint8_t bytes[4] = {192, 168, 42, selector};
    std::uint32_t address;
    std::memcpy(&address, bytes, 4);
    return address;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint32_t probed = SenderAddress(253);
    CPresenceWindow window;
    bool found = false;
    std::size_t offset = 0;
    while (offset + 2 <= size)
    {
        std::size_t length = data[offset] % 16;
        const std::uint32_t sender = SenderAddress(data[offset + 1]);
        offset += 2;
        if (length > size - offset)
            length = size - offset;
        const std::uint8_t* datagram = data + offset;
        offset += length;
        const int received = static_cast<int>(length);

        const CPresenceWindow::Outcome outcome = window.Take(datagram, received, sender);
        const bool presence = length == 1 && datagram[0] == CPresenceWindow::kPresenceReply;
        Require(presence == (outcome != CPresenceWindow::Outcome::Ignored));
        Require((outcome == CPresenceWindow::Outcome::TooMany) == (presence && found));
        found = found || presence;
        Require(window.HasFound() == found);
        Require(!found || ParseIpv4Address(window.Sender()) != kAddressNone);

        CAddressReply reply;
        if (!CAddressReply::FromDatagram(datagram, received, sender, probed, reply))
            continue;
        Require(length == CAddressReply::kLength && sender == probed);
        Require(ParseIpv4Address(FormatIpv4Address(reply.m_nAddress)) == reply.m_nAddress);
        CNoClock clock;
        CSilentOperator op;
        CRecordingLauncher launcher;
        Require(
            CApplianceFinder(clock, op, launcher).AddHostRoute(reply.m_nGateway, reply.m_nAddress));
        RequireRouteCommand(launcher.command, reply.m_nAddress, reply.m_nGateway);
    }
    return 0;
}
