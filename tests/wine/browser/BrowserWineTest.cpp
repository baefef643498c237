// Runs the browser detection's table of cases against the real registry: the library's cases
// through browser.dll, loaded with LoadLibrary and called once by name and once by ordinal, the
// program's check linked in. Each case gets a private registry of its own.
//
//   browser_wine_test table <browser.dll>   the table; last line "browser table: ..."
//   browser_wine_test fresh <browser.dll>   what the real registry of this prefix answers
//   browser_wine_test facts <browser.dll>   the registry facts the in-memory registry copies
#include "browser/CBrowserCheck.h"
#include "platform/win32/CWin32Registry.h"
#include "tests/unit/BrowserCases.h"
#include "tests/unit/BrowserRegistryFacts.h"
#include "tests/wine/browser/CPrivateRegistry.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
using browser_cases::Call;
using browser_cases::Case;
using browser_cases::Outcome;

using DetectWebBrowsersFn = int(WINAPI*)(int, int);
using DetectWebBrowsersPathFn = int(WINAPI*)(int, char*, int, int);
using FindIEFn = int(WINAPI*)(char*, int, int);
using FindNetscapeFn = int(WINAPI*)(char*, int, double);

struct Exports
{
    DetectWebBrowsersFn detectWebBrowsers = nullptr;
    DetectWebBrowsersPathFn detectWebBrowsersPath = nullptr;
    FindIEFn findIE = nullptr;
    FindNetscapeFn findNetscape = nullptr;
};

const char* const kExportNames[] = {"DetectWebBrowsers", "DetectWebBrowsersPath", "FindIE",
                                    "FindNetscape"};

// GetProcAddress gives every function one type; a detour through the generic function pointer
// type tells the compiler that the real type is known.
template <typename Function> Function As(FARPROC found)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// By name, or by the ordinals 1 to 4 that the names must have in alphabetical order.
bool Resolve(HMODULE library, bool byOrdinal, Exports& exports)
{
    FARPROC found[4];
    for (int i = 0; i < 4; ++i)
    {
        found[i] = GetProcAddress(library, byOrdinal ? MAKEINTRESOURCEA(i + 1) : kExportNames[i]);
        if (found[i] == nullptr)
            return false;
    }
    exports.detectWebBrowsers = As<DetectWebBrowsersFn>(found[0]);
    exports.detectWebBrowsersPath = As<DetectWebBrowsersPathFn>(found[1]);
    exports.findIE = As<FindIEFn>(found[2]);
    exports.findNetscape = As<FindNetscapeFn>(found[3]);
    return true;
}

// The loaded library's exports under the names the case runner calls.
struct CLoadedLibrary
{
    const Exports& exports;
    int DetectWebBrowsers(int flags, int reserved) const
    {
        return exports.detectWebBrowsers(flags, reserved);
    }
    int DetectWebBrowsersPath(int flags, char* path, int size, int reserved) const
    {
        return exports.detectWebBrowsersPath(flags, path, size, reserved);
    }
    int FindIE(char* path, int size, int minBuild) const
    {
        return exports.findIE(path, size, minBuild);
    }
    int FindNetscape(char* path, int size, double minVersion) const
    {
        return exports.findNetscape(path, size, minVersion);
    }
};

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "\n    " + line;
    return text;
}

// Lays out the case in a private registry, calls it, and compares; "" when all agreed.
std::string RunCase(const Case& c, int number, const Exports& exports)
{
    CPrivateRegistry registry(number);
    std::string reason;
    if (!registry.LayOut(c.fixture, reason))
        return "fixture: " + reason;
    const CPrivateRegistry::Snapshot before = registry.Take();
    if (!registry.Override(reason))
        return reason;
    CWin32Registry realRegistry;
    CLoadedLibrary library{exports};
    const Outcome outcome = RunCase(c, library, realRegistry);
    registry.Restore();
    const auto changes = Sorted(CPrivateRegistry::Changes(before, registry.Take()));

    std::string failure;
    if (outcome.result != c.expected)
        failure += " result " + std::to_string(outcome.result) + ", expected " +
                   std::to_string(c.expected) + ";";
    if (c.path && outcome.path != *c.path)
        failure += " path [" + outcome.path + "], expected [" + *c.path + "];";
    if (changes != Sorted(c.changes))
        failure += " changes:" + Joined(changes) + "\n  expected:" + Joined(Sorted(c.changes));
    return failure;
}

