#include "engine/CWelcomeAnswer.h"

#include <gtest/gtest.h>

namespace
{
using Result = CWelcomeAnswer::Result;

struct WelcomeCase
{
    const char* reply;
    Result result;
    const char* line;
};

class WelcomeAnswerTest : public ::testing::TestWithParam<WelcomeCase>
{
};

TEST_P(WelcomeAnswerTest, CutsTheAnswerLineAndJudgesIt)
{
    const WelcomeCase& c = GetParam();
    std::string line;
    EXPECT_EQ(CWelcomeAnswer::AnswerLine(c.reply, line), c.result != Result::Unreadable);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(CWelcomeAnswer::Parse(c.reply), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, WelcomeAnswerTest,
    ::testing::Values(
        WelcomeCase{"ls welcome.msg\nCan't open welcome.msg\r\n>", Result::Missing,
                    "Can't open welcome.msg"},
        WelcomeCase{"ls welcome.msg\nCan't open\n>", Result::Missing, "Can't open"},
        WelcomeCase{"ls welcome.msg\r\nwelcome.msg\r\n>", Result::Present, "welcome.msg"},
        // The line after a prompt counts as well as the line after the echo.
        WelcomeCase{">Can't open welcome.msg>", Result::Missing, "Can't open welcome.msg"},
        // Shorter than the ten characters, or another beginning: the file is there.
        WelcomeCase{"ls welcome.msg\nCan't\n>", Result::Present, "Can't"},
        WelcomeCase{"ls welcome.msg\ncan't open welcome.msg\n>", Result::Present,
                    "can't open welcome.msg"},
        WelcomeCase{"ls welcome.msg\n\n>", Result::Present, ""},
        // No mark at all, or nothing that ends the answer line.
        WelcomeCase{"ls welcome.msg", Result::Unreadable, ""},
        WelcomeCase{"ls welcome.msg\n", Result::Unreadable, ""},
        WelcomeCase{"ls welcome.msg\nCan't open welcome.msg", Result::Unreadable, ""},
        WelcomeCase{"", Result::Unreadable, ""}));
} // namespace
