#include "platform/win32/CWin32TextFile.h"

std::unique_ptr<CWin32TextFile> CWin32TextFile::Open(const std::string& name)
{
    const HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::unique_ptr<CWin32TextFile>(new CWin32TextFile(file));
}

CWin32TextFile::CWin32TextFile(HANDLE file) : m_file(file) {}

long CWin32TextFile::ReadBytes(char* buffer, std::size_t size)
{
    DWORD read = 0;
    if (!ReadFile(m_file.Get(), buffer, static_cast<DWORD>(size), &read, nullptr))
        return -1;
    return static_cast<long>(read);
}
