// The version check against the simulated appliance: which text the confirmation shows, and the
// quiet ends (Cancel, a reply to "ver" without "ver").
#include "tests/integration/UpgradeTestRig.h"

namespace
{
using namespace upgrade_test;

struct ConfirmationCase
{
    const char* name;
    std::string scenario;
    std::string versionFile; // the version file's bytes; its first line is the package version
    std::vector<std::string> commandsAfterLogin; // what the run sent after the second login
    std::string text;                            // the confirmation text; empty: no dialog
};

std::ostream& operator<<(std::ostream& out, const ConfirmationCase& c)
{
    return out << c.name;
}

class UpgradeConfirmationTest : public ::testing::TestWithParam<ConfirmationCase>
{
};

const char kVer[] = "ver\n";
const char kWelcome[] = "ls welcome.msg\n";

TEST_P(UpgradeConfirmationTest, ShowsTheTextTheVersionsGiveAndStopsQuietlyOnCancel)
{
    const ConfirmationCase& c = GetParam();
    CSimulatorProcess sim(c.scenario, SimulatorOptions());
    CPackageFolder package(kNewVersion);
    ASSERT_TRUE(package.made);
    package.WriteVersionFile(c.versionFile);
    CWorkerRig rig;
    rig.op.AnswerConfirm(false);

    EXPECT_FALSE(rig.Run(package.Path()));
    EXPECT_TRUE(WaitForConnectionsClosed(sim));

    if (c.text.empty())
        EXPECT_TRUE(rig.ConfirmationTexts().empty());
    else
        EXPECT_EQ(rig.ConfirmationTexts(), std::vector<std::string>{c.text});
    EXPECT_TRUE(rig.op.Boxes().empty());
    EXPECT_EQ(rig.Messages().back(), WM_UPGRADE_FAILED);
    EXPECT_EQ(rig.Count(WM_UPGRADE_FAILED), 1);
    EXPECT_EQ(rig.Count(WM_UPGRADE_SHOW), 0);

    // The appliance was restarted with mail checking off before the question; nothing was put.
    std::vector<std::string> expected = {"cdb general system mailcheck 0\n", "reboot\n"};
    expected.insert(expected.end(), c.commandsAfterLogin.begin(), c.commandsAfterLogin.end());
    EXPECT_EQ(Commands(sim), expected);
    EXPECT_EQ(FtpLogins(sim), 0);
    // The logged-in session went at the end of the run with its close message.
    const auto events = Only(Events(sim), {"cmd "});
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "cmd close-message 0000000200000000");
}

const std::string kNewLine = std::string(kNewVersion) + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Versions, UpgradeConfirmationTest,
    ::testing::Values(
        ConfirmationCase{"UnknownVersion",
                         "version = The version is not known\n",
                         kNewLine,
                         {kVer},
                         "Cannot determine the Corvane version number. Click Upgrade to upgrade "
                         "it to version 4.3.0"},
        // Even a version equal to the package's gives the first text when it begins with "The".
        ConfirmationCase{"UnknownVersionEqualToPackage",
                         "version = The 4.3.0\n",
                         "The 4.3.0\r\n",
                         {kVer},
                         "Cannot determine the Corvane version number. Click Upgrade to upgrade "
                         "it to version The 4.3.0"},
        ConfirmationCase{"OtherVersion",
                         "",
                         kNewLine,
                         {kVer},
                         "The Corvane with version 4.2.1 was found on your network. Click "
                         "upgrade to upgrade it to version 4.3.0."},
        ConfirmationCase{"SameVersionWithoutWelcomeFile",
                         "version = 4.3.0\nwelcome = missing\n",
                         kNewLine,
                         {kVer, kWelcome},
                         "You have an older version of the Corvane. Click upgrade to upgrade it "
                         "to version 4.3.0"},
        ConfirmationCase{"SameVersionWithWelcomeFile",
                         "version = 4.3.0\nwelcome = present\n",
                         kNewLine,
                         {kVer, kWelcome},
                         "Your Corvane already has version 4.3.0 on it and does not need to be "
                         "upgraded. Click Upgrade to upgrade it anyway."},
        ConfirmationCase{"VersionsDifferingInCase",
                         "version = 4.3.0-RC\n",
                         "4.3.0-rc\r\n",
                         {kVer},
                         "The Corvane with version 4.3.0-RC was found on your network. Click "
                         "upgrade to upgrade it to version 4.3.0-rc."},
        ConfirmationCase{"PackageVersionWithATrailingBlank",
                         "version = 4.3.0\n",
                         "4.3.0 \r\n",
                         {kVer},
                         "The Corvane with version 4.3.0 was found on your network. Click "
                         "upgrade to upgrade it to version 4.3.0 ."},
        ConfirmationCase{
            "ReplyWithoutVer", "ver_reply = \\r\\nCorvane 4.3.0\\r\\n>\n", kNewLine, {kVer}, ""},
        // "ver" followed only by white space and the prompt: an empty appliance version.
        ConfirmationCase{"EmptyVersion",
                         "ver_reply = \\r\\nCorvane ver \\r\\n>\n",
                         kNewLine,
                         {kVer},
                         "The Corvane with version  was found on your network. Click upgrade to "
                         "upgrade it to version 4.3.0."}),
    [](const ::testing::TestParamInfo<ConfirmationCase>& info) { return info.param.name; });
} // namespace
