#include "tests/unit/BrowserRegistryFacts.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace registry_facts
{
namespace
{
// Status, size and the first bytes of a buffer that started as 'Q's, in a readable form.
std::string Seen(long status, std::uint32_t size, const char* buffer, std::size_t shown)
{
    std::string text = "status " + std::to_string(status) + " size " + std::to_string(size) + " [";
    for (std::size_t i = 0; i < shown; ++i)
    {
        const auto byte = static_cast<unsigned char>(buffer[i]);
        if (byte >= 0x20 && byte < 0x7F)
            text += static_cast<char>(byte);
        else
        {
            char hex[5];
            std::snprintf(hex, sizeof(hex), "\\x%02x", byte);
            text += hex;
        }
    }
    return text + "]";
}

struct Buffer
{
    Buffer() { std::memset(bytes, 'Q', sizeof(bytes)); }
    unsigned char* Data() { return reinterpret_cast<unsigned char*>(bytes); }
    char bytes[16];
};

class CFacts
{
public:
    CFacts(IRegistry& registry, const std::string& base) : m_registry(registry), m_base(base) {}

    std::string Path(const std::string& relative) const { return m_base + "\\" + relative; }

    RegistryKey Create(const std::string& relative)
    {
        RegistryKey key;
        m_registry.CreateKeyEx(reg::kCurrentUser, Path(relative).c_str(), key);
        return key;
    }

    void Close(RegistryKey key) { m_registry.CloseKey(key); }

    std::string QueryEx(RegistryKey key, const char* name, std::uint32_t size)
    {
        Buffer buffer;
        const long status = m_registry.QueryValueEx(key, name, nullptr, buffer.Data(), size);
        return Seen(status, size, buffer.bytes, 6);
    }

    std::string Query(RegistryKey key, const char* subKey, std::int32_t size)
    {
        Buffer buffer;
        const long status = m_registry.QueryValue(key, subKey, buffer.bytes, size);
        return Seen(status, static_cast<std::uint32_t>(size), buffer.bytes, 7);
    }

    std::string Enum(RegistryKey key, std::uint32_t index, std::uint32_t size)
    {
        Buffer buffer;
        const long status = m_registry.EnumKeyEx(key, index, buffer.bytes, size);
        return Seen(status, size, buffer.bytes, 3);
    }

    std::string Open(RegistryKey parent, const char* subKey)
    {
        RegistryKey key;
        const long status = m_registry.OpenKeyEx(parent, subKey, key);
        if (status == reg::kSuccess)
            m_registry.CloseKey(key);
        return "status " + std::to_string(status);
    }

    IRegistry& m_registry;
    std::string m_base;
};
} // namespace

std::vector<Fact> Check(IRegistry& registry, const std::string& base,
                        const std::function<bool(const std::string& path)>& refuseFullAccess)
{
    CFacts facts(registry, base);
    std::vector<Fact> found;
    auto fact = [&](const char* name, const std::string& observed, const char* expected) {
        found.push_back({name, observed, expected});
    };

    RegistryKey top;
    registry.CreateKeyEx(reg::kCurrentUser, base.c_str(), top);
    const RegistryKey a = facts.Create("a");
    const RegistryKey b = facts.Create("a\\b");
    const unsigned char abcd[] = {'a', 'b', 'c', 'd', 'X'};
    registry.SetValueEx(b, "text", reg::kTypeSz, abcd, 4);
    registry.SetValueEx(b, "binary", reg::kTypeBinary, abcd, 3);
    const std::uint32_t one = 1;
    unsigned char dword[4];
    std::memcpy(dword, &one, sizeof(dword));

    fact("text without terminator, room to spare", facts.QueryEx(b, "text", 10),
         "status 0 size 4 [abcd\\x00Q]");
    fact("text without terminator, filling the capacity", facts.QueryEx(b, "text", 4),
         "status 0 size 4 [abcdQQ]");
    fact("text too long for the capacity", facts.QueryEx(b, "text", 3),
         "status 234 size 4 [QQQQQQ]");
    fact("binary gets no terminator", facts.QueryEx(b, "binary", 10), "status 0 size 3 [abcQQQ]");
    fact("missing value", facts.QueryEx(b, "none", 10), "status 2 size 10 [QQQQQQ]");
    fact("missing default value", facts.QueryEx(b, "", 10), "status 2 size 10 [QQQQQQ]");
    fact("subkey default absent reads as empty text", facts.Query(a, "b", 10),
         "status 0 size 1 [\\x00QQQQQQ]");
    fact("missing subkey", facts.Query(a, "none", 10), "status 2 size 10 [QQQQQQQ]");

    const long set = registry.SetValue(a, "c\\d", reg::kTypeSz, "hello", 2);
    fact("RegSetValueA creates the subkey and stores the whole text",
         "status " + std::to_string(set) + ", " + facts.Query(a, "c\\d", 10),
         "status 0, status 0 size 6 [hello\\x00Q]");
    fact("RegSetValueA takes only REG_SZ",
         "status " + std::to_string(registry.SetValue(a, "e", reg::kTypeDword, "x", 1)),
         "status 87");
    fact("subkey default too long", facts.Query(a, "c\\d", 5), "status 234 size 6 [QQQQQQQ]");
    registry.SetValueEx(b, "", reg::kTypeDword, dword, 4);
    fact("subkey default of another type comes as its bytes", facts.Query(a, "b", 10),
         "status 0 size 4 [\\x01\\x00\\x00\\x00QQQ]");

    const RegistryKey names = facts.Create("names");
    for (const char* name : {"Main", "4.5 (en)", "4.08 (en)"})
        facts.Close(facts.Create(std::string("names\\") + name));
    fact("subkeys in name order, first", facts.Enum(names, 0, 16), "status 0 size 9 [4.0]");
    fact("subkeys in name order, last", facts.Enum(names, 2, 16), "status 0 size 4 [Mai]");
    fact("name that does not fit with its terminator", facts.Enum(names, 2, 4),
         "status 234 size 4 [QQQ]");
    fact("name that just fits", facts.Enum(names, 2, 5), "status 0 size 4 [Mai]");
    fact("past the last subkey", facts.Enum(names, 3, 16), "status 259 size 16 [QQQ]");

    const RegistryKey locked = facts.Create("locked");
    registry.SetValueEx(locked, "", reg::kTypeSz, abcd, 4);
    facts.Close(facts.Create("locked\\inner"));
    facts.Close(locked);
    const bool refused = refuseFullAccess(facts.Path("locked"));
    fact("the fixture could lock a key", refused ? "locked" : "not locked", "locked");
    fact("a key refusing full access does not open", facts.Open(top, "locked"), "status 5");
    RegistryKey ignored;
    fact("nor does it open through RegCreateKeyExA",
         "status " + std::to_string(registry.CreateKeyEx(top, "locked", ignored)), "status 5");
    fact("its default value reads through its parent", facts.Query(top, "locked", 10),
         "status 0 size 4 [abcd\\x00QQ]");
    fact("its default value cannot be set through its parent",
         "status " + std::to_string(registry.SetValue(top, "locked", reg::kTypeSz, "new", 3)),
         "status 5");
    fact("a key below it opens", facts.Open(top, "locked\\inner"), "status 0");

    fact("deleting a missing value", "status " + std::to_string(registry.DeleteValue(b, "none")),
         "status 2");
    const long deleted = registry.DeleteValue(b, "text");
    fact("deleting a value",
         "status " + std::to_string(deleted) + ", " + facts.QueryEx(b, "text", 10),
         "status 0, status 2 size 10 [QQQQQQ]");
    fact("a path may not start with a backslash", facts.Open(a, "\\b"), "status 161");

    facts.Close(names);
    facts.Close(b);
    facts.Close(a);
    facts.Close(top);
    fact("closing a closed key", "status " + std::to_string(registry.CloseKey(a)), "status 6");
    return found;
}
} // namespace registry_facts
