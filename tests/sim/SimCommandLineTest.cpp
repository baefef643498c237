#include "sim/CCommandLine.h"
#include "sim/CLineBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct CLineCase
{
    std::string line;
    bool valid;
    std::vector<std::string> words;
    std::string restAfterFour;
};

class CommandLineTest : public ::testing::TestWithParam<CLineCase>
{
};

TEST_P(CommandLineTest, SplitsWordsAndKeepsTheRest)
{
    const CLineCase& c = GetParam();
    const CCommandLine line(c.line);
    EXPECT_EQ(line.IsValid(), c.valid);
    ASSERT_EQ(line.WordCount(), c.words.size());
    for (std::size_t i = 0; i < c.words.size(); ++i)
        EXPECT_EQ(line.Word(i), c.words[i]);
    EXPECT_EQ(line.RestAfter(4), c.restAfterFour);
    EXPECT_EQ(line.Word(c.words.size()), "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(
        CLineCase{"cdb general system mailcheck 0\n",
                  true,
                  {"cdb", "general", "system", "mailcheck", "0"},
                  "0"},
        CLineCase{"cdb general system NewUserGreeting Welcome to  Corvane \r\n",
                  true,
                  {"cdb", "general", "system", "NewUserGreeting", "Welcome", "to", "Corvane"},
                  "Welcome to  Corvane"},
        CLineCase{
            "ddb general system catchall\n", true, {"ddb", "general", "system", "catchall"}, ""},
        CLineCase{"\n", true, {}, ""}, CLineCase{"\r\n", true, {}, ""},
        CLineCase{"  \t ver\t\n", true, {"ver"}, ""}, CLineCase{"ver", true, {"ver"}, ""},
        CLineCase{std::string("ver\0x\n", 6), false, {std::string("ver\0x", 5)}, ""},
        CLineCase{"ls \x01welcome.msg\n", false, {"ls", "\x01welcome.msg"}, ""},
        CLineCase{"ls caf\xe9\n", false, {"ls", "caf\xe9"}, ""},
        CLineCase{"a\rb\n", false, {"a\rb"}, ""}));

TEST(LineBufferTest, HandsOutWholeLinesOnlyAndKeepsTheTail)
{
    CLineBuffer buffer(16);
    ASSERT_TRUE(buffer.Append("ver\nls wel", 10));
    std::string line;
    ASSERT_TRUE(buffer.NextLine(line));
    EXPECT_EQ(line, "ver\n");
    EXPECT_FALSE(buffer.NextLine(line));
    ASSERT_TRUE(buffer.Append("come.msg\n", 9));
    ASSERT_TRUE(buffer.NextLine(line));
    EXPECT_EQ(line, "ls welcome.msg\n");
    EXPECT_TRUE(buffer.Pending().empty());
}

TEST(LineBufferTest, RefusesAnUnfinishedLinePastTheLimitAndKeepsNothingOfIt)
{
    CLineBuffer buffer(8);
    EXPECT_TRUE(buffer.Append("12345678", 8));
    EXPECT_FALSE(buffer.Append("9", 1));
    EXPECT_EQ(buffer.Pending(), "12345678");
    // Many short lines in one piece are fine: only the unfinished tail counts.
    CLineBuffer lines(4);
    EXPECT_TRUE(lines.Append("abc\nabc\nabc\nabcd", 16));
    EXPECT_FALSE(lines.Append("e", 1));
}
} // namespace
