#pragma once
#include "platform/Registry.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Native registry: a tree of keys in memory with the semantics of the Windows registry that the
// browser detection relies on (case-insensitive names, subkeys enumerated in name order folded
// to lower case as Wine was seen to do, kMoreData leaving the buffer alone, no terminator added
// when a text fills the capacity exactly, keys that refuse full access). Tests lay out a
// fixture, run the code, and read back what it changed, which calls it made, and whether every
// key it opened was closed.
class CMemoryRegistry : public IRegistry
{
public:
    struct Value
    {
        std::uint32_t type;
        std::string bytes;
    };

    // One change made through the port (fixture set-up is not recorded).
    struct Change
    {
        enum class Kind
        {
            CreatedKey,
            SetValue,
            DeletedValue
        };
        Kind kind;
        std::string keyPath; // "HKCR\CLSID\{...}", names as stored
        std::string valueName;
        Value value; // for SetValue
    };

    CMemoryRegistry();
    ~CMemoryRegistry() override;

    // Fixture set-up: paths below one of the four roots, created where missing.
    void AddKey(RegistryKey root, const std::string& path);
    void PutValue(RegistryKey root, const std::string& path, const std::string& name,
                  std::uint32_t type, const std::string& bytes);
    // The key then refuses to open with full access, as with a DACL that denies setting values
    // and creating subkeys: reading its values through its parent still works.
    void RefuseFullAccess(RegistryKey root, const std::string& path);

    const std::vector<Change>& Changes() const { return m_changes; }
    // Every port call, in order, as "Function key-path argument..." lines.
    const std::vector<std::string>& Calls() const { return m_calls; }
    std::size_t OpenKeyCount() const { return m_handles.size(); }
    std::optional<Value> Lookup(RegistryKey root, const std::string& path,
                                const std::string& name) const;

    long OpenKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key) override;
    long CreateKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key) override;
    long CloseKey(RegistryKey key) override;
    long QueryValue(RegistryKey key, const char* subKey, char* data, std::int32_t& size) override;
    long QueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                      unsigned char* data, std::uint32_t& size) override;
    long EnumKeyEx(RegistryKey key, std::uint32_t index, char* name, std::uint32_t& size) override;
    long SetValue(RegistryKey key, const char* subKey, std::uint32_t type, const char* text,
                  std::uint32_t length) override;
    long SetValueEx(RegistryKey key, const char* valueName, std::uint32_t type,
                    const unsigned char* data, std::uint32_t size) override;
    long DeleteValue(RegistryKey key, const char* valueName) override;

private:
    struct NameLess
    {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    struct Node
    {
        std::string path;
        std::map<std::string, std::unique_ptr<Node>, NameLess> subkeys;
        std::map<std::string, Value, NameLess> values;
        bool refusesFullAccess = false;
    };
    enum class Walk
    {
        Find,
        Create,        // creates missing keys and records them
        CreateSilently // fixture set-up
    };

    Node* Resolve(RegistryKey key) const;
    long WalkPath(Node* from, const char* subKey, Walk walk, Node*& found);
    Node& FixtureKey(RegistryKey root, const std::string& path);
    RegistryKey NewHandle(Node* node);
    long CopyOut(const Value& value, unsigned char* data, std::uint32_t& size) const;
    void Trace(const char* function, RegistryKey key, const std::string& argument);

    std::map<std::uintptr_t, std::unique_ptr<Node>> m_roots;
    std::map<std::uintptr_t, Node*> m_handles;
    std::uintptr_t m_nextHandle = 0x1000;
    std::vector<Change> m_changes;
    std::vector<std::string> m_calls;
};
