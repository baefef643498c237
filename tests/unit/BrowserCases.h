#pragma once
// The browser detection's table of cases: a registry fixture, one call, and what must come out
// (result, path, the registry's changes). The native unit test runs it against the in-memory
// registry; the Wine test runs the same table against the real registry through the real
// browser.dll (and the program's check linked into the test program).
#include "platform/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace browser_cases
{
// One piece of a fixture below one of the four roots.
struct Item
{
    enum class What
    {
        Key,             // the key exists
        Value,           // the key exists with this value
        RefuseFullAccess // the key exists and refuses to open with full access
    };
    What what;
    RegistryKey root;
    std::string key;
    std::string valueName; // "" is the default value
    std::uint32_t type = reg::kTypeNone;
    std::string bytes; // stored exactly: a text's terminator is part of it
};

enum class Call
{
    DetectWebBrowsers,     // flags
    DetectWebBrowsersPath, // flags, path of size bytes
    FindIE,                // path of size bytes, minBuild
    FindNetscape,          // path of size bytes, minVersion
    CheckIE,               // the program's check: path of size bytes, minBuild
    CheckBrowser           // the program's check as the worker makes it
};

struct Case
{
    std::string name;
    std::vector<Item> fixture;
    Call call = Call::FindIE;
    std::int32_t flags = 0;
    std::int32_t size = 512;
    std::int32_t minBuild = 0;
    double minVersion = 0;
    int expected = 0;
    // The text in the path buffer afterwards; not looked at when absent.
    std::optional<std::string> path;
    // What the call changed in the registry, in any order (see the formatters below).
    std::vector<std::string> changes;
};

// The library's four exports.
std::vector<Case> LibraryCases();
// The program's check.
std::vector<Case> CheckCases();

// Change lines, the same whether recorded by the in-memory registry or found by comparing the
// real registry before and after.
std::string CreatedKey(const std::string& keyPath);
std::string SetValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                     const std::string& bytes);
std::string DeletedValue(const std::string& keyPath, const std::string& name);

// "HKCR", "HKCU", "HKLM", "HKU".
std::string RootName(RegistryKey root);
const char* CallName(Call call);
} // namespace browser_cases
