#include "platform/CLineReader.h"

namespace
{
constexpr std::size_t kBufferSize = 4096;
} // namespace

CLineReader::CLineReader() : m_buffer(kBufferSize) {}

bool CLineReader::Fill()
{
    m_nNext = 0;
    m_nEnd = 0;
    const long got = ReadBytes(m_buffer.data(), m_buffer.size());
    if (got < 0)
        return false;
    m_nEnd = static_cast<std::size_t>(got);
    return true;
}

ITextFile::ReadResult CLineReader::ReadLine(std::string& line)
{
    line.clear();
    bool anyByte = false;
    for (;;)
    {
        if (m_nNext == m_nEnd)
        {
            if (!Fill())
                return ReadResult::Error;
            if (m_nEnd == 0)
                return anyByte ? ReadResult::Line : ReadResult::EndOfFile;
        }
        const char byte = m_buffer[m_nNext++];
        anyByte = true;
        if (byte == '\n')
        {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return ReadResult::Line;
        }
        line.push_back(byte);
    }
}
