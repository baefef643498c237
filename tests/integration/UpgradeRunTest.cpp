// A whole successful upgrade of the simulated appliance, checked against what it received.
#include "tests/integration/UpgradeTestRig.h"

#include "platform/MessageBoxStyle.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace
{
using namespace upgrade_test;

// One run serves every test of this suite: each looks at another side of it.
class UpgradeRunTest : public ::testing::Test
{
protected:
    struct CRun
    {
        CSimulatorProcess sim{"", SimulatorOptions()};
        CPackageFolder package{kNewVersion};
        CWorkerRig rig;
        bool succeeded = false;
        bool closed = false;
    };

    static void SetUpTestSuite()
    {
        s_run = std::make_unique<CRun>();
        if (!s_run->package.made)
            return;
        s_run->rig.op.AnswerConfirm(true);
        s_run->succeeded = s_run->rig.Run(s_run->package.Path());
        s_run->closed = WaitForConnectionsClosed(s_run->sim);
    }

    static void TearDownTestSuite() { s_run.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(package.made);
        ASSERT_TRUE(succeeded);
        ASSERT_TRUE(s_run->closed);
    }

    static std::unique_ptr<CRun> s_run;
    CSimulatorProcess& sim = s_run->sim;
    CPackageFolder& package = s_run->package;
    CWorkerRig& rig = s_run->rig;
    bool& succeeded = s_run->succeeded;
};

std::unique_ptr<UpgradeRunTest::CRun> UpgradeRunTest::s_run;

// One login of the command service with the operator's credentials.
std::vector<std::string> Login()
{
    return {"cmd opening 5a", "cmd username admin\n", "cmd password corvane\n"};
}

std::vector<std::string> ExpectedSession()
{
    std::vector<std::string> expected = Login();
    expected.push_back("cmd command cdb general system mailcheck 0\n");
    expected.push_back("cmd command reboot\n");
    for (const auto& line : Login())
        expected.push_back(line);
    expected.push_back("cmd command ver\n");
    expected.push_back("cmd command \n");
    for (const char* name : {"corvane.sys", "cui.tar"})
    {
        expected.push_back("ftp USER admin");
        expected.push_back("ftp PASS corvane");
        expected.push_back(std::string("ftp STOR ") + name);
        expected.push_back(std::string("ftp stored ") + name);
    }
    for (const auto& setting : Settings())
        expected.push_back("cmd command " + setting);
    expected.push_back("cmd command wdb general\n");
    expected.push_back("cmd command reboot\n");
    for (const auto& line : Login())
        expected.push_back(line);
    expected.push_back("cmd command cdb general system mailcheck 1\n");
    expected.push_back("cmd command ver\n");
    return expected;
}

TEST_F(UpgradeRunTest, SendsEverythingInOrderAndEndsWithTheSuccessBox)
{

    const auto events = Events(sim);
    const auto sent =
        Only(events, {"cmd ", "ftp USER", "ftp PASS", "ftp STOR", "ftp stored", "ftp refused"});
    EXPECT_EQ(sent, ExpectedSession());
    EXPECT_EQ(SettingsReceived(sim), Settings());

    // The socket was closed before the session went, so no close message followed the last
    // command, and nothing else reached the command service either.
    EXPECT_TRUE(sim.Records("cmd", "close-message").empty());
    EXPECT_TRUE(sim.Records("cmd", "binary").empty());

    const auto boxes = rig.op.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              std::string("Your Corvane has been successfully upgraded to version ") + kNewVersion +
                  ".");
    EXPECT_EQ(boxes[0].title, std::string(kTitlePrefix) + "Success");
    EXPECT_EQ(boxes[0].style, box::kOk | box::kSetForeground);
    EXPECT_TRUE(rig.processes.started.empty());
}

