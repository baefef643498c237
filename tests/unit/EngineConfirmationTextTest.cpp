#include "engine/CConfirmationText.h"
#include "engine/CMessageBuffer.h"

#include <gtest/gtest.h>

namespace
{
using Kind = CConfirmationText::Kind;

struct ChoiceCase
{
    const char* appliance;
    const char* package;
    bool welcomePresent;
    bool needsWelcomeTest;
    Kind kind;
};

class ConfirmationChoiceTest : public ::testing::TestWithParam<ChoiceCase>
{
};

TEST_P(ConfirmationChoiceTest, ChoosesInTheOrderTheTextsAreTried)
{
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(CConfirmationText::NeedsWelcomeTest(c.appliance, c.package), c.needsWelcomeTest);
    EXPECT_EQ(CConfirmationText::Choose(c.appliance, c.package, c.welcomePresent), c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, ConfirmationChoiceTest,
    ::testing::Values(
        // A version beginning with "The" wins even when it equals the package's.
        ChoiceCase{"The version is unknown", "2.0", false, false, Kind::UnknownVersion},
        ChoiceCase{"The", "The", true, false, Kind::UnknownVersion},
        ChoiceCase{"1.0", "2.0", true, false, Kind::OtherVersion},
        // Exact, case-sensitive comparison: case and trailing blanks make them differ.
        ChoiceCase{"2.0a", "2.0A", false, false, Kind::OtherVersion},
        ChoiceCase{"2.0", "2.0 ", false, false, Kind::OtherVersion},
        ChoiceCase{"", "2.0", false, false, Kind::OtherVersion},
        ChoiceCase{"the 2.0", "the 2.0", false, true, Kind::OlderVersion},
        ChoiceCase{"2.0", "2.0", false, true, Kind::OlderVersion},
        ChoiceCase{"2.0", "2.0", true, true, Kind::SameVersion}));

struct TextCase
{
    Kind kind;
    const char* text;
};

class ConfirmationTextTest : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(ConfirmationTextTest, FormatsEachTextWithTheVersionsItNames)
{
    CMessageBuffer message;
    CConfirmationText::Format(GetParam().kind, "1.5", "2.0", message);
    EXPECT_STREQ(message.Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConfirmationTextTest,
    ::testing::Values(
        TextCase{Kind::UnknownVersion, "Cannot determine the Corvane version number. Click "
                                       "Upgrade to upgrade it to version 2.0"},
        TextCase{Kind::OtherVersion, "The Corvane with version 1.5 was found on your network. "
                                     "Click upgrade to upgrade it to version 2.0."},
        TextCase{Kind::OlderVersion,
                 "You have an older version of the Corvane. Click upgrade to upgrade it to "
                 "version 2.0"},
        TextCase{Kind::SameVersion, "Your Corvane already has version 2.0 on it and does not "
                                    "need to be upgraded. Click Upgrade to upgrade it anyway."}));
} // namespace
