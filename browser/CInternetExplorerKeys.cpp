#include "browser/CInternetExplorerKeys.h"

#include "browser/CRegistryKeyHolder.h"
#include "browser/RegistryText.h"

#include <cstring>

namespace
{
const char kExplorerKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";
const char kMainKey[] = ".Default\\Software\\Microsoft\\Internet Explorer\\Main";
const char kShellCommand[] = "Shell\\Open\\Command";

bool IsText(std::uint32_t type)
{
    return type == reg::kTypeSz || type == reg::kTypeExpandSz;
}
} // namespace

bool CInternetExplorerKeys::ReadBuild(std::int32_t& build)
{
    CRegistryKeyHolder explorer(m_registry);
    if (!explorer.Open(reg::kLocalMachine, kExplorerKey))
        return false;
    // Cleared first and offered one byte less than it holds, so the text always ends inside.
    char text[256] = {};
    std::uint32_t type = reg::kTypeNone;
    std::uint32_t stored = sizeof(text) - 1;
    const long status = m_registry.QueryValueEx(explorer.Get(), "Build", &type,
                                                reinterpret_cast<unsigned char*>(text), stored);
    build = (status == reg::kSuccess && IsText(type)) ? registry_text::LeadingInteger(text) : 0;
    return true;
}

bool CInternetExplorerKeys::FindNamespaceEntry(
    char* name, std::int32_t size,
    const std::function<bool(RegistryKey nameSpace, const char* name)>& isEntry)
{
    CRegistryKeyHolder nameSpace(m_registry);
    if (!nameSpace.Open(reg::kLocalMachine, kNameSpaceKey))
        return false;
    for (std::uint32_t index = 0;; ++index)
    {
        std::uint32_t capacity = registry_text::Capacity(size);
        const long status = m_registry.EnumKeyEx(nameSpace.Get(), index, name, capacity);
        // Any failure but a name that does not fit would repeat at every later index, so it
        // ends the search instead of being passed over.
        if (status == reg::kMoreData)
            continue;
        if (status != reg::kSuccess)
            return false;
        if (isEntry(nameSpace.Get(), name))
            return true;
    }
}

void CInternetExplorerKeys::SetShellCommand(const char* entryName, const char* path)
{
    CRegistryKeyHolder classes(m_registry);
    if (!classes.Open(reg::kClassesRoot, "CLSID"))
        return;
    CRegistryKeyHolder entry(m_registry);
    if (!entry.Open(classes.Get(), entryName))
        return;
    // Failing to write the command does not change the outcome of the detection.
    m_registry.SetValue(entry.Get(), kShellCommand, reg::kTypeSz, path,
                        static_cast<std::uint32_t>(std::strlen(path)));
}

void CInternetExplorerKeys::DeleteFirstHomePage()
{
    CRegistryKeyHolder main(m_registry);
    if (!main.Open(reg::kUsers, kMainKey))
        return;
    // Already absent is as good as deleted.
    m_registry.DeleteValue(main.Get(), "First Home Page");
}