TEST_F(UpgradeRunTest, PutsBothFilesByteIdenticalInBinaryOverActiveConnections)
{

    const auto stored = sim.Records("ftp", "stored");
    ASSERT_EQ(stored.size(), 2u);
    for (const auto& record : stored)
    {
        const fs::path local = package.Path() / record.Get("name");
        EXPECT_EQ(record.Get("sha256"), Sha256Of(local)) << record.Get("name");
        EXPECT_EQ(record.Number("size"), static_cast<long long>(fs::file_size(local)));
        EXPECT_TRUE(sim.ReadStateFile(record.Get("name")) == ReadWhole(local));
    }

    // Each file on its own connection: login, binary type and an active data connection
    // before its store; never passive, never text.
    std::map<int, std::vector<std::string>> perConnection;
    for (const auto& record : sim.Records("ftp", "command"))
        perConnection[record.Connection()].push_back(record.Text());
    ASSERT_EQ(perConnection.size(), 2u);
    for (const auto& [connection, lines] : perConnection)
    {
        auto position = [&](const std::string& prefix)
        {
            return std::find_if(lines.begin(), lines.end(),
                                [&](const std::string& line)
                                { return line.compare(0, prefix.size(), prefix) == 0; }) -
                   lines.begin();
        };
        const auto store = position("STOR ");
        ASSERT_LT(store, static_cast<long>(lines.size())) << connection;
        EXPECT_LT(position("PASS "), store);
        EXPECT_LT(position("TYPE I"), store);
        EXPECT_LT(position("PORT "), store);
        for (const auto& line : lines)
            for (const char* forbidden : {"PASV", "EPSV", "TYPE A"})
                EXPECT_NE(line.compare(0, std::strlen(forbidden), forbidden), 0) << line;
    }
}

TEST_F(UpgradeRunTest, PostsTheNotificationsOfTheRunInTheirOrder)
{

    const auto posted = rig.notifier.Notifications();
    std::vector<std::string> statuses = rig.notifier.StatusTexts();
    const std::vector<std::string> login = {"Receiving connection data", "Receiving login data",
                                            "Validating username and password"};
    std::vector<std::string> expected = {"Finding Corvane"};
    auto add = [&](const std::vector<std::string>& texts)
    { expected.insert(expected.end(), texts.begin(), texts.end()); };
    add(login);
    add({"Rebooting Corvane"});
    add(login);
    add({"Copying file corvane.sys to Corvane", "Checking files after copying",
         "Exploding file cui.tar on Corvane", "Setting database variables",
         "Writing database variables to disk", "Rebooting Corvane"});
    add(login);
    EXPECT_EQ(statuses, expected);

    // The timed steps carry their estimates: the files' sizes at the assumed rate.
    std::vector<std::pair<std::string, long>> timed;
    for (const auto& notification : posted)
        if (notification.message == WM_UPGRADE_TIMED)
            timed.emplace_back(notification.text, notification.amount);
    const long imageSeconds = static_cast<long>(
        static_cast<double>(fs::file_size(package.Path() / "corvane.sys")) * 3.163774210063103e-05);
    const long archiveSeconds =
        2 * static_cast<long>(static_cast<double>(fs::file_size(package.Path() / "cui.tar")) *
                              3.163774210063103e-05);
    const std::vector<std::pair<std::string, long>> expectedTimed = {
        {"Copying file corvane.sys to Corvane", imageSeconds},
        {"Exploding file cui.tar on Corvane", archiveSeconds},
        {"Setting database variables", 94},
        {"Writing database variables to disk", 5}};
    EXPECT_EQ(timed, expectedTimed);

    // WM_UPGRADE_SHOW once, right after the confirmation; the end: nearly done, then done.
    EXPECT_EQ(rig.Count(WM_UPGRADE_SHOW), 1);
    EXPECT_EQ(rig.Count(WM_UPGRADE_FAILED), 0);
    ASSERT_GE(posted.size(), 2u);
    EXPECT_EQ(posted[posted.size() - 2].message, WM_UPGRADE_NEARLY_DONE);
    EXPECT_EQ(posted.back().message, WM_UPGRADE_DONE);
    EXPECT_EQ(rig.Count(WM_UPGRADE_NEARLY_DONE), 1);
}

TEST_F(UpgradeRunTest, LeavesTheAppliancesDatabaseWithTheSettingsAndMailCheckingOn)
{
    const std::string database = sim.ReadStateFile("general.db");
    // Written by "wdb general" before the last restart, so the restart kept them.
    for (const char* line : {"system CronReboot 1", "http QueueSize 50",
                             "smtp IspDeferTimeoutDays 1", "system NewUserGreeting Welcome!"})
        EXPECT_NE(database.find(line), std::string::npos) << line << "\n" << database;
    const auto commands = Commands(sim);
    const auto off =
        std::find(commands.begin(), commands.end(), "cdb general system mailcheck 0\n");
    const auto on = std::find(commands.begin(), commands.end(), "cdb general system mailcheck 1\n");
    const auto firstReboot = std::find(commands.begin(), commands.end(), "reboot\n");
    const auto lastReboot = std::find(commands.rbegin(), commands.rend(), "reboot\n").base() - 1;
    ASSERT_NE(off, commands.end());
    ASSERT_NE(on, commands.end());
    EXPECT_LT(off, firstReboot);
    EXPECT_GT(on, lastReboot);
    EXPECT_NE(firstReboot, lastReboot);
}
} // namespace
