#include "engine/CMessageBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
TEST(MessageBufferTest, ReplacesEachPlaceholderWithTheNextArgumentInOrder)
{
    CMessageBuffer message;
    message.Format("from %s to %s.", {"1.0", "2.0"});
    EXPECT_STREQ(message.Text(), "from 1.0 to 2.0.");
}

TEST(MessageBufferTest, TakesArgumentsVerbatimWithoutReadingThemAsPatterns)
{
    CMessageBuffer message;
    message.Format("version %s", {"%s%n%d 100%"});
    EXPECT_STREQ(message.Text(), "version %s%n%d 100%");
}

TEST(MessageBufferTest, LeavesPlaceholdersWithoutArgumentAndOtherPercentsAsTheyAre)
{
    CMessageBuffer message;
    message.Format("%d %s and %s", {"one"});
    EXPECT_STREQ(message.Text(), "%d one and %s");
}

TEST(MessageBufferTest, ReplacesAnEarlierTextWholly)
{
    CMessageBuffer message;
    message.Format("a rather longer first text %s", {"here"});
    message.Format("short", {});
    EXPECT_STREQ(message.Text(), "short");
}

struct LengthCase
{
    std::size_t argumentLength;
    std::size_t expectedLength;
};

class MessageBufferLimitTest : public ::testing::TestWithParam<LengthCase>
{
};

// The buffer sits between two guards that must survive any text.
struct GuardedBuffer
{
    char before[16];
    CMessageBuffer message;
    char after[16];
};

TEST_P(MessageBufferLimitTest, CutsTextsThatDoNotFitAndNeverWritesPastTheBuffer)
{
    GuardedBuffer guarded;
    std::memset(guarded.before, 'B', sizeof guarded.before);
    std::memset(guarded.after, 'A', sizeof guarded.after);
    const std::string version(GetParam().argumentLength, 'v');

    guarded.message.Format("[%s]", {version});

    const std::string text = guarded.message.Text();
    ASSERT_EQ(text.size(), GetParam().expectedLength);
    EXPECT_EQ(text.front(), '[');
    if (text.size() == version.size() + 2)
        EXPECT_EQ(text.back(), ']');
    else
        EXPECT_EQ(text.back(), 'v');
    for (char c : guarded.before)
        ASSERT_EQ(c, 'B');
    for (char c : guarded.after)
        ASSERT_EQ(c, 'A');
}

// 199 characters fit beside the terminator; everything longer is cut to 199.
INSTANTIATE_TEST_SUITE_P(Lengths, MessageBufferLimitTest,
                         ::testing::Values(LengthCase{0, 2}, LengthCase{196, 198},
                                           LengthCase{197, 199}, LengthCase{198, 199},
                                           LengthCase{199, 199}, LengthCase{5000, 199}));
} // namespace
