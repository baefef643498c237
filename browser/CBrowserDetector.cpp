#include "browser/CBrowserDetector.h"

#include "browser/CInternetExplorerKeys.h"
#include "browser/CRegistryKeyHolder.h"
#include "browser/RegistryText.h"

#include <cstring>
#include <string>

namespace
{
const char kWizardKey[] = "Software\\Microsoft\\Internet Connection Wizard";
const char kNavigatorKey[] = "SOFTWARE\\Netscape\\Netscape Navigator";
const char kNavigatorGoldKey[] = "SOFTWARE\\Netscape\\Netscape Navigator Gold";
const char kExplorerProgId[] = "InternetExplorer.Application";
const char kNavigatorProgId[] = "Netscape.Registry";

constexpr std::int32_t kDetectPathBytes = 512;
constexpr std::int32_t kExplorerMinimumAlone = 1300;
constexpr std::int32_t kExplorerMinimumBeforeNavigator = 43007;
constexpr int kLastProgIdSuffix = 4;
constexpr std::int32_t kClsidCapacity = 255;
constexpr std::int32_t kEntryNameBytes = 512;
constexpr std::size_t kTextBytes = 256;
} // namespace

int CBrowserDetector::DetectWebBrowsers(std::int32_t flags, std::int32_t reserved)
{
    // The path is not given back; finding Internet Explorer still applies its settings.
    char path[kDetectPathBytes];
    return DetectWebBrowsersPath(flags, path, kDetectPathBytes, reserved);
}

int CBrowserDetector::DetectWebBrowsersPath(std::int32_t flags, char* path, std::int32_t size,
                                            std::int32_t /*reserved: never read*/)
{
    if ((flags & kRequestExplorer) != 0)
        return FindIE(path, size, kExplorerMinimumAlone);
    double navigatorMinimum = 0;
    if ((flags & kRequestNavigator301) != 0)
        navigatorMinimum = 3.01;
    else if ((flags & kRequestNavigator401) != 0)
        navigatorMinimum = 4.01;
    else if ((flags & kRequestNavigator408) != 0)
        navigatorMinimum = 4.08;
    else
        return kNothingRequested;
    const int explorer = FindIE(path, size, kExplorerMinimumBeforeNavigator);
    if (explorer != kNotFound)
        return explorer;
    return FindNetscape(path, size, navigatorMinimum);
}

int CBrowserDetector::FindIE(char* path, std::int32_t size, std::int32_t minBuild)
{
    std::int32_t build = 0;
    if (!CInternetExplorerKeys(m_registry).ReadBuild(build) || build < minBuild)
        return kNotFound;
    if (!GetIEServerPath(path, size))
        return kNotFound;
    // The settings are a courtesy to the installer: their failure does not undo the find.
    ApplyIESettings(path);
    return kFound;
}

int CBrowserDetector::FindNetscape(char* path, std::int32_t size, double minVersion)
{
    double version = 0;
    if (!ReadNetscapeVersion(kNavigatorKey, version) &&
        !ReadNetscapeVersion(kNavigatorGoldKey, version))
        return kNotFound;
    // Written so that a version that is not a number does not qualify.
    if (!(version >= minVersion))
        return kNotFound;
    return GetNetscapeServerPath(path, size) ? kFound : kNotFound;
}

bool CBrowserDetector::FindInternetNamespaceEntry(char* name, std::int32_t size)
{
    return CInternetExplorerKeys(m_registry)
        .FindNamespaceEntry(
            name, size, [this](RegistryKey, const char* entry) { return IsInternetEntry(entry); });
}

bool CBrowserDetector::IsInternetEntry(const char* name)
{
    // The library opens each entry again by its full path, with full access.
    const std::string entryPath = std::string(CInternetExplorerKeys::kNameSpaceKey) + "\\" + name;
    CRegistryKeyHolder entry(m_registry);
    if (!entry.Open(reg::kLocalMachine, entryPath.c_str()))
        return false;
    char text[kTextBytes];
    std::uint32_t stored = kTextBytes - 1;
    if (m_registry.QueryValueEx(entry.Get(), "", nullptr, reinterpret_cast<unsigned char*>(text),
                                stored) != reg::kSuccess)
        return false;
    return registry_text::Terminate(text, sizeof(text), stored) &&
           std::strcmp(text, CInternetExplorerKeys::kInternetEntryText) == 0;
}

