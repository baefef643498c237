#include "tests/support/CTranscriptRecord.h"

#include <cstdlib>
#include <fstream>

namespace
{
const std::string kEmpty;

class CJsonCursor
{
public:
    explicit CJsonCursor(const std::string& text) : m_text(text) {}

    void SkipBlanks()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' ||
                                        m_text[m_at] == '\r' || m_text[m_at] == '\n'))
            ++m_at;
    }
    bool Take(char expected)
    {
        SkipBlanks();
        if (m_at >= m_text.size() || m_text[m_at] != expected)
            return false;
        ++m_at;
        return true;
    }
    bool Peek(char expected)
    {
        SkipBlanks();
        return m_at < m_text.size() && m_text[m_at] == expected;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return m_at == m_text.size();
    }

    // A JSON string; \u escapes below 256 become that byte, others UTF-8.
    bool String(std::string& out)
    {
        out.clear();
        if (!Take('"'))
            return false;
        while (m_at < m_text.size())
        {
            const char c = m_text[m_at++];
            if (c == '"')
                return true;
            if (c != '\\')
            {
                out += c;
                continue;
            }
            if (m_at >= m_text.size())
                return false;
            const char escape = m_text[m_at++];
            switch (escape)
            {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
            {
                if (m_at + 4 > m_text.size())
                    return false;
                char* end = nullptr;
                const std::string digits = m_text.substr(m_at, 4);
                const long code = std::strtol(digits.c_str(), &end, 16);
                if (*end != '\0')
                    return false;
                m_at += 4;
                AppendCodePoint(code, out);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    // A number, true, false or null, kept as its text.
    bool Bare(std::string& out)
    {
        SkipBlanks();
        const std::size_t start = m_at;
        while (m_at < m_text.size() && m_text[m_at] != ',' && m_text[m_at] != '}' &&
               m_text[m_at] != ' ')
            ++m_at;
        out = m_text.substr(start, m_at - start);
        return !out.empty();
    }

private:
    static void AppendCodePoint(long code, std::string& out)
    {
        if (code < 0x100)
            out += static_cast<char>(code);
        else if (code < 0x800)
        {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
        else
        {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    const std::string& m_text;
    std::size_t m_at = 0;
};
} // namespace

bool CTranscriptRecord::Parse(const std::string& line, CTranscriptRecord& record)
{
    record.m_fields.clear();
    CJsonCursor cursor(line);
    if (!cursor.Take('{'))
        return false;
    if (cursor.Take('}'))
        return cursor.AtEnd();
    do
    {
        std::string key;
        std::string value;
        if (!cursor.String(key) || !cursor.Take(':'))
            return false;
        const bool ok = cursor.Peek('"') ? cursor.String(value) : cursor.Bare(value);
        if (!ok)
            return false;
        record.m_fields[key] = value;
    } while (cursor.Take(','));
    return cursor.Take('}') && cursor.AtEnd();
}

std::vector<CTranscriptRecord> CTranscriptRecord::ReadFile(const std::string& path)
{
    std::vector<CTranscriptRecord> records;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line))
    {
        if (in.eof())
            break; // the last line has no line end yet: it is still being written
        CTranscriptRecord record;
        if (Parse(line, record))
            records.push_back(std::move(record));
    }
    return records;
}

const std::string& CTranscriptRecord::Get(const std::string& key) const
{
    const auto found = m_fields.find(key);
    return found == m_fields.end() ? kEmpty : found->second;
}

long long CTranscriptRecord::Number(const std::string& key) const
{
    const std::string& text = Get(key);
    if (text.empty())
        return 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' ? value : 0;
}
