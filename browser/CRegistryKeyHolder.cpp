#include "browser/CRegistryKeyHolder.h"

CRegistryKeyHolder::~CRegistryKeyHolder()
{
    Close();
}

bool CRegistryKeyHolder::Open(RegistryKey parent, const char* subKey)
{
    Close();
    RegistryKey opened;
    if (m_registry.OpenKeyEx(parent, subKey, opened) != reg::kSuccess)
        return false;
    m_key = opened;
    return true;
}

bool CRegistryKeyHolder::Create(RegistryKey parent, const char* subKey)
{
    Close();
    RegistryKey created;
    if (m_registry.CreateKeyEx(parent, subKey, created) != reg::kSuccess)
        return false;
    m_key = created;
    return true;
}

void CRegistryKeyHolder::Close()
{
    if (m_key.IsNull())
        return;
    // Nothing is left to do for a key that will not close; the handle is given up either way.
    m_registry.CloseKey(m_key);
    m_key = RegistryKey();
}
