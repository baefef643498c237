#include "sim/CCommandLine.h"

namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsAllowed(unsigned char c)
{
    return IsBlank(static_cast<char>(c)) || (c >= 0x20 && c < 0x7F);
}

const std::string kNoWord;
} // namespace

CCommandLine::CCommandLine(const std::string& line) : m_body(line)
{
    if (!m_body.empty() && m_body.back() == '\n')
        m_body.pop_back();
    if (!m_body.empty() && m_body.back() == '\r')
        m_body.pop_back();
    for (unsigned char c : m_body)
        if (!IsAllowed(c))
            m_valid = false;
    std::size_t i = 0;
    while (i < m_body.size())
    {
        while (i < m_body.size() && IsBlank(m_body[i]))
            ++i;
        const std::size_t start = i;
        while (i < m_body.size() && !IsBlank(m_body[i]))
            ++i;
        if (i > start)
            m_words.push_back({m_body.substr(start, i - start), i});
    }
}

const std::string& CCommandLine::Verb() const
{
    return Word(0);
}

const std::string& CCommandLine::Word(std::size_t index) const
{
    return index < m_words.size() ? m_words[index].text : kNoWord;
}

std::string CCommandLine::RestAfter(std::size_t count) const
{
    std::size_t from = 0;
    if (count > m_words.size())
        from = m_body.size();
    else if (count > 0)
        from = m_words[count - 1].end;
    const auto first = m_body.find_first_not_of(" \t", from);
    if (first == std::string::npos)
        return "";
    const auto last = m_body.find_last_not_of(" \t");
    return m_body.substr(first, last - first + 1);
}
