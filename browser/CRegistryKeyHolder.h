#pragma once
#include "platform/Registry.h"

// Owns one open registry key and closes it when it goes out of scope, so a key is closed on
// every path out of the routine that opened it.
class CRegistryKeyHolder
{
public:
    explicit CRegistryKeyHolder(IRegistry& registry) : m_registry(registry) {}
    ~CRegistryKeyHolder();
    CRegistryKeyHolder(const CRegistryKeyHolder&) = delete;
    CRegistryKeyHolder& operator=(const CRegistryKeyHolder&) = delete;

    // Opens subKey below parent with full access; true when it opened.
    bool Open(RegistryKey parent, const char* subKey);
    // Opens or creates subKey below parent with full access; true when it succeeded.
    bool Create(RegistryKey parent, const char* subKey);

    RegistryKey Get() const { return m_key; }

private:
    void Close();

    IRegistry& m_registry;
    RegistryKey m_key;
};
