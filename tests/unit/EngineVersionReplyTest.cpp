#include "engine/CVersionReply.h"

#include <gtest/gtest.h>

namespace
{
struct VersionCase
{
    const char* reply;
    bool parsed;
    const char* version;
};

class VersionReplyTest : public ::testing::TestWithParam<VersionCase>
{
};

TEST_P(VersionReplyTest, ParsesTheVersionAfterTheFirstVer)
{
    const VersionCase& c = GetParam();
    std::string version = "left over";
    EXPECT_EQ(CVersionReply::Parse(c.reply, version), c.parsed);
    EXPECT_EQ(version, c.version);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, VersionReplyTest,
    ::testing::Values(VersionCase{"ver\r\n4.2.1\r\n>", true, "4.2.1"},
                      VersionCase{"ver 4.2.1\n>", true, "4.2.1"},
                      VersionCase{"ver\n  \t4.2.1 build 7\r\n>", true, "4.2.1 build 7"},
                      // Trailing blanks belong to the version: only the line end cuts it.
                      VersionCase{"ver\n4.2.1  \n>", true, "4.2.1  "},
                      // Only white space and the prompt after "ver": an empty version.
                      VersionCase{"ver\n>", true, ""}, VersionCase{"ver \r\n", true, ""},
                      // A version line that never ends is not taken.
                      VersionCase{"ver\n4.2.1", true, ""},
                      // The first "ver" counts, wherever it stands.
                      VersionCase{"server ready\nver\n4.2.1\n>", true, "ready"},
                      VersionCase{"> ver\nThe version is unknown\n>", true,
                                  "The version is unknown"},
                      // No "ver" at all: not parsed, whatever else the reply says.
                      VersionCase{"4.2.1\n>", false, ""}, VersionCase{"VER\n4.2.1\n>", false, ""},
                      VersionCase{"", false, ""}));
} // namespace
