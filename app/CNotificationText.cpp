#include "app/CNotificationText.h"

#include <cstring>

namespace
{
// The address range of the program's image in memory.
bool ImageRange(const char*& begin, const char*& end)
{
    const auto* base = reinterpret_cast<const char*>(GetModuleHandleA(nullptr));
    if (base == nullptr)
        return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    begin = base;
    end = base + nt->OptionalHeader.SizeOfImage;
    return true;
}
} // namespace

const char* CNotificationText::FromWordParameter(WPARAM wParam)
{
    const auto* text = reinterpret_cast<const char*>(wParam);
    const char* begin = nullptr;
    const char* end = nullptr;
    if (text == nullptr || !ImageRange(begin, end) || text < begin || text >= end)
        return nullptr;
    return std::memchr(text, '\0', static_cast<size_t>(end - text)) != nullptr ? text : nullptr;
}
