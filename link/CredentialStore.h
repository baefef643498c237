#pragma once
#include <string>

// Holds the administrator name and password for a whole run, each ending in a line feed as
// sent on the command session; empty until the operator first types them.
class ICredentialStore
{
public:
    virtual ~ICredentialStore() = default;
    virtual void SetUserName(std::string name) = 0;
    virtual void SetPassword(std::string password) = 0;
    virtual void CopyUserName(std::string& name) const = 0;
    virtual void CopyPassword(std::string& password) const = 0;
};
