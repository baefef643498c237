// Runs that fail on the way: each shows one box where it happens, ends with WM_UPGRADE_FAILED
// and leaves the appliance as the failure found it.
#include "tests/integration/UpgradeTestRig.h"

#include "platform/MessageBoxStyle.h"

#include <algorithm>

namespace
{
using namespace upgrade_test;

class UpgradeFailureTest : public ::testing::Test
{
protected:
    // Runs against a simulator with the scenario; the operator confirms the upgrade.
    void Run(const std::string& scenario)
    {
        ASSERT_TRUE(package.made);
        sim = std::make_unique<CSimulatorProcess>(scenario, SimulatorOptions());
        rig.op.AnswerConfirm(true);
        EXPECT_FALSE(rig.Run(package.Path()));
        EXPECT_TRUE(WaitForConnectionsClosed(*sim));
    }

    // Exactly one box of the run's style, with this text and title, and the one failure.
    void ExpectOneBox(const std::string& text, const std::string& title)
    {
        const auto boxes = rig.op.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].what, "box");
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].title, title);
        EXPECT_EQ(boxes[0].style, box::kOk | box::kSetForeground);
        EXPECT_EQ(rig.Messages().back(), WM_UPGRADE_FAILED);
        EXPECT_EQ(rig.Count(WM_UPGRADE_FAILED), 1);
        EXPECT_EQ(rig.Count(WM_UPGRADE_DONE), 0);
        EXPECT_EQ(rig.Count(WM_UPGRADE_NEARLY_DONE), 0);
    }

    bool Sent(const std::string& command) const
    {
        const auto commands = Commands(*sim);
        return std::find(commands.begin(), commands.end(), command) != commands.end();
    }

    CPackageFolder package{kNewVersion};
    CWorkerRig rig;
    std::unique_ptr<CSimulatorProcess> sim;
};

TEST_F(UpgradeFailureTest, AFailingTwelfthSettingEndsTheRunAfterElevenWithNoneAfterIt)
{
    Run("fail_on = cdb general http QueueSize 50\n");
    ExpectOneBox(kCannotSend, kInternalError);
    const std::vector<std::string> sentUpToTheTwelfth(Settings().begin(), Settings().begin() + 12);
    EXPECT_EQ(SettingsReceived(*sim), sentUpToTheTwelfth);
    EXPECT_FALSE(Sent("wdb general\n"));
    const auto commands = Commands(*sim);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "reboot\n"), 1);
    EXPECT_FALSE(Sent("cdb general system mailcheck 1\n"));
    // What was set before the failing command was never written to disk.
    EXPECT_EQ(sim->ReadStateFile("general.db").find("CronReboot"), std::string::npos);
}

TEST_F(UpgradeFailureTest, AnApplianceThatIsNotBackAfterTheRestartGivesTheConnectionBox)
{
    Run("never_back = yes\n");
    ExpectOneBox(kCannotConnect, kInternalError);
    EXPECT_EQ(Commands(*sim),
              (std::vector<std::string>{"cdb general system mailcheck 0\n", "reboot\n"}));
    EXPECT_TRUE(rig.ConfirmationTexts().empty());
    EXPECT_EQ(FtpLogins(*sim), 0);
}

TEST_F(UpgradeFailureTest, AnApplianceReportingTheOldVersionGivesTheFailureBox)
{
    Run(std::string("version_after = ") + kOldVersion + "\n");
    ExpectOneBox("Your upgrade to version 4.3.0 has failed; it is currently running version "
                 "4.2.1\n\nPlease run the upgrader again.",
                 std::string(kTitlePrefix) + "Failure");
    // The whole upgrade took place; then the final check, and the session closed with its
    // close message since the run did not close the socket itself.
    EXPECT_EQ(StoredNames(*sim), (std::vector<std::string>{"corvane.sys", "cui.tar"}));
    EXPECT_EQ(SettingsReceived(*sim), Settings());
    const auto events = Only(Events(*sim), {"cmd "});
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[events.size() - 3], "cmd command cdb general system mailcheck 1\n");
    EXPECT_EQ(events[events.size() - 2], "cmd command ver\n");
    EXPECT_EQ(events.back(), "cmd close-message 0000000200000000");
}

TEST_F(UpgradeFailureTest, AMissingSystemImageIsFoundAfterTheFtpLoginAndNothingIsPut)
{
    package.Remove("corvane.sys");
    Run("");
    ExpectOneBox(kFileStatusMissing, kInternalError);
    EXPECT_EQ(FtpLogins(*sim), 1);
    EXPECT_TRUE(sim->Records("ftp", "login")[0].Flag("accepted"));
    EXPECT_TRUE(Only(Events(*sim), {"ftp STOR"}).empty());
    EXPECT_TRUE(SettingsReceived(*sim).empty());
}

struct RefusedStoreCase
{
    const char* refused;
    std::vector<std::string> stored;
};

class UpgradeRefusedStoreTest : public UpgradeFailureTest,
                                public ::testing::WithParamInterface<RefusedStoreCase>
{
};

TEST_P(UpgradeRefusedStoreTest, AnUploadTheServerRefusesGivesThePutBox)
{
    Run(std::string("ftp_refuse_store = ") + GetParam().refused + "\n");
    ExpectOneBox(kCannotPut, kInternalError);
    EXPECT_EQ(StoredNames(*sim), GetParam().stored);
    const auto refused = sim->Records("ftp", "refused");
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].Get("name"), GetParam().refused);
    EXPECT_TRUE(SettingsReceived(*sim).empty());
    EXPECT_FALSE(Sent("cdb general system mailcheck 1\n"));
}

INSTANTIATE_TEST_SUITE_P(Files, UpgradeRefusedStoreTest,
                         ::testing::Values(RefusedStoreCase{"corvane.sys", {}},
                                           RefusedStoreCase{"cui.tar", {"corvane.sys"}}));

TEST_F(UpgradeFailureTest, ARefusedFtpLoginEndsTheRunWithABoxNamingTheConnection)
{
    // The password ends in a blank: the command service takes it as typed, while the FTP login
    // gets it without trailing white space and is refused.
    rig.credentials.second = std::string(kPassword) + " ";
    Run(std::string("password = ") + kPassword + "\\x20\n");
    ExpectOneBox("Cannot open an FTP connection to the Corvane to copy the file corvane.sys. "
                 "Check the cables and try running the Corvane upgrade utility again.",
                 kInternalError);
    const auto logins = sim->Records("ftp", "login");
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_FALSE(logins[0].Flag("accepted"));
    EXPECT_EQ(Only(Events(*sim), {"ftp PASS"}), std::vector<std::string>{"ftp PASS corvane"});
    EXPECT_TRUE(Only(Events(*sim), {"ftp STOR"}).empty());
    EXPECT_TRUE(SettingsReceived(*sim).empty());
}
} // namespace
