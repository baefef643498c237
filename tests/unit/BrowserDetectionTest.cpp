#include "browser/CBrowserCheck.h"
#include "browser/CBrowserDetector.h"
#include "platform/posix/CMemoryRegistry.h"
#include "tests/unit/BrowserCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ostream>
#include <vector>

namespace browser_cases
{
void PrintTo(const Case& c, std::ostream* out)
{
    *out << CallName(c.call) << ": " << c.name;
}
} // namespace browser_cases

namespace
{
using browser_cases::Call;
using browser_cases::Case;
using browser_cases::Outcome;
using browser_cases::Item;

void LayOut(CMemoryRegistry& registry, const std::vector<Item>& fixture)
{
    for (const Item& item : fixture)
    {
        switch (item.what)
        {
        case Item::What::Key:
            registry.AddKey(item.root, item.key);
            break;
        case Item::What::Value:
            registry.PutValue(item.root, item.key, item.valueName, item.type, item.bytes);
            break;
        case Item::What::RefuseFullAccess:
            registry.RefuseFullAccess(item.root, item.key);
            break;
        }
    }
}

std::vector<std::string> ChangeLines(const CMemoryRegistry& registry)
{
    std::vector<std::string> lines;
    for (const auto& change : registry.Changes())
    {
        switch (change.kind)
        {
        case CMemoryRegistry::Change::Kind::CreatedKey:
            lines.push_back(browser_cases::CreatedKey(change.keyPath));
            break;
        case CMemoryRegistry::Change::Kind::SetValue:
            lines.push_back(browser_cases::SetValue(change.keyPath, change.valueName,
                                                    change.value.type, change.value.bytes));
            break;
        case CMemoryRegistry::Change::Kind::DeletedValue:
            lines.push_back(browser_cases::DeletedValue(change.keyPath, change.valueName));
            break;
        }
    }
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

class BrowserTable : public testing::TestWithParam<Case>
{
};

TEST_P(BrowserTable, GivesResultPathAndChanges)
{
    const Case& c = GetParam();
    CMemoryRegistry registry;
    LayOut(registry, c.fixture);

    CBrowserDetector detector(registry);
    const Outcome outcome = RunCase(c, detector, registry);

    EXPECT_EQ(outcome.result, c.expected);
    if (c.path)
    {
        EXPECT_EQ(outcome.path, *c.path);
    }
    EXPECT_EQ(Sorted(ChangeLines(registry)), Sorted(c.changes));
    EXPECT_EQ(registry.OpenKeyCount(), 0u) << "a key was left open";
}

std::string TestName(const testing::TestParamInfo<Case>& info)
{
    std::string name = std::to_string(info.index) + "_";
    for (const char c : info.param.name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Library, BrowserTable, testing::ValuesIn(browser_cases::LibraryCases()),
                         TestName);
INSTANTIATE_TEST_SUITE_P(Check, BrowserTable, testing::ValuesIn(browser_cases::CheckCases()),
                         TestName);

// A computer with Internet Explorer 1300, its Internet entry, home page and wizard parent.
void LayOutExplorer(CMemoryRegistry& registry)
{
    for (const Case& c : browser_cases::LibraryCases())
        if (c.name == "build 1300")
        {
            LayOut(registry, c.fixture);
            return;
        }
    FAIL() << "no case \"build 1300\"";
}

const std::string kExplorerKey = "HKLM\\SOFTWARE\\Microsoft\\Internet Explorer";
const std::string kNameSpace =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Desktop\\NameSpace";
const std::string kExplorerClsid = "{C0A7E001-1E00-4B00-9E00-000000000001}";
const std::string kEntry = "{C0A7E002-1E00-4B00-9E00-000000000002}";
const std::string kMain = "HKU\\.Default\\Software\\Microsoft\\Internet Explorer\\Main";
const std::string kWizard = "HKCU\\Software\\Microsoft\\Internet Connection Wizard";

// The library opens every key it reads with full access, the entries by their full path.
TEST(BrowserAccesses, LibraryOpensEveryKeyItReads)
{
    CMemoryRegistry registry;
    LayOutExplorer(registry);
    char path[512];

    ASSERT_EQ(CBrowserDetector(registry).FindIE(path, sizeof(path), 1300), 0);

    const std::vector<std::string> expected = {
        "RegOpenKeyExA(HKLM, \"SOFTWARE\\Microsoft\\Internet Explorer\")",
        "RegQueryValueExA(" + kExplorerKey + ", \"Build\", 255)",
        "RegCloseKey(" + kExplorerKey + ")",
        "RegOpenKeyExA(HKCR, \"InternetExplorer.Application\\CLSID\")",
        "RegQueryValueExA(HKCR\\InternetExplorer.Application\\CLSID, \"\", 255)",
        "RegCloseKey(HKCR\\InternetExplorer.Application\\CLSID)",
        "RegOpenKeyExA(HKCR, \"CLSID\")",
        "RegOpenKeyExA(HKCR\\CLSID, \"" + kExplorerClsid + "\\LocalServer32\")",
        "RegQueryValueExA(HKCR\\CLSID\\" + kExplorerClsid + "\\LocalServer32, \"\", 512)",
        "RegCloseKey(HKCR\\CLSID\\" + kExplorerClsid + "\\LocalServer32)",
        "RegCloseKey(HKCR\\CLSID)",
        "RegOpenKeyExA(HKLM, \"" + kNameSpace.substr(5) + "\")",
        "RegEnumKeyExA(" + kNameSpace + ", 0, 512)",
        "RegOpenKeyExA(HKLM, \"" + kNameSpace.substr(5) + "\\" + kEntry + "\")",
        "RegQueryValueExA(" + kNameSpace + "\\" + kEntry + ", \"\", 255)",
        "RegCloseKey(" + kNameSpace + "\\" + kEntry + ")",
        "RegCloseKey(" + kNameSpace + ")",
        "RegOpenKeyExA(HKCR, \"CLSID\")",
        "RegOpenKeyExA(HKCR\\CLSID, \"" + kEntry + "\")",
        "RegSetValueA(HKCR\\CLSID\\" + kEntry + ", \"Shell\\Open\\Command\", 1, 49)",
        "RegCloseKey(HKCR\\CLSID\\" + kEntry + ")",
        "RegCloseKey(HKCR\\CLSID)",
        "RegOpenKeyExA(HKU, \".Default\\Software\\Microsoft\\Internet Explorer\\Main\")",
        "RegDeleteValueA(" + kMain + ", \"First Home Page\")",
        "RegCloseKey(" + kMain + ")",
        "RegCreateKeyExA(HKCU, \"Software\\Microsoft\\Internet Connection Wizard\")",
        "RegSetValueExA(" + kWizard + ", \"Completed\", 4, 4)",
        "RegCloseKey(" + kWizard + ")",
    };
    EXPECT_EQ(registry.Calls(), expected);
}

// The check opens only the parents of the class identifier, the server path and the entries,
// reads through them, and leaves the current user's hive alone.
TEST(BrowserAccesses, CheckReadsThroughParentKeys)
{
    CMemoryRegistry registry;
    LayOutExplorer(registry);

    ASSERT_TRUE(CBrowserCheck(registry).CheckBrowser());

    const std::vector<std::string> expected = {
        "RegOpenKeyExA(HKLM, \"SOFTWARE\\Microsoft\\Internet Explorer\")",
        "RegQueryValueExA(" + kExplorerKey + ", \"Build\", 255)",
        "RegCloseKey(" + kExplorerKey + ")",
        "RegOpenKeyExA(HKCR, \"InternetExplorer.Application\")",
        "RegQueryValueA(HKCR\\InternetExplorer.Application, \"CLSID\", 255)",
        "RegCloseKey(HKCR\\InternetExplorer.Application)",
        "RegOpenKeyExA(HKCR, \"CLSID\")",
        "RegOpenKeyExA(HKCR\\CLSID, \"" + kExplorerClsid + "\")",
        "RegQueryValueA(HKCR\\CLSID\\" + kExplorerClsid + ", \"LocalServer32\", 512)",
        "RegCloseKey(HKCR\\CLSID\\" + kExplorerClsid + ")",
        "RegCloseKey(HKCR\\CLSID)",
        "RegOpenKeyExA(HKLM, \"" + kNameSpace.substr(5) + "\")",
        "RegEnumKeyExA(" + kNameSpace + ", 0, 512)",
        "RegQueryValueA(" + kNameSpace + ", \"" + kEntry + "\", 255)",
        "RegCloseKey(" + kNameSpace + ")",
        "RegOpenKeyExA(HKCR, \"CLSID\")",
        "RegOpenKeyExA(HKCR\\CLSID, \"" + kEntry + "\")",
        "RegSetValueA(HKCR\\CLSID\\" + kEntry + ", \"Shell\\Open\\Command\", 1, 49)",
        "RegCloseKey(HKCR\\CLSID\\" + kEntry + ")",
        "RegCloseKey(HKCR\\CLSID)",
        "RegOpenKeyExA(HKU, \".Default\\Software\\Microsoft\\Internet Explorer\\Main\")",
        "RegDeleteValueA(" + kMain + ", \"First Home Page\")",
        "RegCloseKey(" + kMain + ")",
    };
    EXPECT_EQ(registry.Calls(), expected);
}

bool Mentions(const std::vector<std::string>& calls, const std::string& text)
{
    return std::any_of(calls.begin(), calls.end(),
                       [&](const std::string& call)
                       { return call.find(text) != std::string::npos; });
}

TEST(BrowserAccesses, NothingRequestedTouchesNoKey)
{
    CMemoryRegistry registry;
    LayOutExplorer(registry);
    char path[512];

    EXPECT_EQ(CBrowserDetector(registry).DetectWebBrowsersPath(0x7FFFFFF0, path, 512, 0), 2);
    EXPECT_TRUE(registry.Calls().empty());
}

TEST(BrowserAccesses, ExplorerFoundLeavesNavigatorUnread)
{
    CMemoryRegistry registry;
    LayOutExplorer(registry);
    registry.PutValue(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer", "Build",
                      reg::kTypeSz, std::string("43007", 6));
    registry.PutValue(reg::kLocalMachine, "SOFTWARE\\Netscape\\Netscape Navigator",
                      "CurrentVersion", reg::kTypeSz, std::string("4.08", 5));
    char path[512];

    EXPECT_EQ(CBrowserDetector(registry).DetectWebBrowsersPath(8, path, 512, 0), 0);
    EXPECT_FALSE(Mentions(registry.Calls(), "Netscape"));
}

TEST(BrowserAccesses, EmptyNavigatorKeyLeavesGoldUnread)
{
    CMemoryRegistry registry;
    registry.AddKey(reg::kLocalMachine, "SOFTWARE\\Netscape\\Netscape Navigator");
    registry.PutValue(reg::kLocalMachine, "SOFTWARE\\Netscape\\Netscape Navigator Gold",
                      "CurrentVersion", reg::kTypeSz, std::string("4.08", 5));
    char path[512];

    EXPECT_EQ(CBrowserDetector(registry).FindNetscape(path, 512, 0.5), 1);
    EXPECT_FALSE(Mentions(registry.Calls(), "Gold"));
}

// The library reads a class identifier that fills its 255 bytes without terminator and opens
// its server below "CLSID" by a path of 269 characters. Natively only: Wine's ANSI registry
// functions refuse key paths longer than 260 characters.
TEST(BrowserAccesses, LibraryTakesAClassIdentifierThatFillsItsBuffer)
{
    CMemoryRegistry registry;
    LayOutExplorer(registry);
    const std::string clsid = "{" + std::string(253, 'C') + "}";
    registry.PutValue(reg::kClassesRoot, "InternetExplorer.Application\\CLSID", "", reg::kTypeSz,
                      clsid);
    registry.PutValue(reg::kClassesRoot, "CLSID\\" + clsid + "\\LocalServer32", "", reg::kTypeSz,
                      std::string("C:\\long.exe", 12));
    char path[512];

    EXPECT_EQ(CBrowserDetector(registry).FindIE(path, sizeof(path), 1300), 0);
    EXPECT_STREQ(path, "C:\\long.exe");
}

// A registry whose enumeration keeps failing (a key deleted under the search, say) must not
// keep the search going for ever.
class CFailingEnumeration : public CMemoryRegistry
{
public:
    long EnumKeyEx(RegistryKey, std::uint32_t index, char*, std::uint32_t&) override
    {
        ++calls;
        return index < 3 ? reg::kMoreData : 1018; // ERROR_KEY_DELETED
    }
    int calls = 0;
};

TEST(BrowserAccesses, NamespaceSearchEndsOnAFailingEnumeration)
{
    CFailingEnumeration registry;
    LayOutExplorer(registry);

    EXPECT_TRUE(CBrowserCheck(registry).CheckBrowser());
    EXPECT_EQ(registry.calls, 4);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}
} // namespace
