#include "platform/win32/CWin32FileSystem.h"

#include "platform/win32/CScopedHandle.h"
#include "platform/win32/CWin32TextFile.h"

namespace
{
// The first entry a directory search with name as pattern finds; false when there is none.
bool FindEntry(const std::string& name, WIN32_FIND_DATAA& entry)
{
    if (name.empty())
        return false;
    const CFindHandle search(FindFirstFileA(name.c_str(), &entry));
    return search.IsValid();
}
} // namespace

bool CWin32FileSystem::Exists(const std::string& name)
{
    WIN32_FIND_DATAA entry;
    return FindEntry(name, entry);
}

bool CWin32FileSystem::GetSize(const std::string& name, std::int32_t& size)
{
    WIN32_FIND_DATAA entry;
    if (!FindEntry(name, entry))
        return false;
    size = static_cast<std::int32_t>(entry.nFileSizeLow);
    return true;
}

std::unique_ptr<ITextFile> CWin32FileSystem::OpenText(const std::string& name)
{
    return CWin32TextFile::Open(name);
}
