#include "platform/win32/CWin32Registry.h"

#include <windows.h>

namespace
{
// The port gives the roots their 32-bit Windows values; on x64 the real predefined handles are
// those values sign-extended, so they are mapped explicitly.
HKEY ToHkey(RegistryKey key)
{
    if (key == reg::kClassesRoot)
        return HKEY_CLASSES_ROOT;
    if (key == reg::kCurrentUser)
        return HKEY_CURRENT_USER;
    if (key == reg::kLocalMachine)
        return HKEY_LOCAL_MACHINE;
    if (key == reg::kUsers)
        return HKEY_USERS;
    return reinterpret_cast<HKEY>(key.Value());
}

RegistryKey FromHkey(HKEY key)
{
    return RegistryKey(reinterpret_cast<std::uintptr_t>(key));
}
} // namespace

long CWin32Registry::OpenKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key)
{
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), subKey, 0, KEY_ALL_ACCESS, &opened);
    if (status == ERROR_SUCCESS)
        key = FromHkey(opened);
    return status;
}

long CWin32Registry::CreateKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key)
{
    HKEY created = nullptr;
    const LONG status = RegCreateKeyExA(ToHkey(parent), subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &created, nullptr);
    if (status == ERROR_SUCCESS)
        key = FromHkey(created);
    return status;
}

long CWin32Registry::CloseKey(RegistryKey key)
{
    return RegCloseKey(ToHkey(key));
}

long CWin32Registry::QueryValue(RegistryKey key, const char* subKey, char* data, std::int32_t& size)
{
    LONG capacity = size;
    const LONG status = RegQueryValueA(ToHkey(key), subKey, data, &capacity);
    size = capacity;
    return status;
}

long CWin32Registry::QueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                                  unsigned char* data, std::uint32_t& size)
{
    DWORD valueType = REG_NONE;
    DWORD capacity = size;
    const LONG status =
        RegQueryValueExA(ToHkey(key), valueName, nullptr, &valueType, data, &capacity);
    size = capacity;
    if (type != nullptr)
        *type = valueType;
    return status;
}

long CWin32Registry::EnumKeyEx(RegistryKey key, std::uint32_t index, char* name,
                               std::uint32_t& size)
{
    DWORD capacity = size;
    const LONG status =
        RegEnumKeyExA(ToHkey(key), index, name, &capacity, nullptr, nullptr, nullptr, nullptr);
    size = capacity;
    return status;
}

long CWin32Registry::SetValue(RegistryKey key, const char* subKey, std::uint32_t type,
                              const char* text, std::uint32_t length)
{
    return RegSetValueA(ToHkey(key), subKey, type, text, length);
}

long CWin32Registry::SetValueEx(RegistryKey key, const char* valueName, std::uint32_t type,
                                const unsigned char* data, std::uint32_t size)
{
    return RegSetValueExA(ToHkey(key), valueName, 0, type, data, size);
}

long CWin32Registry::DeleteValue(RegistryKey key, const char* valueName)
{
    return RegDeleteValueA(ToHkey(key), valueName);
}
