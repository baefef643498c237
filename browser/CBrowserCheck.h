#pragma once
#include "platform/Registry.h"

#include <cstdint>

// The program's browser prerequisite: Internet Explorer of build 1300 or later with a
// registered automation server. When it qualifies, two of its settings are applied. Unlike the
// library, it reads the class identifier, the server path and the namespace entries through
// their parent keys, so only those parents need to open with full access.
class CBrowserCheck
{
public:
    static constexpr std::int32_t kMinimumBuild = 1300;
    static constexpr std::int32_t kBrowserPathBytes = 512;

    explicit CBrowserCheck(IRegistry& registry) : m_registry(registry) {}
    virtual ~CBrowserCheck() = default;

    // The check the worker makes before its run.
    bool CheckBrowser();

    // True when the build is at least minBuild and the server path is in path (size bytes).
    bool CheckIE(char* path, std::int32_t size, std::int32_t minBuild);
    bool ApplyIESettings(const char* path);
    bool GetIEServerPath(char* path, std::int32_t size);
    // clsid holds size + 1 bytes, so a value that fills the capacity still ends inside it.
    bool GetProgIdClsid(const char* progId, char* clsid, std::int32_t size);
    bool GetLocalServerPath(const char* clsid, char* path, std::int32_t size);

    // Receives the server path during the check.
    char m_szBrowserPath[kBrowserPathBytes] = {};

private:
    IRegistry& m_registry;
};

// The subkey of the desktop's NameSpace key whose default value is exactly "The Internet"; its
// name is then in name (size bytes). Values are read through the open NameSpace key.
bool FindInternetNamespaceEntry(IRegistry& registry, char* name, std::int32_t size);
