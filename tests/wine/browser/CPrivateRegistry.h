#pragma once
#include "tests/unit/BrowserCases.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// A registry of one test case inside the real one: four private keys below
// HKCU\Software\CorvaneBrowserTest stand in for HKCR, HKCU, HKLM and HKU while Override() is in
// force (RegOverridePredefKey, process-wide). Keys that must refuse full access get a DACL that
// denies setting values and creating subkeys; the server keeps it only for its session, which
// is this process's. The destructor restores the predefined keys and removes everything.
class CPrivateRegistry
{
public:
    explicit CPrivateRegistry(int number);
    ~CPrivateRegistry();
    CPrivateRegistry(const CPrivateRegistry&) = delete;
    CPrivateRegistry& operator=(const CPrivateRegistry&) = delete;

    // False (with a reason) when the fixture could not be laid out.
    bool LayOut(const std::vector<browser_cases::Item>& fixture, std::string& reason);

    // Makes root\path (an existing key) refuse full access until the destructor.
    bool RefuseFullAccess(RegistryKey root, const std::string& path);

    bool Override(std::string& reason);
    void Restore();

    // Keys and values of the four private roots, to compare before and after a call.
    struct Snapshot
    {
        std::set<std::string> keys;
        std::map<std::string, std::pair<DWORD, std::string>> values; // "key|name"
    };
    Snapshot Take() const;
    static std::vector<std::string> Changes(const Snapshot& before, const Snapshot& after);

private:
    HKEY Root(RegistryKey root) const;
    void Walk(HKEY key, const std::string& path, Snapshot& snapshot) const;
    static bool SetDacl(HKEY parent, const std::string& path, const char* sddl);

    std::string m_basePath;
    std::map<std::uintptr_t, HKEY> m_roots;
    std::vector<std::pair<HKEY, std::string>> m_locked;
    bool m_overridden = false;
};
