#pragma once
// The browser detection's table of cases: a registry fixture, one call, and what must come out
// (result, path, the registry's changes). The native unit test runs it against the in-memory
// registry; the Wine test runs the same table against the real registry through the real
// browser.dll (and the program's check linked into the test program).
#include "browser/CBrowserCheck.h"
#include "platform/Registry.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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

struct Outcome
{
    int result = -1;
    std::string path;
};

// Runs the case's call with a path buffer of exactly its size, so that a sanitizer sees any
// access past it. Library offers the four exports as members of the same names: the detector
// itself natively, the loaded browser.dll under Wine; the program's check runs on registry.
template <typename Library> Outcome RunCase(const Case& c, Library& library, IRegistry& registry)
{
    std::vector<char> path(static_cast<std::size_t>(std::max(c.size, 1)), 'Z');
    Outcome outcome;
    CBrowserCheck check(registry);
    switch (c.call)
    {
    case Call::DetectWebBrowsers:
        outcome.result = library.DetectWebBrowsers(c.flags, 0);
        return outcome;
    case Call::DetectWebBrowsersPath:
        outcome.result = library.DetectWebBrowsersPath(c.flags, path.data(), c.size, 0);
        break;
    case Call::FindIE:
        outcome.result = library.FindIE(path.data(), c.size, c.minBuild);
        break;
    case Call::FindNetscape:
        outcome.result = library.FindNetscape(path.data(), c.size, c.minVersion);
        break;
    case Call::CheckIE:
        outcome.result = check.CheckIE(path.data(), c.size, c.minBuild) ? 1 : 0;
        break;
    case Call::CheckBrowser:
        outcome.result = check.CheckBrowser() ? 1 : 0;
        outcome.path.assign(check.m_szBrowserPath,
                            strnlen(check.m_szBrowserPath, sizeof(check.m_szBrowserPath)));
        return outcome;
    }
    outcome.path.assign(path.data(), strnlen(path.data(), static_cast<std::size_t>(c.size)));
    return outcome;
}
} // namespace browser_cases
