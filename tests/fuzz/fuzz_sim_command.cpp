// The simulator's command service over arbitrary bytes: the scenario reader, the command-line
// parser and a whole session fed in pieces. Nothing may crash, hang or grow without bound.
#include "sim/CAppliance.h"
#include "sim/CCommandLine.h"
#include "sim/CCommandSession.h"
#include "sim/CScenario.h"
#include "sim/CTranscript.h"
#include "sim/SimLog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SetLogging(false);
    const std::string input(reinterpret_cast<const char*>(data), size);

    CScenario parsed;
    CScenarioReader reader;
    reader.Read(input, parsed);

    const CCommandLine line(input);
    if (line.WordCount() > input.size() || line.RestAfter(4).size() > input.size())
        std::abort();

    // The first byte picks the scenario's faults, the rest is the client's stream, cut into
    // pieces at each byte 0xFF so that framing across reads gets exercised.
    CScenario scenario;
    if (size > 0)
    {
        scenario.greetingLogin = (data[0] & 1) != 0;
        scenario.singleByteReply = static_cast<CScenario::SingleByte>((data[0] >> 1) & 3);
        scenario.zeroByteChunk.mode =
            (data[0] & 8) ? CScenarioMatch::Mode::All : CScenarioMatch::Mode::None;
        scenario.hugeReply.mode =
            (data[0] & 16) ? CScenarioMatch::Mode::All : CScenarioMatch::Mode::None;
        scenario.dropAtCommand = (data[0] >> 5) & 7;
    }
    CTranscript transcript(nullptr);
    CAppliance appliance(scenario, "", transcript);
    CCommandSession session(appliance, 1);
    std::size_t start = size > 0 ? 1 : 0;
    std::size_t sent = 0;
    for (std::size_t i = start; i <= size; ++i)
    {
        if (i < size && data[i] != 0xFF)
            continue;
        for (const auto& action : session.Receive(input.data() + start, i - start))
            sent += action.bytes.size();
        start = i + 1;
    }
    // Every line yields at most one reply, bounded by the huge-reply size.
    if (sent > (size + 2) * (static_cast<std::size_t>(scenario.hugeReplyBytes) + 256))
        std::abort();
    return 0;
}
