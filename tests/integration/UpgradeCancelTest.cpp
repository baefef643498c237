// Cancel requests during the transfer: honoured at the three points where the run looks, with
// two WM_UPGRADE_FAILED and no box; without effect once the archive's upload has begun.
#include "tests/integration/UpgradeTestRig.h"

#include <algorithm>
#include <cstring>

namespace
{
using namespace upgrade_test;
using Notification = CRecordingNotifier::Notification;

struct CancelCase
{
    const char* name;
    // Whether the request is made when this notification is posted (seen after WM_UPGRADE_SHOW).
    std::function<bool(const Notification&)> moment;
    bool resynchronised;             // the empty line went to the appliance
    std::vector<std::string> stored; // the files on the appliance at the end
};

std::ostream& operator<<(std::ostream& out, const CancelCase& c)
{
    return out << c.name;
}

bool IsTimedStep(const Notification& posted, const char* text)
{
    return posted.message == WM_UPGRADE_TIMED && posted.text == text;
}

class UpgradeCancelTest : public ::testing::TestWithParam<CancelCase>
{
};

TEST_P(UpgradeCancelTest, EndsAtTheNextPointWithTwoFailuresAndNoBox)
{
    CSimulatorProcess sim("", SimulatorOptions());
    CPackageFolder package(kNewVersion);
    ASSERT_TRUE(package.made);
    CWorkerRig rig;
    rig.op.AnswerConfirm(true);
    bool shown = false;
    rig.CancelWhen(
        [&](const Notification& posted)
        {
            shown = shown || posted.message == WM_UPGRADE_SHOW;
            return shown && GetParam().moment(posted);
        });

    EXPECT_FALSE(rig.Run(package.Path()));
    EXPECT_TRUE(WaitForConnectionsClosed(sim));

    EXPECT_TRUE(rig.op.Boxes().empty());
    const auto messages = rig.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 1], WM_UPGRADE_FAILED);
    EXPECT_EQ(messages[messages.size() - 2], WM_UPGRADE_FAILED);
    EXPECT_EQ(rig.Count(WM_UPGRADE_FAILED), 2);

    const auto commands = Commands(sim);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), GetParam().resynchronised ? "\n" : "ver\n");
    EXPECT_EQ(StoredNames(sim), GetParam().stored);
    EXPECT_EQ(FtpLogins(sim), static_cast<int>(GetParam().stored.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Points, UpgradeCancelTest,
    ::testing::Values(
        // Before the first look: right as the cancel command becomes available.
        CancelCase{"AfterShow",
                   [](const Notification& posted) { return posted.message == WM_UPGRADE_SHOW; },
                   false,
                   {}},
        // While the empty line's reply is awaited: seen at the second look.
        CancelCase{"DuringResynchronisation",
                   [](const Notification& posted) { return posted.message == WM_UPGRADE_TICK; },
                   true,
                   {}},
        // While the system image is copied: seen after the pause that follows it.
        CancelCase{"DuringTheSystemImage",
                   [](const Notification& posted)
                   { return IsTimedStep(posted, "Copying file corvane.sys to Corvane"); },
                   true,
                   {"corvane.sys"}},
        CancelCase{"DuringThePauseAfterTheSystemImage",
                   [](const Notification& posted) {
                       return posted.message == WM_UPGRADE_STEP &&
                              posted.text == "Checking files after copying";
                   },
                   true,
                   {"corvane.sys"}}),
    [](const ::testing::TestParamInfo<CancelCase>& info) { return info.param.name; });

TEST(UpgradeLateCancelTest, ARequestDuringTheArchivesUploadHasNoEffect)
{
    CSimulatorProcess sim("", SimulatorOptions());
    CPackageFolder package(kNewVersion);
    ASSERT_TRUE(package.made);
    CWorkerRig rig;
    rig.op.AnswerConfirm(true);
    rig.CancelWhen([](const Notification& posted)
                   { return IsTimedStep(posted, "Exploding file cui.tar on Corvane"); });

    EXPECT_TRUE(rig.Run(package.Path()));

    EXPECT_EQ(rig.cancel.load(), 1);
    EXPECT_EQ(rig.Count(WM_UPGRADE_FAILED), 0);
    EXPECT_EQ(StoredNames(sim), (std::vector<std::string>{"corvane.sys", "cui.tar"}));
    EXPECT_EQ(SettingsReceived(sim), Settings());
    const auto boxes = rig.op.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, std::string(kTitlePrefix) + "Success");
}
} // namespace
