#include "tests/unit/BrowserCases.h"

#include <cstdio>
#include <utility>

namespace browser_cases
{
namespace
{
const RegistryKey kHKCR = reg::kClassesRoot;
const RegistryKey kHKCU = reg::kCurrentUser;
const RegistryKey kHKLM = reg::kLocalMachine;
const RegistryKey kHKU = reg::kUsers;

const std::string kExplorerKey = "SOFTWARE\\Microsoft\\Internet Explorer";
const std::string kExplorerProgId = "InternetExplorer.Application";
const std::string kExplorerClsid = "{C0A7E001-1E00-4B00-9E00-000000000001}";
const std::string kExplorerPath = "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\"";
const std::string kNameSpaceKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Desktop\\NameSpace";
const std::string kEntry = "{C0A7E002-1E00-4B00-9E00-000000000002}";
const std::string kOtherEntry = "{C0A7E003-1E00-4B00-9E00-000000000003}";
const std::string kFirstClsid = "{C0A7E005-1E00-4B00-9E00-000000000005}";
const std::string kMainKey = ".Default\\Software\\Microsoft\\Internet Explorer\\Main";
const std::string kWizardKey = "Software\\Microsoft\\Internet Connection Wizard";
const std::string kNavigatorKey = "SOFTWARE\\Netscape\\Netscape Navigator";
const std::string kGoldKey = "SOFTWARE\\Netscape\\Netscape Navigator Gold";
const std::string kNavigatorProgId = "Netscape.Registry";
const std::string kNavigatorClsid = "{C0A7E004-1E00-4B00-9E00-000000000004}";
const std::string kNavigatorPath = "C:\\Program Files\\Netscape\\Program\\netscape.exe";

using Fixture = std::vector<Item>;

Fixture operator+(Fixture a, const Fixture& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Item Key(RegistryKey root, const std::string& key)
{
    return {Item::What::Key, root, key, "", reg::kTypeNone, ""};
}

Item Refuse(RegistryKey root, const std::string& key)
{
    return {Item::What::RefuseFullAccess, root, key, "", reg::kTypeNone, ""};
}

Item Bytes(RegistryKey root, const std::string& key, const std::string& name, std::uint32_t type,
           const std::string& bytes)
{
    return {Item::What::Value, root, key, name, type, bytes};
}

// A REG_SZ value stored with its terminator.
Item Text(RegistryKey root, const std::string& key, const std::string& name,
          const std::string& text)
{
    return Bytes(root, key, name, reg::kTypeSz, text + std::string(1, '\0'));
}

std::string DwordBytes(std::uint32_t value)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
    return bytes;
}

std::string Terminated(const std::string& text)
{
    return text + std::string(1, '\0');
}

// Internet Explorer with its build and its automation server.
Fixture Build(const std::string& text)
{
    return {Text(kHKLM, kExplorerKey, "Build", text)};
}

Fixture ExplorerServer()
{
    return {Text(kHKCR, kExplorerProgId + "\\CLSID", "", kExplorerClsid),
            Text(kHKCR, "CLSID\\" + kExplorerClsid + "\\LocalServer32", "", kExplorerPath)};
}

Fixture InternetEntry(const std::string& entry, const std::string& text)
{
    return {Text(kHKLM, kNameSpaceKey + "\\" + entry, "", text), Key(kHKCR, "CLSID\\" + entry)};
}

Fixture HomePage()
{
    return {Text(kHKU, kMainKey, "First Home Page", "http://www.corvane.example/")};
}

// What the settings need besides Explorer: the Internet entry, the home page and the parent of
// the connection wizard's key.
Fixture Surroundings()
{
    return InternetEntry(kEntry, "The Internet") + HomePage() +
           Fixture{Key(kHKCU, "Software\\Microsoft")};
}

Fixture Explorer(const std::string& build)
{
    return Build(build) + ExplorerServer() + Surroundings();
}

Fixture NavigatorServer()
{
    return {Text(kHKCR, kNavigatorProgId + "\\CLSID", "", kNavigatorClsid),
            Text(kHKCR, "CLSID\\" + kNavigatorClsid + "\\LocalServer32", "", kNavigatorPath)};
}

Fixture Navigator(const std::string& version)
{
    return Fixture{Text(kHKLM, kNavigatorKey, "CurrentVersion", version)} + NavigatorServer();
}

std::vector<std::string> ShellCommandChanges(const std::string& entry, const std::string& path)
{
    const std::string classKey = "HKCR\\CLSID\\" + entry;
    return {CreatedKey(classKey + "\\Shell"), CreatedKey(classKey + "\\Shell\\Open"),
            CreatedKey(classKey + "\\Shell\\Open\\Command"),
            SetValue(classKey + "\\Shell\\Open\\Command", "", reg::kTypeSz, Terminated(path))};
}

std::vector<std::string> HomePageDeleted()
{
    return {DeletedValue("HKU\\" + kMainKey, "First Home Page")};
}

std::vector<std::string> WizardCompleted()
{
    return {CreatedKey("HKCU\\" + kWizardKey),
            SetValue("HKCU\\" + kWizardKey, "Completed", reg::kTypeDword, DwordBytes(1))};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The three settings of the library, with the Internet entry of Surroundings().
std::vector<std::string> LibrarySettings(const std::string& path = kExplorerPath)
{
    return ShellCommandChanges(kEntry, path) + HomePageDeleted() + WizardCompleted();
}

// The two settings of the program's check.
std::vector<std::string> CheckSettings(const std::string& path = kExplorerPath)
{
    return ShellCommandChanges(kEntry, path) + HomePageDeleted();
}

Case Detect(std::string name, Fixture fixture, std::int32_t flags, int expected,
            std::optional<std::string> path, std::vector<std::string> changes)
{
    Case c;
    c.name = std::move(name);
    c.fixture = std::move(fixture);
    c.call = Call::DetectWebBrowsersPath;
    c.flags = flags;
    c.expected = expected;
    c.path = std::move(path);
    c.changes = std::move(changes);
    return c;
}

Case Explore(std::string name, Fixture fixture, std::int32_t minBuild, int expected,
             std::optional<std::string> path, std::vector<std::string> changes,
             std::int32_t size = 512)
{
    Case c = Detect(std::move(name), std::move(fixture), 0, expected, std::move(path),
                    std::move(changes));
    c.call = Call::FindIE;
    c.minBuild = minBuild;
    c.size = size;
    return c;
}

Case Navigate(std::string name, Fixture fixture, double minVersion, int expected,
              std::optional<std::string> path = std::nullopt)
{
    Case c = Detect(std::move(name), std::move(fixture), 0, expected, std::move(path), {});
    c.call = Call::FindNetscape;
    c.minVersion = minVersion;
    return c;
}

Case Check(std::string name, Fixture fixture, bool expected, std::vector<std::string> changes,
           std::int32_t size = 512)
{
    Case c = Detect(std::move(name), std::move(fixture), 0, expected ? 1 : 0,
                    expected ? std::optional<std::string>(kExplorerPath) : std::nullopt,
                    std::move(changes));
    c.call = Call::CheckIE;
    c.minBuild = 1300;
    c.size = size;
    return c;
}

// A fixture of Internet Explorer registered only under the identifier with this suffix.
Fixture SuffixOnly(int suffix)
{
    const std::string progId = kExplorerProgId + "." + std::to_string(suffix);
    return Build("1300") +
           Fixture{Text(kHKCR, progId + "\\CLSID", "", kExplorerClsid),
                   Text(kHKCR, "CLSID\\" + kExplorerClsid + "\\LocalServer32", "", kExplorerPath)} +
           Surroundings();
}

// Internet Explorer whose server path is stored without terminator.
const std::string kShortPath = "C:\\ie.exe";
Fixture UnterminatedServer()
{
    return Build("1300") +
           Fixture{Text(kHKCR, kExplorerProgId + "\\CLSID", "", kExplorerClsid),
                   Bytes(kHKCR, "CLSID\\" + kExplorerClsid + "\\LocalServer32", "", reg::kTypeSz,
                         kShortPath)} +
           Surroundings();
}

// A class identifier of 255 characters stored without terminator, and its server.
Fixture LongClsid()
{
    const std::string clsid = "{" + std::string(253, 'C') + "}";
    return Build("1300") +
           Fixture{Bytes(kHKCR, kExplorerProgId + "\\CLSID", "", reg::kTypeSz, clsid),
                   Text(kHKCR, "CLSID\\" + clsid + "\\LocalServer32", "", kExplorerPath)} +
           Surroundings();
}
} // namespace

std::vector<Case> LibraryCases()
{
    const Fixture both = Explorer("43007") + Navigator("4.08");
    const Fixture oldExplorer = Explorer("1299") + Navigator("3.01");
    const Fixture midExplorer = Explorer("43006") + Navigator("4.08");
    const Fixture noExplorer = Surroundings();
    std::vector<Case> cases = {
        // Request bits.
        Detect("flags 0 looks nothing up", both, 0, 2, std::nullopt, {}),
        Detect("only bits above 8 look nothing up", both, 0x7FFFFFF0, 2, std::nullopt, {}),
        Detect("the sign bit alone looks nothing up", both, static_cast<std::int32_t>(0x80000000u),
               2, std::nullopt, {}),
        Detect("flags 3: bit 1 wins with minimum 1300", Explorer("1300") + Navigator("4.08"), 3, 0,
               kExplorerPath, LibrarySettings()),
        Detect("flags 3: no Navigator after Explorer below 1300",
               Explorer("1299") + Navigator("4.08"), 3, 1, std::nullopt, {}),
        Detect("flags 6: bit 2 wins with Navigator 3.01", oldExplorer, 6, 0, kNavigatorPath, {}),
        Detect("flags 4: Navigator 3.01 is too old", oldExplorer, 4, 1, std::nullopt, {}),
        Detect("build 43006 with flags 2: Navigator, no setting", midExplorer, 2, 0, kNavigatorPath,
               {}),
        Detect("build 43006 with flags 1: Explorer", midExplorer, 1, 0, kExplorerPath,
               LibrarySettings()),
        Detect("build 43007 with flags 2: Explorer", both, 2, 0, kExplorerPath, LibrarySettings()),
        Detect("build 43007 with flags 8: Explorer, Navigator not needed", both, 8, 0,
               kExplorerPath, LibrarySettings()),
        Detect("flags 8: Navigator 4.08 [en]", noExplorer + Navigator("4.08 [en]"), 8, 0,
               kNavigatorPath, {}),
        Detect("flags 2: Navigator 4.01", noExplorer + Navigator("4.01"), 2, 0, kNavigatorPath, {}),
        Detect("flags 4: Navigator exactly 4.01", noExplorer + Navigator("4.01"), 4, 0,
               kNavigatorPath, {}),
        Detect("flags 8: Navigator exactly 4.01 is too old", noExplorer + Navigator("4.01"), 8, 1,
               std::nullopt, {}),
        Detect("flags 2: nothing installed", noExplorer, 2, 1, std::nullopt, {}),

        // Builds.
        Explore("build 1299 below 1300", Explorer("1299"), 1300, 1, std::nullopt, {}),
        Explore("build 1300", Explorer("1300"), 1300, 0, kExplorerPath, LibrarySettings()),
        Explore("build 1300.1 reads as 1300", Explorer("1300.1"), 1300, 0, kExplorerPath,
                LibrarySettings()),
        Explore("build 5.00.2920 reads as 5", Explorer("5.00.2920"), 1300, 1, std::nullopt, {}),
        Explore("build with blanks and a sign", Explorer(" \t+1300"), 1300, 0, kExplorerPath,
                LibrarySettings()),
        Explore("build compared signed", Explorer("-5"), -10, 0, kExplorerPath, LibrarySettings()),
        Explore("build 43006 below 43007", Explorer("43006"), 43007, 1, std::nullopt, {}),
        Explore("build 43007", Explorer("43007"), 43007, 0, kExplorerPath, LibrarySettings()),
        Explore("build far beyond 32 bits is the largest build", Explorer("99999999999999999999"),
                2147483647, 0, kExplorerPath, LibrarySettings()),
        Explore("Build missing: build 0",
                ExplorerServer() + Surroundings() + Fixture{Key(kHKLM, kExplorerKey)}, 1, 1,
                std::nullopt, {}),
        Explore("Build as REG_DWORD whose bytes spell 1300: build 0",
                Fixture{Bytes(kHKLM, kExplorerKey, "Build", reg::kTypeDword, "1300")} +
                    ExplorerServer() + Surroundings(),
                1, 1, std::nullopt, {}),
        Explore("Build as REG_BINARY 1300: build 0",
                Fixture{Bytes(kHKLM, kExplorerKey, "Build", reg::kTypeBinary, "1300")} +
                    ExplorerServer() + Surroundings(),
                1300, 1, std::nullopt, {}),
        Explore("Build not text still counts as build 0",
                Fixture{Bytes(kHKLM, kExplorerKey, "Build", reg::kTypeBinary, "1300")} +
                    ExplorerServer() + Surroundings(),
                0, 0, kExplorerPath, LibrarySettings()),
        Explore(
            "Build as REG_EXPAND_SZ is text",
            Fixture{Bytes(kHKLM, kExplorerKey, "Build", reg::kTypeExpandSz, Terminated("1300"))} +
                ExplorerServer() + Surroundings(),
            1300, 0, kExplorerPath, LibrarySettings()),
        Explore("Build of 255 characters without terminator",
                Fixture{Bytes(kHKLM, kExplorerKey, "Build", reg::kTypeSz,
                              std::string(251, '0') + "1300")} +
                    ExplorerServer() + Surroundings(),
                1300, 0, kExplorerPath, LibrarySettings()),
        Explore("Build longer than 255 characters: build 0",
                Build(std::string(252, '0') + "1300") + ExplorerServer() + Surroundings(), 1300, 1,
                std::nullopt, {}),
        Explore("no Explorer key", ExplorerServer() + Surroundings(), 0, 1, std::nullopt, {}),
        Explore("Explorer key refusing full access",
                Explorer("43007") + Fixture{Refuse(kHKLM, kExplorerKey)}, 1300, 1, std::nullopt,
                {}),

        // Class identifier and server path.
        Explore("identifier with suffix .1", SuffixOnly(1), 1300, 0, kExplorerPath,
                LibrarySettings()),
        Explore("identifier with suffix .2", SuffixOnly(2), 1300, 0, kExplorerPath,
                LibrarySettings()),
        Explore("identifier with suffix .3", SuffixOnly(3), 1300, 0, kExplorerPath,
                LibrarySettings()),
        Explore("identifier with suffix .4", SuffixOnly(4), 1300, 0, kExplorerPath,
                LibrarySettings()),
        Explore("identifier with suffix .5 is not found", SuffixOnly(5), 1300, 1, std::nullopt, {}),
        Explore("the lowest suffix wins",
                SuffixOnly(3) + Fixture{Text(kHKCR, kExplorerProgId + ".1\\CLSID", "", kFirstClsid),
                                        Text(kHKCR, "CLSID\\" + kFirstClsid + "\\LocalServer32", "",
                                             "C:\\first.exe")},
                1300, 0, "C:\\first.exe", LibrarySettings("C:\\first.exe")),
        Explore("class identifier without LocalServer32",
                Build("1300") +
                    Fixture{Text(kHKCR, kExplorerProgId + "\\CLSID", "", kExplorerClsid),
                            Key(kHKCR, "CLSID\\" + kExplorerClsid)} +
                    Surroundings(),
                1300, 1, std::nullopt, {}),
        Explore("class identifier subkey refusing full access",
                Explorer("1300") + Fixture{Refuse(kHKCR, kExplorerProgId + "\\CLSID")}, 1300, 1,
                std::nullopt, {}),
        Explore("identifier key refusing full access: its CLSID opens",
                Explorer("1300") + Fixture{Refuse(kHKCR, kExplorerProgId)}, 1300, 0, kExplorerPath,
                LibrarySettings()),
        Explore("LocalServer32 refusing full access",
                Explorer("1300") +
                    Fixture{Refuse(kHKCR, "CLSID\\" + kExplorerClsid + "\\LocalServer32")},
                1300, 1, std::nullopt, {}),
        Explore("class key refusing full access: its LocalServer32 opens",
                Explorer("1300") + Fixture{Refuse(kHKCR, "CLSID\\" + kExplorerClsid)}, 1300, 0,
                kExplorerPath, LibrarySettings()),
        Explore("server path filling the buffer without terminator", UnterminatedServer(), 1300, 1,
                std::nullopt, {}, static_cast<std::int32_t>(kShortPath.size())),
        Explore("server path without terminator, one byte to spare", UnterminatedServer(), 1300, 0,
                kShortPath, LibrarySettings(kShortPath),
                static_cast<std::int32_t>(kShortPath.size() + 1)),
        Explore("server path and terminator filling the buffer", Explorer("1300"), 1300, 0,
                kExplorerPath, LibrarySettings(),
                static_cast<std::int32_t>(kExplorerPath.size() + 1)),
        Explore("server path one byte too long", Explorer("1300"), 1300, 1, std::nullopt, {},
                static_cast<std::int32_t>(kExplorerPath.size())),
        Explore("no room at all", Explorer("1300"), 1300, 1, std::nullopt, {}, 0),

        // Settings.
        Explore("\"the internet\" is not the Internet entry",
                Build("1300") + ExplorerServer() + InternetEntry(kEntry, "the internet") +
                    HomePage() + Fixture{Key(kHKCU, "Software\\Microsoft")},
                1300, 0, kExplorerPath, HomePageDeleted() + WizardCompleted()),
        Explore("the first of two Internet entries wins",
                Explorer("1300") + InternetEntry(kOtherEntry, "The Internet"), 1300, 0,
                kExplorerPath, LibrarySettings()),
        Explore("an Internet entry after another entry",
                Build("1300") + ExplorerServer() + InternetEntry(kEntry, "My Computer") +
                    InternetEntry(kOtherEntry, "The Internet") + HomePage() +
                    Fixture{Key(kHKCU, "Software\\Microsoft")},
                1300, 0, kExplorerPath,
                ShellCommandChanges(kOtherEntry, kExplorerPath) + HomePageDeleted() +
                    WizardCompleted()),
        Explore(
            "existing Shell\\Open\\Command is overwritten",
            Explorer("1300") +
                Fixture{Text(kHKCR, "CLSID\\" + kEntry + "\\Shell\\Open\\Command", "", "old.exe")},
            1300, 0, kExplorerPath,
            std::vector<std::string>{SetValue("HKCR\\CLSID\\" + kEntry + "\\Shell\\Open\\Command",
                                              "", reg::kTypeSz, Terminated(kExplorerPath))} +
                HomePageDeleted() + WizardCompleted()),
        Explore("Internet entry refusing full access is passed over",
                Explorer("1300") + Fixture{Refuse(kHKLM, kNameSpaceKey + "\\" + kEntry)}, 1300, 0,
                kExplorerPath, HomePageDeleted() + WizardCompleted()),
        Explore("entry's class key refusing full access: no shell command",
                Explorer("1300") + Fixture{Refuse(kHKCR, "CLSID\\" + kEntry)}, 1300, 0,
                kExplorerPath, HomePageDeleted() + WizardCompleted()),
        Explore("entry without class key: no shell command",
                Build("1300") + ExplorerServer() +
                    Fixture{Text(kHKLM, kNameSpaceKey + "\\" + kEntry, "", "The Internet")} +
                    HomePage() + Fixture{Key(kHKCU, "Software\\Microsoft")},
                1300, 0, kExplorerPath, HomePageDeleted() + WizardCompleted()),
        Explore("First Home Page absent",
                Build("1300") + ExplorerServer() + InternetEntry(kEntry, "The Internet") +
                    Fixture{Key(kHKU, kMainKey), Key(kHKCU, "Software\\Microsoft")},
                1300, 0, kExplorerPath,
                ShellCommandChanges(kEntry, kExplorerPath) + WizardCompleted()),
        Explore("Main key refusing full access keeps First Home Page",
                Explorer("1300") + Fixture{Refuse(kHKU, kMainKey)}, 1300, 0, kExplorerPath,
                ShellCommandChanges(kEntry, kExplorerPath) + WizardCompleted()),
        Explore("connection wizard key that cannot be created",
                Explorer("1300") + Fixture{Refuse(kHKCU, kWizardKey)}, 1300, 0, kExplorerPath,
                ShellCommandChanges(kEntry, kExplorerPath) + HomePageDeleted()),
        Explore("connection wizard path created whole",
                Build("1300") + ExplorerServer() + InternetEntry(kEntry, "The Internet") +
                    HomePage(),
                1300, 0, kExplorerPath,
                ShellCommandChanges(kEntry, kExplorerPath) + HomePageDeleted() +
                    std::vector<std::string>{CreatedKey("HKCU\\Software"),
                                             CreatedKey("HKCU\\Software\\Microsoft")} +
                    WizardCompleted()),
        Explore("Completed already 0 is set to 1",
                Explorer("1300") +
                    Fixture{Bytes(kHKCU, kWizardKey, "Completed", reg::kTypeDword, DwordBytes(0))},
                1300, 0, kExplorerPath,
                ShellCommandChanges(kEntry, kExplorerPath) + HomePageDeleted() +
                    std::vector<std::string>{SetValue("HKCU\\" + kWizardKey, "Completed",
                                                      reg::kTypeDword, DwordBytes(1))}),

        // Navigator.
        Navigate("CurrentVersion 4.08 [en] meets 4.08", Navigator("4.08 [en]"), 4.08, 0,
                 kNavigatorPath),
        Navigate("subkeys 4.5 (en), Main, 4.08 (en): version 4.5",
                 NavigatorServer() + Fixture{Key(kHKLM, kNavigatorKey + "\\4.5 (en)"),
                                             Key(kHKLM, kNavigatorKey + "\\Main"),
                                             Key(kHKLM, kNavigatorKey + "\\4.08 (en)")},
                 4.5, 0, kNavigatorPath),
        Navigate("subkeys 4.5 (en), Main, 4.08 (en): not 4.51",
                 NavigatorServer() + Fixture{Key(kHKLM, kNavigatorKey + "\\4.5 (en)"),
                                             Key(kHKLM, kNavigatorKey + "\\Main"),
                                             Key(kHKLM, kNavigatorKey + "\\4.08 (en)")},
                 4.51, 1),
        Navigate("empty Navigator key keeps Gold unread",
                 NavigatorServer() + Fixture{Key(kHKLM, kNavigatorKey),
                                             Text(kHKLM, kGoldKey, "CurrentVersion", "4.08")},
                 3.01, 1),
        Navigate("empty Navigator key is version 0",
                 NavigatorServer() + Fixture{Key(kHKLM, kNavigatorKey)}, 0, 0, kNavigatorPath),
        Navigate("only the Gold key",
                 NavigatorServer() + Fixture{Text(kHKLM, kGoldKey, "CurrentVersion", "4.08")}, 4.08,
                 0, kNavigatorPath),
        Navigate("Navigator key refusing full access: Gold is read",
                 Navigator("4.08") + Fixture{Refuse(kHKLM, kNavigatorKey),
                                             Text(kHKLM, kGoldKey, "CurrentVersion", "3.0")},
                 3.0, 0, kNavigatorPath),
        Navigate("Navigator key refusing full access: its version is not read",
                 Navigator("4.08") + Fixture{Refuse(kHKLM, kNavigatorKey),
                                             Text(kHKLM, kGoldKey, "CurrentVersion", "3.0")},
                 4.01, 1),
        Navigate("Netscape.Registry missing",
                 Fixture{Text(kHKLM, kNavigatorKey, "CurrentVersion", "4.08")}, 3.01, 1),
        Navigate("Navigator class without LocalServer32",
                 Fixture{Text(kHKLM, kNavigatorKey, "CurrentVersion", "4.08"),
                         Text(kHKCR, kNavigatorProgId + "\\CLSID", "", kNavigatorClsid),
                         Key(kHKCR, "CLSID\\" + kNavigatorClsid)},
                 3.01, 1),
        Navigate("Navigator through suffix .2",
                 Fixture{Text(kHKLM, kNavigatorKey, "CurrentVersion", "4.08"),
                         Text(kHKCR, kNavigatorProgId + ".2\\CLSID", "", kNavigatorClsid),
                         Text(kHKCR, "CLSID\\" + kNavigatorClsid + "\\LocalServer32", "",
                              kNavigatorPath)},
                 3.01, 0, kNavigatorPath),
        Navigate("version that is not a number", Navigator("nan"), 0, 1),
        Navigate("subkey name of 255 characters counts as 0",
                 NavigatorServer() +
                     Fixture{Key(kHKLM, kNavigatorKey + "\\5" + std::string(254, '0')),
                             Key(kHKLM, kNavigatorKey + "\\4.08 (en)")},
                 4.5, 1),
        Navigate("subkey name of 254 characters is read",
                 NavigatorServer() +
                     Fixture{Key(kHKLM, kNavigatorKey + "\\5" + std::string(253, '0')),
                             Key(kHKLM, kNavigatorKey + "\\4.08 (en)")},
                 4.5, 0, kNavigatorPath),
        Navigate("CurrentVersion of 255 characters without terminator",
                 NavigatorServer() + Fixture{Bytes(kHKLM, kNavigatorKey, "CurrentVersion",
                                                   reg::kTypeSz, "4.08" + std::string(251, ' '))},
                 4.08, 0, kNavigatorPath),
    };

    Case discarded = Detect("DetectWebBrowsers applies the settings", Explorer("1300"), 1, 0,
                            std::nullopt, LibrarySettings());
    discarded.call = Call::DetectWebBrowsers;
    cases.push_back(discarded);
    Case nothing =
        Detect("DetectWebBrowsers with flags 0", Explorer("1300"), 0, 2, std::nullopt, {});
    nothing.call = Call::DetectWebBrowsers;
    cases.push_back(nothing);
    Case navigatorOnly =
        Detect("DetectWebBrowsers finds Navigator", Navigator("4.08"), 8, 0, std::nullopt, {});
    navigatorOnly.call = Call::DetectWebBrowsers;
    cases.push_back(navigatorOnly);
    return cases;
}

std::vector<Case> CheckCases()
{
    std::vector<Case> cases = {
        Check("build 1299 fails", Explorer("1299"), false, {}),
        Check("build 1300 passes", Explorer("1300"), true, CheckSettings()),
        Check("build 1300.1 passes", Explorer("1300.1"), true, CheckSettings()),
        Check("build 5.00.2920 fails", Explorer("5.00.2920"), false, {}),
        Check("no Explorer key fails", ExplorerServer() + Surroundings(), false, {}),
        Check("Explorer key refusing full access fails",
              Explorer("43007") + Fixture{Refuse(kHKLM, kExplorerKey)}, false, {}),
        Check("Build as REG_DWORD whose bytes spell 1300 fails",
              Fixture{Bytes(kHKLM, kExplorerKey, "Build", reg::kTypeDword, "1300")} +
                  ExplorerServer() + Surroundings(),
              false, {}),
        Check("Build missing fails",
              ExplorerServer() + Surroundings() + Fixture{Key(kHKLM, kExplorerKey)}, false, {}),
        Check("identifier with suffix .1", SuffixOnly(1), true, CheckSettings()),
        Check("identifier with suffix .4", SuffixOnly(4), true, CheckSettings()),
        Check("identifier with suffix .5 fails", SuffixOnly(5), false, {}),
        Check("class identifier without LocalServer32 fails",
              Build("1300") +
                  Fixture{Text(kHKCR, kExplorerProgId + "\\CLSID", "", kExplorerClsid),
                          Key(kHKCR, "CLSID\\" + kExplorerClsid)} +
                  Surroundings(),
              false, {}),
        // The reads that the check makes through a parent key.
        Check("class identifier subkey refusing full access is read through its parent",
              Explorer("1300") + Fixture{Refuse(kHKCR, kExplorerProgId + "\\CLSID")}, true,
              CheckSettings()),
        Check("identifier key refusing full access fails",
              Explorer("1300") + Fixture{Refuse(kHKCR, kExplorerProgId)}, false, {}),
        Check("LocalServer32 refusing full access is read through its parent",
              Explorer("1300") +
                  Fixture{Refuse(kHKCR, "CLSID\\" + kExplorerClsid + "\\LocalServer32")},
              true, CheckSettings()),
        Check("class key refusing full access fails",
              Explorer("1300") + Fixture{Refuse(kHKCR, "CLSID\\" + kExplorerClsid)}, false, {}),
        Check("Internet entry refusing full access is read through NameSpace",
              Explorer("1300") + Fixture{Refuse(kHKLM, kNameSpaceKey + "\\" + kEntry)}, true,
              CheckSettings()),
        Check("class identifier of 255 characters without terminator", LongClsid(), true,
              CheckSettings()),
        // Settings.
        Check("\"the internet\": no shell command, home page still deleted",
              Build("1300") + ExplorerServer() + InternetEntry(kEntry, "the internet") + HomePage(),
              true, HomePageDeleted()),
        Check("the first of two Internet entries wins",
              Explorer("1300") + InternetEntry(kOtherEntry, "The Internet"), true, CheckSettings()),
        Check("First Home Page absent",
              Build("1300") + ExplorerServer() + InternetEntry(kEntry, "The Internet"), true,
              ShellCommandChanges(kEntry, kExplorerPath)),
        Check("the connection wizard is not touched",
              Explorer("1300") + Fixture{Refuse(kHKCU, kWizardKey)}, true, CheckSettings()),
    };
    Case exact =
        Check("server path filling the buffer without terminator fails", UnterminatedServer(),
              false, {}, static_cast<std::int32_t>(kShortPath.size()));
    cases.push_back(exact);
    Case spare =
        Check("server path without terminator, one byte to spare", UnterminatedServer(), true,
              CheckSettings(kShortPath), static_cast<std::int32_t>(kShortPath.size() + 1));
    spare.path = kShortPath;
    cases.push_back(spare);

    Case low = Check("CheckBrowser: build 1299 fails", Explorer("1299"), false, {});
    low.call = Call::CheckBrowser;
    cases.push_back(low);
    Case enough = Check("CheckBrowser: build 1300 passes", Explorer("1300"), true, CheckSettings());
    enough.call = Call::CheckBrowser;
    cases.push_back(enough);
    return cases;
}

namespace
{
std::string Escape(const std::string& bytes)
{
    std::string text;
    for (const char c : bytes)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"')
            text += std::string("\\") + c;
        else if (byte >= 0x20 && byte < 0x7F)
            text += c;
        else
        {
            char hex[5];
            std::snprintf(hex, sizeof(hex), "\\x%02x", byte);
            text += hex;
        }
    }
    return text;
}

std::string TypeName(std::uint32_t type)
{
    switch (type)
    {
    case reg::kTypeSz:
        return "REG_SZ";
    case reg::kTypeExpandSz:
        return "REG_EXPAND_SZ";
    case reg::kTypeBinary:
        return "REG_BINARY";
    case reg::kTypeDword:
        return "REG_DWORD";
    case reg::kTypeMultiSz:
        return "REG_MULTI_SZ";
    default:
        return "type " + std::to_string(type);
    }
}
} // namespace

std::string CreatedKey(const std::string& keyPath)
{
    return "created " + keyPath;
}

std::string SetValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                     const std::string& bytes)
{
    return "set " + keyPath + " \"" + Escape(name) + "\" " + TypeName(type) + " \"" +
           Escape(bytes) + "\"";
}

std::string DeletedValue(const std::string& keyPath, const std::string& name)
{
    return "deleted " + keyPath + " \"" + Escape(name) + "\"";
}

std::string RootName(RegistryKey root)
{
    if (root == reg::kClassesRoot)
        return "HKCR";
    if (root == reg::kCurrentUser)
        return "HKCU";
    if (root == reg::kLocalMachine)
        return "HKLM";
    if (root == reg::kUsers)
        return "HKU";
    return "?";
}

const char* CallName(Call call)
{
    switch (call)
    {
    case Call::DetectWebBrowsers:
        return "DetectWebBrowsers";
    case Call::DetectWebBrowsersPath:
        return "DetectWebBrowsersPath";
    case Call::FindIE:
        return "FindIE";
    case Call::FindNetscape:
        return "FindNetscape";
    case Call::CheckIE:
        return "CheckIE";
    case Call::CheckBrowser:
        return "CheckBrowser";
    }
    return "?";
}
} // namespace browser_cases
