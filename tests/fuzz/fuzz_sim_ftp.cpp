// The simulator's FTP control connection over arbitrary bytes: command parsing, PORT arguments
// and a session whose transfers end at once. Nothing may crash, hang or answer without bound.
#include "sim/CAppliance.h"
#include "sim/CFtpCommand.h"
#include "sim/CFtpSession.h"
#include "sim/CScenario.h"
#include "sim/CTranscript.h"
#include "sim/SimLog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
class CImmediatePort : public IFtpDataPort
{
public:
    bool OpenPassive(std::uint32_t& address, std::uint16_t& port) override
    {
        address = 0x0100007F;
        port = 40000;
        return true;
    }
    void ClosePassive() override {}
    void StartStore(const std::string&, Mode, std::uint32_t, std::uint16_t, bool, bool) override
    {
        ++started;
    }
    int started = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SetLogging(false);
    const std::string input(reinterpret_cast<const char*>(data), size);

    const CFtpCommand command(input);
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    if (CFtpCommand::ParseHostPort(command.Argument(), address, port) &&
        CFtpCommand::FormatHostPort(address, port).size() > 23)
        std::abort();

    CScenario scenario;
    CTranscript transcript(nullptr);
    CAppliance appliance(scenario, "", transcript);
    CImmediatePort dataPort;
    CFtpSession session(appliance, dataPort, 1, 0x0100007F);
    std::size_t replies = session.Greet().size();
    // Log in first so that the commands behind the login are reached too.
    const std::string login = "USER admin\r\nPASS corvane\r\n";
    replies += session.Receive(login.data(), login.size()).size();
    for (std::size_t at = 0; at < size; at += 97)
    {
        const std::size_t piece = size - at < 97 ? size - at : 97;
        replies += session.Receive(input.data() + at, piece).size();
        while (session.IsBusy())
        {
            CFtpSession::CTransferResult result;
            result.outcome = static_cast<CFtpSession::CTransferResult::Outcome>(data[at] % 5);
            replies += session.TransferFinished(result).size();
        }
    }
    if (replies > 2 * size + 8)
        std::abort();
    return 0;
}
