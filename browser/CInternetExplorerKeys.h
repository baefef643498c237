#pragma once
#include "platform/Registry.h"

#include <cstdint>
#include <functional>

// The steps on Internet Explorer's keys that the library and the program's check make with the
// very same registry accesses.
class CInternetExplorerKeys
{
public:
    explicit CInternetExplorerKeys(IRegistry& registry) : m_registry(registry) {}

    // Opens HKLM\SOFTWARE\Microsoft\Internet Explorer and reads its value "Build" (255 bytes
    // offered). False when the key does not open. A "Build" that cannot be read as text
    // (missing, too long, not REG_SZ or REG_EXPAND_SZ) gives build 0.
    bool ReadBuild(std::int32_t& build);

    // Enumerates the subkeys of the desktop's NameSpace key (HKLM) into name, offering size
    // characters each time, until isEntry accepts one; its name is then in name. Names that do
    // not fit are passed over.
    bool
    FindNamespaceEntry(char* name, std::int32_t size,
                       const std::function<bool(RegistryKey nameSpace, const char* name)>& isEntry);

    // Sets the default value of "Shell\Open\Command" (created where missing) below the class key
    // HKCR\CLSID\<entryName> to path. Does nothing when a key does not open.
    void SetShellCommand(const char* entryName, const char* path);

    // Deletes "First Home Page" of HKU\.Default\Software\Microsoft\Internet Explorer\Main.
    void DeleteFirstHomePage();

    static constexpr char kNameSpaceKey[] =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Desktop\\NameSpace";
    static constexpr char kInternetEntryText[] = "The Internet";

private:
    IRegistry& m_registry;
};