bool CBrowserDetector::ApplyIESettings(const char* path)
{
    CInternetExplorerKeys explorer(m_registry);
    char entryName[kEntryNameBytes];
    if (FindInternetNamespaceEntry(entryName, kEntryNameBytes))
        explorer.SetShellCommand(entryName, path);
    explorer.DeleteFirstHomePage();

    CRegistryKeyHolder wizard(m_registry);
    if (!wizard.Create(reg::kCurrentUser, kWizardKey))
        return false;
    const std::uint32_t completed = 1;
    unsigned char bytes[sizeof(completed)];
    std::memcpy(bytes, &completed, sizeof(bytes));
    // A failed write leaves the wizard as it was; the detection result stands either way.
    m_registry.SetValueEx(wizard.Get(), "Completed", reg::kTypeDword, bytes, sizeof(bytes));
    return true;
}

bool CBrowserDetector::GetIEServerPath(char* path, std::int32_t size)
{
    char clsid[kClsidCapacity + 1];
    return GetProgIdClsid(kExplorerProgId, clsid, kClsidCapacity) &&
           GetLocalServerPath(clsid, path, size);
}

bool CBrowserDetector::GetNetscapeServerPath(char* path, std::int32_t size)
{
    char clsid[kClsidCapacity + 1];
    return GetProgIdClsid(kNavigatorProgId, clsid, kClsidCapacity) &&
           GetLocalServerPath(clsid, path, size);
}

bool CBrowserDetector::GetProgIdClsid(const char* progId, char* clsid, std::int32_t size)
{
    for (int suffix = 0; suffix <= kLastProgIdSuffix; ++suffix)
    {
        std::string name = progId;
        if (suffix > 0)
            name += "." + std::to_string(suffix);
        CRegistryKeyHolder key(m_registry);
        if (!key.Open(reg::kClassesRoot, (name + "\\CLSID").c_str()))
            continue;
        std::uint32_t stored = registry_text::Capacity(size);
        if (m_registry.QueryValueEx(key.Get(), "", nullptr, reinterpret_cast<unsigned char*>(clsid),
                                    stored) == reg::kSuccess &&
            registry_text::Terminate(clsid, registry_text::Capacity(size) + 1, stored))
            return true;
    }
    return false;
}

bool CBrowserDetector::GetLocalServerPath(const char* clsid, char* path, std::int32_t size)
{
    CRegistryKeyHolder classes(m_registry);
    if (!classes.Open(reg::kClassesRoot, "CLSID"))
        return false;
    CRegistryKeyHolder server(m_registry);
    if (!server.Open(classes.Get(), (std::string(clsid) + "\\LocalServer32").c_str()))
        return false;
    std::uint32_t stored = registry_text::Capacity(size);
    return m_registry.QueryValueEx(server.Get(), "", nullptr,
                                   reinterpret_cast<unsigned char*>(path),
                                   stored) == reg::kSuccess &&
           registry_text::Terminate(path, registry_text::Capacity(size), stored);
}

bool CBrowserDetector::ReadNetscapeVersion(const char* key, double& version)
{
    version = 0;
    CRegistryKeyHolder navigator(m_registry);
    if (!navigator.Open(reg::kLocalMachine, key))
        return false;
    char text[kTextBytes];
    std::uint32_t stored = kTextBytes - 1;
    if (m_registry.QueryValueEx(navigator.Get(), "CurrentVersion", nullptr,
                                reinterpret_cast<unsigned char*>(text), stored) == reg::kSuccess)
    {
        registry_text::Terminate(text, sizeof(text), stored);
        version = registry_text::LeadingNumber(text);
        return true;
    }
    return ReadVersionFromSubkeys(navigator.Get(), version);
}

bool CBrowserDetector::ReadVersionFromSubkeys(RegistryKey key, double& version)
{
    for (std::uint32_t index = 0;; ++index)
    {
        // Cleared for every index: a name that does not fit leaves the buffer alone and then
        // counts as 0 instead of repeating the name before it.
        char name[kTextBytes] = {};
        std::uint32_t capacity = kTextBytes - 1;
        const long status = m_registry.EnumKeyEx(key, index, name, capacity);
        if (status == reg::kNoMoreItems)
            return true;
        if (status != reg::kSuccess && status != reg::kMoreData)
            return false;
        const double subkeyVersion = registry_text::LeadingNumber(name);
        if (subkeyVersion > version)
            version = subkeyVersion;
    }
}
