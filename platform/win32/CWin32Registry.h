#pragma once
#include "platform/Registry.h"

// The registry port over advapi32: every operation is the Win32 call of its name, its status
// passed back unchanged. Keys are the HKEY values themselves.
class CWin32Registry : public IRegistry
{
public:
    long OpenKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key) override;
    long CreateKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key) override;
    long CloseKey(RegistryKey key) override;
    long QueryValue(RegistryKey key, const char* subKey, char* data, std::int32_t& size) override;
    long QueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                      unsigned char* data, std::uint32_t& size) override;
    long EnumKeyEx(RegistryKey key, std::uint32_t index, char* name, std::uint32_t& size) override;
    long SetValue(RegistryKey key, const char* subKey, std::uint32_t type, const char* text,
                  std::uint32_t length) override;
    long SetValueEx(RegistryKey key, const char* valueName, std::uint32_t type,
                    const unsigned char* data, std::uint32_t size) override;
    long DeleteValue(RegistryKey key, const char* valueName) override;
};
