#include "browser/CBrowserCheck.h"

#include "browser/CInternetExplorerKeys.h"
#include "browser/CRegistryKeyHolder.h"
#include "browser/RegistryText.h"

#include <cstring>
#include <string>

namespace
{
const char kExplorerProgId[] = "InternetExplorer.Application";

constexpr int kLastProgIdSuffix = 4;
constexpr std::int32_t kClsidCapacity = 255;
constexpr std::int32_t kEntryNameBytes = 512;
constexpr std::size_t kTextBytes = 256;

// The check reads each entry's default value through the open NameSpace key.
bool IsInternetEntry(IRegistry& registry, RegistryKey nameSpace, const char* name)
{
    char text[kTextBytes];
    std::int32_t stored = kTextBytes - 1;
    if (registry.QueryValue(nameSpace, name, text, stored) != reg::kSuccess)
        return false;
    return registry_text::Terminate(text, sizeof(text), registry_text::Capacity(stored)) &&
           std::strcmp(text, CInternetExplorerKeys::kInternetEntryText) == 0;
}
} // namespace

bool CBrowserCheck::CheckBrowser()
{
    return CheckIE(m_szBrowserPath, kBrowserPathBytes, kMinimumBuild);
}

bool CBrowserCheck::CheckIE(char* path, std::int32_t size, std::int32_t minBuild)
{
    std::int32_t build = 0;
    if (!CInternetExplorerKeys(m_registry).ReadBuild(build) || build < minBuild)
        return false;
    if (!GetIEServerPath(path, size))
        return false;
    ApplyIESettings(path);
    return true;
}

bool CBrowserCheck::ApplyIESettings(const char* path)
{
    CInternetExplorerKeys explorer(m_registry);
    char entryName[kEntryNameBytes];
    if (FindInternetNamespaceEntry(m_registry, entryName, kEntryNameBytes))
        explorer.SetShellCommand(entryName, path);
    explorer.DeleteFirstHomePage();
    return true;
}

bool CBrowserCheck::GetIEServerPath(char* path, std::int32_t size)
{
    char clsid[kClsidCapacity + 1];
    return GetProgIdClsid(kExplorerProgId, clsid, kClsidCapacity) &&
           GetLocalServerPath(clsid, path, size);
}

bool CBrowserCheck::GetProgIdClsid(const char* progId, char* clsid, std::int32_t size)
{
    for (int suffix = 0; suffix <= kLastProgIdSuffix; ++suffix)
    {
        std::string name = progId;
        if (suffix > 0)
            name += "." + std::to_string(suffix);
        CRegistryKeyHolder key(m_registry);
        if (!key.Open(reg::kClassesRoot, name.c_str()))
            continue;
        std::int32_t stored = static_cast<std::int32_t>(registry_text::Capacity(size));
        if (m_registry.QueryValue(key.Get(), "CLSID", clsid, stored) == reg::kSuccess &&
            registry_text::Terminate(clsid, registry_text::Capacity(size) + 1,
                                     registry_text::Capacity(stored)))
            return true;
    }
    return false;
}

bool CBrowserCheck::GetLocalServerPath(const char* clsid, char* path, std::int32_t size)
{
    CRegistryKeyHolder classes(m_registry);
    if (!classes.Open(reg::kClassesRoot, "CLSID"))
        return false;
    CRegistryKeyHolder classKey(m_registry);
    if (!classKey.Open(classes.Get(), clsid))
        return false;
    std::int32_t stored = static_cast<std::int32_t>(registry_text::Capacity(size));
    return m_registry.QueryValue(classKey.Get(), "LocalServer32", path, stored) == reg::kSuccess &&
           registry_text::Terminate(path, registry_text::Capacity(size),
                                    registry_text::Capacity(stored));
}

bool FindInternetNamespaceEntry(IRegistry& registry, char* name, std::int32_t size)
{
    return CInternetExplorerKeys(registry).FindNamespaceEntry(
        name, size,
        [&registry](RegistryKey nameSpace, const char* entry)
        { return IsInternetEntry(registry, nameSpace, entry); });
}
