#include "tests/wine/browser/CPrivateRegistry.h"

#include <sddl.h>

#include <algorithm>
#include <utility>

namespace
{
const char kTestKey[] = "Software\\CorvaneBrowserTest";
// Deny KEY_SET_VALUE and KEY_CREATE_SUB_KEY to everyone, allow the rest: a KEY_ALL_ACCESS open
// then fails with ERROR_ACCESS_DENIED while KEY_READ still opens.
const char kRefusingDacl[] = "D:(D;;0x6;;;WD)(A;;KA;;;WD)";
const char kOpenDacl[] = "D:(A;;KA;;;WD)";

const std::pair<RegistryKey, HKEY> kPredefined[] = {{reg::kClassesRoot, HKEY_CLASSES_ROOT},
                                                    {reg::kCurrentUser, HKEY_CURRENT_USER},
                                                    {reg::kLocalMachine, HKEY_LOCAL_MACHINE},
                                                    {reg::kUsers, HKEY_USERS}};

// Wine's ANSI registry functions refuse a key path of more than 260 characters, so the path is
// created one key at a time (each name may have up to 255).
LONG CreatePath(HKEY root, const std::string& path, HKEY& created)
{
    HKEY parent = root;
    std::size_t start = 0;
    LONG status = ERROR_SUCCESS;
    while (status == ERROR_SUCCESS)
    {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        HKEY key = nullptr;
        status = RegCreateKeyExA(parent, path.substr(start, end - start).c_str(), 0, nullptr, 0,
                                 KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (parent != root)
            RegCloseKey(parent);
        if (status != ERROR_SUCCESS)
            break;
        parent = key;
        if (end == path.size())
        {
            created = key;
            break;
        }
        start = end + 1;
    }
    return status;
}

std::string Status(const char* what, LONG status)
{
    return std::string(what) + " failed with " + std::to_string(status);
}
} // namespace

CPrivateRegistry::CPrivateRegistry(int number)
    : m_basePath(std::string(kTestKey) + "\\" + std::to_string(number))
{
    for (const auto& [root, predefined] : kPredefined)
    {
        (void)predefined;
        const std::string path = m_basePath + "\\" + browser_cases::RootName(root);
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) == ERROR_SUCCESS)
            m_roots[root.Value()] = key;
    }
}

CPrivateRegistry::~CPrivateRegistry()
{
    Restore();
    for (const auto& [parent, path] : m_locked)
        SetDacl(parent, path, kOpenDacl);
    for (const auto& [value, key] : m_roots)
    {
        (void)value;
        RegCloseKey(key);
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, m_basePath.c_str());
}

bool CPrivateRegistry::LayOut(const std::vector<browser_cases::Item>& fixture, std::string& reason)
{
    if (m_roots.size() != 4)
    {
        reason = "could not create the private roots";
        return false;
    }
    using browser_cases::Item;
    for (const Item& item : fixture)
    {
        HKEY key = nullptr;
        LONG status = CreatePath(Root(item.root), item.key, key);
        if (status != ERROR_SUCCESS)
        {
            reason = Status(("RegCreateKeyExA " + item.key).c_str(), status);
            return false;
        }
        if (item.what == Item::What::Value)
        {
            // A byte that is not 0 after the data, so that the registry does not count a
            // terminator the fixture left out.
            std::string data = item.bytes + "X";
            status = RegSetValueExA(key, item.valueName.c_str(), 0, item.type,
                                    reinterpret_cast<const BYTE*>(data.data()),
                                    static_cast<DWORD>(item.bytes.size()));
        }
        RegCloseKey(key);
        if (status != ERROR_SUCCESS)
        {
            reason = Status(("RegSetValueExA " + item.key).c_str(), status);
            return false;
        }
    }
    for (const Item& item : fixture)
    {
        if (item.what != Item::What::RefuseFullAccess)
            continue;
        if (!RefuseFullAccess(item.root, item.key))
        {
            reason = "RegSetKeySecurity " + item.key + " failed";
            return false;
        }
    }
    return true;
}

