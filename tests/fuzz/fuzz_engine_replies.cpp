// The run's handling of what the appliance answers: the version reply, the welcome answer, and
// the version formatted into the 200-character message buffer, whatever the bytes.
#include "engine/CConfirmationText.h"
#include "engine/CMessageBuffer.h"
#include "engine/CVersionReply.h"
#include "engine/CWelcomeAnswer.h"

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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string reply(reinterpret_cast<const char*>(data), size);

    std::string version;
    if (CVersionReply::Parse(reply, version))
    {
        // A version is a part of the reply and never holds a line end.
        Require(version.find_first_of("\r\n") == std::string::npos);
        Require(reply.find(version) != std::string::npos);
    }
    else
    {
        Require(reply.find("ver") == std::string::npos);
    }

    std::string line;
    const bool answered = CWelcomeAnswer::AnswerLine(reply, line);
    Require(answered == (CWelcomeAnswer::Parse(reply) != CWelcomeAnswer::Result::Unreadable));
    Require(line.find_first_of("\r\n>") == std::string::npos);

    CMessageBuffer message;
    for (auto kind :
         {CConfirmationText::Kind::UnknownVersion, CConfirmationText::Kind::OtherVersion,
          CConfirmationText::Kind::OlderVersion, CConfirmationText::Kind::SameVersion})
    {
        CConfirmationText::Format(kind, version, reply, message);
        Require(std::strlen(message.Text()) < CMessageBuffer::kCapacity);
    }
    return 0;
}
