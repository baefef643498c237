#include "platform/posix/CMemoryRegistry.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
constexpr long kBadPathname = 161;

char Fold(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsText(std::uint32_t type)
{
    return type == reg::kTypeSz || type == reg::kTypeExpandSz || type == reg::kTypeMultiSz;
}

std::string Text(const char* text)
{
    return text != nullptr ? text : "";
}

// The names of a key path; a trailing backslash is allowed, as in Windows.
bool SplitPath(const std::string& path, std::vector<std::string>& names)
{
    std::size_t start = 0;
    while (start < path.size())
    {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end == start)
            return false;
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return true;
}
} // namespace

bool CMemoryRegistry::NameLess::operator()(const std::string& a, const std::string& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Fold(x) < Fold(y); });
}

CMemoryRegistry::CMemoryRegistry()
{
    const std::pair<RegistryKey, const char*> roots[] = {{reg::kClassesRoot, "HKCR"},
                                                         {reg::kCurrentUser, "HKCU"},
                                                         {reg::kLocalMachine, "HKLM"},
                                                         {reg::kUsers, "HKU"}};
    for (const auto& [key, name] : roots)
    {
        auto node = std::make_unique<Node>();
        node->path = name;
        m_roots[key.Value()] = std::move(node);
    }
}

CMemoryRegistry::~CMemoryRegistry() = default;

void CMemoryRegistry::AddKey(RegistryKey root, const std::string& path)
{
    FixtureKey(root, path);
}

void CMemoryRegistry::PutValue(RegistryKey root, const std::string& path, const std::string& name,
                               std::uint32_t type, const std::string& bytes)
{
    FixtureKey(root, path).values[name] = Value{type, bytes};
}

void CMemoryRegistry::RefuseFullAccess(RegistryKey root, const std::string& path)
{
    FixtureKey(root, path).refusesFullAccess = true;
}

std::optional<CMemoryRegistry::Value>
CMemoryRegistry::Lookup(RegistryKey root, const std::string& path, const std::string& name) const
{
    std::vector<std::string> names;
    const Node* node = Resolve(root);
    if (node == nullptr || !SplitPath(path, names))
        return std::nullopt;
    for (const std::string& subkey : names)
    {
        const auto next = node->subkeys.find(subkey);
        if (next == node->subkeys.end())
            return std::nullopt;
        node = next->second.get();
    }
    const auto value = node->values.find(name);
    if (value == node->values.end())
        return std::nullopt;
    return value->second;
}

long CMemoryRegistry::OpenKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key)
{
    Trace("RegOpenKeyExA", parent, "\"" + Text(subKey) + "\"");
    Node* node = nullptr;
    const long status = WalkPath(Resolve(parent), subKey, Walk::Find, node);
    if (status != reg::kSuccess)
        return status;
    if (node->refusesFullAccess)
        return reg::kAccessDenied;
    key = NewHandle(node);
    return reg::kSuccess;
}

long CMemoryRegistry::CreateKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key)
{
    Trace("RegCreateKeyExA", parent, "\"" + Text(subKey) + "\"");
    Node* node = nullptr;
    if (WalkPath(Resolve(parent), subKey, Walk::Find, node) == reg::kSuccess)
    {
        if (node->refusesFullAccess)
            return reg::kAccessDenied;
    }
    else
    {
        const long status = WalkPath(Resolve(parent), subKey, Walk::Create, node);
        if (status != reg::kSuccess)
            return status;
    }
    key = NewHandle(node);
    return reg::kSuccess;
}

long CMemoryRegistry::CloseKey(RegistryKey key)
{
    Trace("RegCloseKey", key, "");
    if (m_roots.count(key.Value()) != 0)
        return reg::kSuccess;
    return m_handles.erase(key.Value()) != 0 ? reg::kSuccess : reg::kInvalidHandle;
}

long CMemoryRegistry::QueryValue(RegistryKey key, const char* subKey, char* data,
                                 std::int32_t& size)
{
    Trace("RegQueryValueA", key, "\"" + Text(subKey) + "\", " + std::to_string(size));
    Node* node = nullptr;
    // The subkey is opened for reading only, so a key that refuses full access is read.
    const long status = WalkPath(Resolve(key), subKey, Walk::Find, node);
    if (status != reg::kSuccess)
        return status;
    // A key without a default value reads as an empty text with its terminator; the type of
    // a default value is not looked at.
    const auto found = node->values.find("");
    const Value value =
        found != node->values.end() ? found->second : Value{reg::kTypeSz, std::string(1, '\0')};
    std::uint32_t capacity = size > 0 ? static_cast<std::uint32_t>(size) : 0;
    const long copied = CopyOut(value, reinterpret_cast<unsigned char*>(data), capacity);
    size = static_cast<std::int32_t>(capacity);
    return copied;
}

long CMemoryRegistry::QueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                                   unsigned char* data, std::uint32_t& size)
{
    Trace("RegQueryValueExA", key, "\"" + Text(valueName) + "\", " + std::to_string(size));
    Node* node = Resolve(key);
    if (node == nullptr)
        return reg::kInvalidHandle;
    const auto found = node->values.find(Text(valueName));
    if (found == node->values.end())
        return reg::kFileNotFound;
    if (type != nullptr)
        *type = found->second.type;
    return CopyOut(found->second, data, size);
}

