#include "engine/CVersionReply.h"

namespace
{
// The white space that the framework's left trim removes.
const char kWhiteSpace[] = " \t\n\v\f\r";
} // namespace

bool CVersionReply::Parse(const std::string& reply, std::string& version)
{
    version.clear();
    const std::string::size_type word = reply.find("ver");
    if (word == std::string::npos)
        return false;
    const std::string::size_type start = reply.find_first_not_of(kWhiteSpace, word + 3);
    if (start == std::string::npos)
        return true;
    const std::string::size_type end = reply.find_first_of("\n\r", start);
    // Only a line that is seen to end counts: text after the last line end is not a version.
    if (end != std::string::npos)
        version = reply.substr(start, end - start);
    return true;
}
