#include "sim/CImageVersion.h"

#include <fstream>

namespace
{
// The next line of head from position at, without "\n" or "\r\n"; false at the end of head or
// when the line is cut off by the header limit.
bool NextLine(const std::string& head, std::size_t& at, std::string& line)
{
    const auto feed = head.find('\n', at);
    if (feed == std::string::npos)
        return false;
    line = head.substr(at, feed - at);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    at = feed + 1;
    return true;
}
} // namespace

bool CImageVersion::Parse(const std::string& head, std::string& version)
{
    const std::string limited = head.substr(0, kHeaderLimit);
    std::size_t at = 0;
    std::string line;
    if (!NextLine(limited, at, line) || line != kMagicLine)
        return false;
    const std::string key = "Version:";
    while (NextLine(limited, at, line) && !line.empty())
    {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        const auto start = line.find_first_not_of(" \t", key.size());
        if (start == std::string::npos)
            return false;
        const auto end = line.find_last_not_of(" \t");
        version = line.substr(start, end - start + 1);
        for (unsigned char c : version)
            if (c < 0x20 || c >= 0x7F)
                return false;
        return true;
    }
    return false;
}

bool CImageVersion::ReadFile(const std::string& path, std::string& version)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string head(kHeaderLimit, '\0');
    in.read(&head[0], static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return Parse(head, version);
}
