#include "engine/CWelcomeAnswer.h"

namespace
{
const char kMissingMark[] = "Can't open";
} // namespace

bool CWelcomeAnswer::AnswerLine(const std::string& reply, std::string& line)
{
    line.clear();
    const std::string::size_type mark = reply.find_first_of("\n>");
    if (mark == std::string::npos)
        return false;
    const std::string::size_type start = mark + 1;
    const std::string::size_type end = reply.find_first_of("\r\n>", start);
    if (end == std::string::npos)
        return false;
    line = reply.substr(start, end - start);
    return true;
}

CWelcomeAnswer::Result CWelcomeAnswer::Parse(const std::string& reply)
{
    std::string line;
    if (!AnswerLine(reply, line))
        return Result::Unreadable;
    return line.compare(0, sizeof kMissingMark - 1, kMissingMark) == 0 ? Result::Missing
                                                                       : Result::Present;
}
