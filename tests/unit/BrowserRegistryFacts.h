#pragma once
// Facts of the Windows registry that the browser detection relies on, checked through the
// registry port: natively against the in-memory registry, under Wine against the real one, with
// the same expectations, so the in-memory registry is known to behave as the real one does.
#include "platform/Registry.h"

#include <functional>
#include <string>
#include <vector>

namespace registry_facts
{
struct Fact
{
    std::string name;
    std::string observed;
    std::string expected;
};

// Runs every fact below HKCU\<base> (which must not exist yet). refuseFullAccess makes the key
// HKCU\<path> refuse full access as a DACL denying set-value and create-subkey does.
std::vector<Fact> Check(IRegistry& registry, const std::string& base,
                        const std::function<bool(const std::string& path)>& refuseFullAccess);
} // namespace registry_facts