int RunTable(HMODULE library)
{
    Exports byName;
    Exports byOrdinal;
    if (!Resolve(library, false, byName) || !Resolve(library, true, byOrdinal))
    {
        std::printf("FAIL the four exports are not all there by name and by ordinal\n");
        return 1;
    }
    int runs = 0;
    int failed = 0;
    const bool sameFunctions = byName.detectWebBrowsers == byOrdinal.detectWebBrowsers &&
                               byName.detectWebBrowsersPath == byOrdinal.detectWebBrowsersPath &&
                               byName.findIE == byOrdinal.findIE &&
                               byName.findNetscape == byOrdinal.findNetscape;
    std::printf("%s ordinals 1-4 are DetectWebBrowsers, DetectWebBrowsersPath, FindIE, "
                "FindNetscape\n",
                sameFunctions ? "ok" : "FAIL");
    failed += sameFunctions ? 0 : 1;

    auto run = [&](const Case& c, const char* binding, const Exports& exports)
    {
        const std::string failure = RunCase(c, runs, exports);
        ++runs;
        if (!failure.empty())
            ++failed;
        std::printf("%s %s %s: %s%s\n", failure.empty() ? "ok" : "FAIL", binding,
                    browser_cases::CallName(c.call), c.name.c_str(), failure.c_str());
    };
    for (const Case& c : browser_cases::LibraryCases())
    {
        run(c, "by-name", byName);
        run(c, "by-ordinal", byOrdinal);
    }
    for (const Case& c : browser_cases::CheckCases())
        run(c, "check", byName);

    std::printf("browser table: %d runs, %d failed, %d-bit\n", runs, failed,
                static_cast<int>(sizeof(void*) * 8));
    return failed == 0 ? 0 : 1;
}

std::string WizardCompleted()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Connection Wizard", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return "absent";
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    const LONG status =
        RegQueryValueExA(key, "Completed", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "absent";
    return "type " + std::to_string(type) + " value " + std::to_string(value);
}

// The prefix's own registry, untouched by any fixture.
int RunFresh(HMODULE library)
{
    Exports exports;
    if (!Resolve(library, false, exports))
    {
        std::printf("FAIL the four exports are not all there\n");
        return 1;
    }
    char path[512] = {};
    std::printf("FindNetscape(3.01) %d\n", exports.findNetscape(path, sizeof(path), 3.01));
    std::printf("Completed before %s\n", WizardCompleted().c_str());
    const int explorer = exports.findIE(path, sizeof(path), 1300);
    std::printf("FindIE(1300) %d [%s]\n", explorer, explorer == 0 ? path : "");
    std::printf("Completed after %s\n", WizardCompleted().c_str());
    std::printf("DetectWebBrowsers(8) %d\n", exports.detectWebBrowsers(8, 0));
    CWin32Registry registry;
    CBrowserCheck check(registry);
    const bool passed = check.CheckBrowser();
    std::printf("CheckBrowser %d [%s]\n", passed ? 1 : 0, check.m_szBrowserPath);
    std::printf("fresh prefix: done, %d-bit\n", static_cast<int>(sizeof(void*) * 8));
    return 0;
}
// The port's Windows facts, below a private HKCU.
int RunFacts()
{
    CPrivateRegistry registry(0);
    std::string reason;
    if (!registry.Override(reason))
    {
        std::printf("FAIL %s\n", reason.c_str());
        return 1;
    }
    CWin32Registry port;
    const auto facts =
        registry_facts::Check(port, "Facts",
                              [&](const std::string& path)
                              { return registry.RefuseFullAccess(reg::kCurrentUser, path); });
    registry.Restore();
    int failed = 0;
    for (const auto& fact : facts)
    {
        const bool same = fact.observed == fact.expected;
        failed += same ? 0 : 1;
        std::printf("%s %s: %s%s\n", same ? "ok" : "FAIL", fact.name.c_str(), fact.observed.c_str(),
                    same ? "" : (", expected " + fact.expected).c_str());
    }
    std::printf("browser table: %d runs, %d failed, %d-bit\n", static_cast<int>(facts.size()),
                failed, static_cast<int>(sizeof(void*) * 8));
    return failed == 0 ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    const bool known =
        argc == 3 && (std::strcmp(argv[1], "table") == 0 || std::strcmp(argv[1], "fresh") == 0 ||
                      std::strcmp(argv[1], "facts") == 0);
    if (!known)
    {
        std::printf("usage: browser_wine_test table|fresh|facts <browser.dll>\n");
        return 2;
    }
    if (std::strcmp(argv[1], "facts") == 0)
        return RunFacts();
    const HMODULE library = LoadLibraryA(argv[2]);
    if (library == nullptr)
    {
        std::printf("FAIL LoadLibrary(%s): error %lu\n", argv[2], GetLastError());
        return 1;
    }
    const int status = std::strcmp(argv[1], "table") == 0 ? RunTable(library) : RunFresh(library);
    std::fflush(stdout);
    FreeLibrary(library);
    return status;
}
