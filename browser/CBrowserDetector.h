#pragma once
#include "platform/Registry.h"

#include <cstdint>

// The browser detection that the library browser.dll exports: whether Internet Explorer (by its
// build) or Netscape Navigator (by its version) is registered, and its server path. When
// Internet Explorer qualifies, three of its settings are applied. Every call reads the registry
// afresh and closes every key it opened.
class CBrowserDetector
{
public:
    // Results of the four exports.
    static constexpr int kFound = 0;
    static constexpr int kNotFound = 1;
    static constexpr int kNothingRequested = 2;

    // Request bits; only the first set one counts.
    static constexpr std::int32_t kRequestExplorer = 1;
    static constexpr std::int32_t kRequestNavigator301 = 2;
    static constexpr std::int32_t kRequestNavigator401 = 4;
    static constexpr std::int32_t kRequestNavigator408 = 8;

    explicit CBrowserDetector(IRegistry& registry) : m_registry(registry) {}

    int DetectWebBrowsers(std::int32_t flags, std::int32_t reserved);
    int DetectWebBrowsersPath(std::int32_t flags, char* path, std::int32_t size,
                              std::int32_t reserved);
    // path holds size bytes; a size below 1 offers nothing and finds nothing.
    int FindIE(char* path, std::int32_t size, std::int32_t minBuild);
    int FindNetscape(char* path, std::int32_t size, double minVersion);

private:
    bool FindInternetNamespaceEntry(char* name, std::int32_t size);
    bool IsInternetEntry(const char* name);
    bool ApplyIESettings(const char* path);
    bool GetIEServerPath(char* path, std::int32_t size);
    bool GetNetscapeServerPath(char* path, std::int32_t size);
    // clsid holds size + 1 bytes, so a value that fills the capacity still ends inside it.
    bool GetProgIdClsid(const char* progId, char* clsid, std::int32_t size);
    bool GetLocalServerPath(const char* clsid, char* path, std::int32_t size);
    bool ReadNetscapeVersion(const char* key, double& version);
    bool ReadVersionFromSubkeys(RegistryKey key, double& version);

    IRegistry& m_registry;
};
