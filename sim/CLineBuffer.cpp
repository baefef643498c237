#include "sim/CLineBuffer.h"

CLineBuffer::CLineBuffer(std::size_t maxLineLength) : m_maxLineLength(maxLineLength) {}

bool CLineBuffer::Append(const char* data, std::size_t length)
{
    // Whole lines already waiting do not count against the limit; only the unfinished tail does.
    const auto lastFeed = m_pending.rfind('\n');
    std::size_t tail =
        lastFeed == std::string::npos ? m_pending.size() : m_pending.size() - lastFeed - 1;
    for (std::size_t i = 0; i < length; ++i)
    {
        tail = data[i] == '\n' ? 0 : tail + 1;
        if (tail > m_maxLineLength)
            return false;
    }
    m_pending.append(data, length);
    return true;
}

bool CLineBuffer::NextLine(std::string& line)
{
    const auto feed = m_pending.find('\n');
    if (feed == std::string::npos)
        return false;
    line.assign(m_pending, 0, feed + 1);
    m_pending.erase(0, feed + 1);
    return true;
}

void CLineBuffer::Consume(std::size_t count)
{
    m_pending.erase(0, count);
}
