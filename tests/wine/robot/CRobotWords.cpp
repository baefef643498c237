#include "CRobotWords.h"

#include <cstdio>
#include <cstdlib>

namespace
{
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ReadEscape(const std::string& line, size_t& i, std::string& word)
{
    if (i >= line.size())
        return false;
    const char c = line[i++];
    switch (c)
    {
    case 'n':
        word += '\n';
        return true;
    case 'r':
        word += '\r';
        return true;
    case 't':
        word += '\t';
        return true;
    case '"':
    case '\\':
        word += c;
        return true;
    case 'x':
    {
        if (i + 2 > line.size() || HexDigit(line[i]) < 0 || HexDigit(line[i + 1]) < 0)
            return false;
        word += static_cast<char>(HexDigit(line[i]) * 16 + HexDigit(line[i + 1]));
        i += 2;
        return true;
    }
    default:
        return false;
    }
}
} // namespace

bool CRobotWords::Split(const std::string& line, std::vector<std::string>& words)
{
    words.clear();
    size_t i = 0;
    while (i < line.size())
    {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n')
        {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"')
        {
            ++i;
            for (;;)
            {
                if (i >= line.size())
                    return false;
                const char c = line[i++];
                if (c == '"')
                    break;
                if (c == '\\')
                {
                    if (!ReadEscape(line, i, word))
                        return false;
                }
                else
                {
                    word += c;
                }
            }
        }
        else
        {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '\n')
                word += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

std::string CRobotWords::Quote(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text)
    {
        const auto byte = static_cast<unsigned char>(c);
        switch (c)
        {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (byte < 0x20 || byte >= 0x7F)
            {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02X", byte);
                quoted += escape;
            }
            else
            {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

bool CRobotWords::ToNumber(const std::string& word, long long& value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    value = std::strtoll(word.c_str(), &end, 0);
    return end != nullptr && *end == '\0';
}