bool CPrivateRegistry::RefuseFullAccess(RegistryKey root, const std::string& path)
{
    if (!SetDacl(Root(root), path, kRefusingDacl))
        return false;
    m_locked.emplace_back(Root(root), path);
    return true;
}

bool CPrivateRegistry::Override(std::string& reason)
{
    for (const auto& [root, predefined] : kPredefined)
    {
        const LONG status = RegOverridePredefKey(predefined, Root(root));
        if (status != ERROR_SUCCESS)
        {
            reason = Status("RegOverridePredefKey", status);
            Restore();
            return false;
        }
        m_overridden = true;
    }
    return true;
}

void CPrivateRegistry::Restore()
{
    if (!m_overridden)
        return;
    for (const auto& [root, predefined] : kPredefined)
    {
        (void)root;
        RegOverridePredefKey(predefined, nullptr);
    }
    m_overridden = false;
}

CPrivateRegistry::Snapshot CPrivateRegistry::Take() const
{
    Snapshot snapshot;
    for (const auto& [root, predefined] : kPredefined)
    {
        (void)predefined;
        Walk(Root(root), browser_cases::RootName(root), snapshot);
    }
    return snapshot;
}

std::vector<std::string> CPrivateRegistry::Changes(const Snapshot& before, const Snapshot& after)
{
    std::vector<std::string> changes;
    for (const std::string& key : after.keys)
        if (before.keys.count(key) == 0)
            changes.push_back(browser_cases::CreatedKey(key));
    for (const std::string& key : before.keys)
        if (after.keys.count(key) == 0)
            changes.push_back("removed " + key);
    for (const auto& [where, value] : after.values)
    {
        const auto old = before.values.find(where);
        if (old == before.values.end() || old->second != value)
        {
            const std::size_t bar = where.find('|');
            changes.push_back(browser_cases::SetValue(where.substr(0, bar), where.substr(bar + 1),
                                                      value.first, value.second));
        }
    }
    for (const auto& [where, value] : before.values)
    {
        (void)value;
        if (after.values.count(where) == 0)
        {
            const std::size_t bar = where.find('|');
            changes.push_back(
                browser_cases::DeletedValue(where.substr(0, bar), where.substr(bar + 1)));
        }
    }
    return changes;
}

HKEY CPrivateRegistry::Root(RegistryKey root) const
{
    const auto found = m_roots.find(root.Value());
    return found != m_roots.end() ? found->second : nullptr;
}

void CPrivateRegistry::Walk(HKEY key, const std::string& path, Snapshot& snapshot) const
{
    for (DWORD index = 0;; ++index)
    {
        char name[16384];
        DWORD nameSize = sizeof(name);
        DWORD type = 0;
        BYTE data[4096];
        DWORD dataSize = sizeof(data);
        const LONG status =
            RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        // A value that cannot be read shows up as a change of its own instead of going unseen.
        snapshot.values[path + "|" +
                        (status == ERROR_SUCCESS ? std::string(name, nameSize)
                                                 : "(unreadable value)")] = {
            type, status == ERROR_SUCCESS
                      ? std::string(reinterpret_cast<const char*>(data), dataSize)
                      : std::to_string(status)};
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
            break;
    }
    for (DWORD index = 0;; ++index)
    {
        char name[256];
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const std::string subPath = path + "\\" + std::string(name, nameSize);
        snapshot.keys.insert(subPath);
        HKEY subkey = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &subkey) != ERROR_SUCCESS)
        {
            snapshot.keys.insert(subPath + " (unreadable)");
            continue;
        }
        Walk(subkey, subPath, snapshot);
        RegCloseKey(subkey);
    }
}

bool CPrivateRegistry::SetDacl(HKEY parent, const std::string& path, const char* sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    HKEY key = nullptr;
    bool set = false;
    if (RegOpenKeyExA(parent, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS)
    {
        set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return set;
}
