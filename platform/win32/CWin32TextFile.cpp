#include "platform/win32/CWin32TextFile.h"

namespace
{
constexpr size_t kBufferSize = 4096;
} // namespace

std::unique_ptr<CWin32TextFile> CWin32TextFile::Open(const std::string& name)
{
    const HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::unique_ptr<CWin32TextFile>(new CWin32TextFile(file));
}

CWin32TextFile::CWin32TextFile(HANDLE file) : m_file(file), m_buffer(kBufferSize) {}

bool CWin32TextFile::Fill()
{
    DWORD read = 0;
    m_nNext = 0;
    m_nEnd = 0;
    if (!ReadFile(m_file.Get(), m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &read,
                  nullptr))
        return false;
    m_nEnd = read;
    return true;
}

ITextFile::ReadResult CWin32TextFile::ReadLine(std::string& line)
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
