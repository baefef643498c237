#pragma once
#include <cstdint>

// A registry key as the registry hands it out: an opaque handle value. The four predefined roots
// are handles too, with the values Windows gives them. Open keys are owned by
// CRegistryKeyHolder, which closes them.
class RegistryKey
{
public:
    constexpr RegistryKey() = default;
    constexpr explicit RegistryKey(std::uintptr_t value) : m_value(value) {}

    constexpr std::uintptr_t Value() const { return m_value; }
    constexpr bool IsNull() const { return m_value == 0; }

    friend constexpr bool operator==(RegistryKey a, RegistryKey b)
    {
        return a.m_value == b.m_value;
    }
    friend constexpr bool operator!=(RegistryKey a, RegistryKey b) { return !(a == b); }

private:
    std::uintptr_t m_value = 0;
};

namespace reg
{
constexpr RegistryKey kClassesRoot{0x80000000u};
constexpr RegistryKey kCurrentUser{0x80000001u};
constexpr RegistryKey kLocalMachine{0x80000002u};
constexpr RegistryKey kUsers{0x80000003u};

// Status codes: the Windows error values.
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kInvalidParameter = 87;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;

// Value types: the Windows REG_* values.
constexpr std::uint32_t kTypeNone = 0;
constexpr std::uint32_t kTypeSz = 1;
constexpr std::uint32_t kTypeExpandSz = 2;
constexpr std::uint32_t kTypeBinary = 3;
constexpr std::uint32_t kTypeDword = 4;
constexpr std::uint32_t kTypeMultiSz = 7;
} // namespace reg

// The registry, with exactly the operations the browser detection makes and their Windows
// meanings; every operation returns a status from reg::. Windows: advapi32. Natively an
// in-memory registry with the same semantics.
class IRegistry
{
public:
    virtual ~IRegistry() = default;

    // RegOpenKeyExA with KEY_ALL_ACCESS: subKey (a path with backslashes) below parent, a root
    // or an open key; an empty subKey opens parent itself again. A key that refuses full access
    // does not open (kAccessDenied).
    virtual long OpenKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key) = 0;

    // RegCreateKeyExA with no class, non-volatile, KEY_ALL_ACCESS and default security: opens
    // subKey, creating every missing key of its path.
    virtual long CreateKeyEx(RegistryKey parent, const char* subKey, RegistryKey& key) = 0;

    virtual long CloseKey(RegistryKey key) = 0;

    // RegQueryValueA: the default value of the subkey subKey of key (of key itself when subKey
    // is empty), whatever its type. size is the capacity offered in bytes; on success it is the
    // number of bytes stored, terminator included. A subkey without a default value gives an
    // empty text. Too small a capacity gives kMoreData and leaves data alone.
    virtual long QueryValue(RegistryKey key, const char* subKey, char* data,
                            std::int32_t& size) = 0;

    // RegQueryValueExA: the value valueName ("" for the default value) of key. size is the
    // capacity offered in bytes; on success it is the number of bytes stored. Text stored
    // without terminator gets one only where the capacity leaves room for it. type may be null.
    virtual long QueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                              unsigned char* data, std::uint32_t& size) = 0;

    // RegEnumKeyExA without class and time: the name of the subkey at index. size is the
    // capacity offered in characters; on success it is the length of the name. A name that does
    // not fit with its terminator gives kMoreData and leaves name and size alone; past the last
    // subkey kNoMoreItems.
    virtual long EnumKeyEx(RegistryKey key, std::uint32_t index, char* name,
                           std::uint32_t& size) = 0;

    // RegSetValueA: sets the default value of the subkey subKey of key (created where missing)
    // to text as REG_SZ with its terminator; length is not used, as in Windows.
    virtual long SetValue(RegistryKey key, const char* subKey, std::uint32_t type, const char* text,
                          std::uint32_t length) = 0;

    // RegSetValueExA: stores size bytes of data as value valueName of type type.
    virtual long SetValueEx(RegistryKey key, const char* valueName, std::uint32_t type,
                            const unsigned char* data, std::uint32_t size) = 0;

    // RegDeleteValueA.
    virtual long DeleteValue(RegistryKey key, const char* valueName) = 0;
};
