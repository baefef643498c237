// The in-memory registry against the Windows facts that the Wine test checks on the real one.
#include "tests/unit/BrowserRegistryFacts.h"
#include "platform/posix/CMemoryRegistry.h"

#include <gtest/gtest.h>

TEST(BrowserRegistryFacts, InMemoryRegistryBehavesAsWindows)
{
    CMemoryRegistry registry;
    const auto facts = registry_facts::Check(registry, "Facts",
                                             [&](const std::string& path)
                                             {
                                                 registry.RefuseFullAccess(reg::kCurrentUser, path);
                                                 return true;
                                             });

    ASSERT_GE(facts.size(), 25u);
    for (const auto& fact : facts)
        EXPECT_EQ(fact.observed, fact.expected) << fact.name;
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}