long CMemoryRegistry::EnumKeyEx(RegistryKey key, std::uint32_t index, char* name,
                                std::uint32_t& size)
{
    Trace("RegEnumKeyExA", key, std::to_string(index) + ", " + std::to_string(size));
    Node* node = Resolve(key);
    if (node == nullptr)
        return reg::kInvalidHandle;
    if (index >= node->subkeys.size())
        return reg::kNoMoreItems;
    const std::string& subkey = std::next(node->subkeys.begin(), index)->first;
    if (size <= subkey.size())
        return reg::kMoreData;
    std::memcpy(name, subkey.c_str(), subkey.size() + 1);
    size = static_cast<std::uint32_t>(subkey.size());
    return reg::kSuccess;
}

long CMemoryRegistry::SetValue(RegistryKey key, const char* subKey, std::uint32_t type,
                               const char* text, std::uint32_t length)
{
    // length is traced but not used: Windows stores the whole text and its terminator.
    Trace("RegSetValueA", key,
          "\"" + Text(subKey) + "\", " + std::to_string(type) + ", " + std::to_string(length));
    if (type != reg::kTypeSz || text == nullptr)
        return reg::kInvalidParameter;
    Node* node = nullptr;
    if (WalkPath(Resolve(key), subKey, Walk::Find, node) == reg::kSuccess)
    {
        if (node->refusesFullAccess)
            return reg::kAccessDenied;
    }
    else
    {
        const long status = WalkPath(Resolve(key), subKey, Walk::Create, node);
        if (status != reg::kSuccess)
            return status;
    }
    const Value value{reg::kTypeSz, std::string(text, std::strlen(text) + 1)};
    node->values[""] = value;
    m_changes.push_back({Change::Kind::SetValue, node->path, "", value});
    return reg::kSuccess;
}

long CMemoryRegistry::SetValueEx(RegistryKey key, const char* valueName, std::uint32_t type,
                                 const unsigned char* data, std::uint32_t size)
{
    Trace("RegSetValueExA", key,
          "\"" + Text(valueName) + "\", " + std::to_string(type) + ", " + std::to_string(size));
    Node* node = Resolve(key);
    if (node == nullptr)
        return reg::kInvalidHandle;
    if (data == nullptr && size != 0)
        return reg::kInvalidParameter;
    const Value value{type, std::string(reinterpret_cast<const char*>(data), size)};
    node->values[Text(valueName)] = value;
    m_changes.push_back({Change::Kind::SetValue, node->path, Text(valueName), value});
    return reg::kSuccess;
}

long CMemoryRegistry::DeleteValue(RegistryKey key, const char* valueName)
{
    Trace("RegDeleteValueA", key, "\"" + Text(valueName) + "\"");
    Node* node = Resolve(key);
    if (node == nullptr)
        return reg::kInvalidHandle;
    if (node->values.erase(Text(valueName)) == 0)
        return reg::kFileNotFound;
    m_changes.push_back({Change::Kind::DeletedValue, node->path, Text(valueName), {}});
    return reg::kSuccess;
}

CMemoryRegistry::Node* CMemoryRegistry::Resolve(RegistryKey key) const
{
    if (const auto root = m_roots.find(key.Value()); root != m_roots.end())
        return root->second.get();
    if (const auto handle = m_handles.find(key.Value()); handle != m_handles.end())
        return handle->second;
    return nullptr;
}

long CMemoryRegistry::WalkPath(Node* from, const char* subKey, Walk walk, Node*& found)
{
    if (from == nullptr)
        return reg::kInvalidHandle;
    const std::string path = Text(subKey);
    if (!path.empty() && path.front() == '\\')
        return kBadPathname;
    std::vector<std::string> names;
    if (!SplitPath(path, names))
        return walk == Walk::Find ? reg::kFileNotFound : kBadPathname;
    Node* node = from;
    for (const std::string& name : names)
    {
        auto next = node->subkeys.find(name);
        if (next == node->subkeys.end())
        {
            if (walk == Walk::Find)
                return reg::kFileNotFound;
            auto created = std::make_unique<Node>();
            created->path = node->path + "\\" + name;
            if (walk == Walk::Create)
                m_changes.push_back({Change::Kind::CreatedKey, created->path, "", {}});
            next = node->subkeys.emplace(name, std::move(created)).first;
        }
        node = next->second.get();
    }
    found = node;
    return reg::kSuccess;
}

CMemoryRegistry::Node& CMemoryRegistry::FixtureKey(RegistryKey root, const std::string& path)
{
    Node* node = nullptr;
    WalkPath(Resolve(root), path.c_str(), Walk::CreateSilently, node);
    return *node;
}

RegistryKey CMemoryRegistry::NewHandle(Node* node)
{
    const std::uintptr_t handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles[handle] = node;
    return RegistryKey(handle);
}

long CMemoryRegistry::CopyOut(const Value& value, unsigned char* data, std::uint32_t& size) const
{
    const auto length = static_cast<std::uint32_t>(value.bytes.size());
    if (data == nullptr)
    {
        size = length;
        return reg::kSuccess;
    }
    if (size < length)
    {
        size = length;
        return reg::kMoreData;
    }
    std::memcpy(data, value.bytes.data(), length);
    // Windows terminates a text stored without terminator only where the capacity has room.
    const bool terminated = length > 0 && value.bytes.back() == '\0';
    if (IsText(value.type) && !terminated && length < size)
        data[length] = 0;
    size = length;
    return reg::kSuccess;
}

void CMemoryRegistry::Trace(const char* function, RegistryKey key, const std::string& argument)
{
    const Node* node = Resolve(key);
    std::string call = std::string(function) + "(" + (node != nullptr ? node->path : "?");
    if (!argument.empty())
        call += ", " + argument;
    m_calls.push_back(call + ")");
}
