// The command session against the simulated appliance over real sockets in the test bed: the
// bytes on the wire as the appliance recorded them, the login's branches, the reading of
// replies, the restart and the close message.
#include "engine/UpgradeMessages.h"
#include "link/CCommandSocket.h"
#include "platform/MessageBoxStyle.h"
#include "tests/integration/LinkTestRig.h"

#include <chrono>
#include <optional>

namespace
{
using namespace link_test;

const char kAddress[] = "192.168.42.253";
const char kWrongCredentials[] = "Either the username or password entered is incorrect. Make "
                                 "sure you login as administrator.";

class LinkCommandSocketTest : public ::testing::Test
{
protected:
    std::unique_ptr<CCommandSocket> NewSession()
    {
        return std::make_unique<CCommandSocket>(kAddress, 244, CLinkPorts{clock, notifier, op});
    }
    void StartSimulator(const std::string& scenario)
    {
        sim = std::make_unique<CSimulatorProcess>(scenario, SimulatorOptions());
    }
    void AnswerLogin(const char* name, const char* password)
    {
        op.AnswerLogin(std::make_pair(std::string(name), std::string(password)));
    }
    // Waits until the appliance has seen connection conn end; then its records are complete.
    void WaitForDisconnects(std::size_t count)
    {
        ASSERT_TRUE(sim->WaitForRecords("cmd", "disconnect", count, 5000)) << sim->Log();
    }
    std::size_t CloseMessages() const { return sim->Records("cmd", "close-message").size(); }

    CSteadyClock clock{kTimeScale};
    CRecordingNotifier notifier;
    CScriptedOperator op;
    CMemoryCredentials credentials;
    std::unique_ptr<CSimulatorProcess> sim;
};

TEST_F(LinkCommandSocketTest, LoginPutsTheOpeningByteAndBothLinesOnTheWireThenTheCloseMessage)
{
    StartSimulator("");
    AnswerLogin("admin", "corvane");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    EXPECT_TRUE(session->IsConnected());
    session.reset();
    WaitForDisconnects(1);

    const auto opening = sim->Records("cmd", "opening");
    ASSERT_EQ(opening.size(), 1u);
    EXPECT_EQ(opening[0].Get("hex"), "5a");
    EXPECT_EQ(CommandTexts(*sim, "username"), std::vector<std::string>{"admin\n"});
    EXPECT_EQ(CommandTexts(*sim, "password"), std::vector<std::string>{"corvane\n"});
    EXPECT_EQ(CommandTexts(*sim, "login"), std::vector<std::string>{"accepted"});
    EXPECT_TRUE(sim->Records("cmd", "command").empty());
    const auto close = sim->Records("cmd", "close-message");
    ASSERT_EQ(close.size(), 1u);
    EXPECT_EQ(close[0].Get("hex"), "0000000200000000");

    EXPECT_EQ(credentials.userName, "admin\n");
    EXPECT_EQ(credentials.password, "corvane\n");
    EXPECT_EQ(notifier.StatusTexts(),
              (std::vector<std::string>{"Receiving connection data", "Receiving login data",
                                        "Validating username and password"}));
    // Three paced reads, each with 25 steps and 25 ticks.
    int steps = 0;
    for (const auto& posted : notifier.Notifications())
        steps += posted.message == WM_UPGRADE_STEP && !posted.hasText ? 1 : 0;
    EXPECT_EQ(steps, 75);
}

TEST_F(LinkCommandSocketTest, GreetingWithoutLoginSendsNoCredentials)
{
    StartSimulator("greeting_login = no\n");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    session.reset();
    WaitForDisconnects(1);
    EXPECT_TRUE(sim->Records("cmd", "username").empty());
    EXPECT_EQ(CountShown(op, "login"), 0);
    EXPECT_EQ(CloseMessages(), 1u);
}

TEST_F(LinkCommandSocketTest, StoredCredentialsAreReusedWithoutTheDialog)
{
    StartSimulator("");
    credentials.userName = "admin\n";
    credentials.password = "corvane\n";
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    EXPECT_EQ(CountShown(op, "login"), 0);
    EXPECT_EQ(CommandTexts(*sim, "username"), std::vector<std::string>{"admin\n"});
}

TEST_F(LinkCommandSocketTest, RefusedTwiceThenAcceptedShowsTheBoxTwiceAndAsksThreeTimes)
{
    StartSimulator("refuse_logins = 2\n");
    for (int attempt = 0; attempt < 3; ++attempt)
        AnswerLogin("admin", "corvane");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    EXPECT_EQ(CommandTexts(*sim, "login"),
              (std::vector<std::string>{"refused", "refused", "accepted"}));
    EXPECT_EQ(ShownKinds(op), (std::vector<std::string>{"login", "box", "login", "box", "login"}));
    for (const auto& shown : op.Boxes())
    {
        EXPECT_EQ(shown.text, kWrongCredentials);
        EXPECT_EQ(shown.title, "Corvane upgrade utility - Incorrect login username/password");
        EXPECT_EQ(shown.style, box::kSetForeground);
    }
    // Only one greeting: after a refusal the next name follows the dialog directly.
    EXPECT_EQ(sim->Records("cmd", "greeting").size(), 1u);
}

TEST_F(LinkCommandSocketTest, CancelAfterARefusalFailsTheLoginAndSendsNoCloseMessage)
{
    StartSimulator("refuse_logins = 1\n");
    AnswerLogin("admin", "corvane");
    op.AnswerLogin(std::nullopt);
    auto session = NewSession();
    EXPECT_FALSE(session->Login(credentials));
    session.reset();
    WaitForDisconnects(1);
    EXPECT_EQ(CloseMessages(), 0u);
    // The name typed before the refusal stays stored.
    EXPECT_EQ(credentials.userName, "admin\n");
}

TEST_F(LinkCommandSocketTest, ALoneFirstByteOfEachCredentialReplyIsReadPast)
{
    // The rest of each reply comes long after the client's pause: had the lone byte been taken
    // as the verdict, the refusal would go unnoticed and no box would show.
    StartSimulator("single_byte_reply = both\nsingle_byte_delay_ms = 8000\nrefuse_logins = 1\n");
    AnswerLogin("admin", "corvane");
    AnswerLogin("admin", "corvane");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    EXPECT_EQ(op.Boxes().size(), 1u);
    EXPECT_EQ(CommandTexts(*sim, "login"), (std::vector<std::string>{"refused", "accepted"}));
    // The session is in step with the appliance: a command gets its own reply.
    std::string reply;
    const std::string ver = "ver\n";
    ASSERT_EQ(session->Send(ver.data(), static_cast<int>(ver.size())), 4);
    ASSERT_TRUE(session->ReceiveUntil(reply, ">"));
    EXPECT_EQ(reply, "\r\nCorvane ver 4.2.1\r\n>");
}

TEST_F(LinkCommandSocketTest, ReceiveUntilFindsATerminatorSplitAcrossTwoChunks)
{
    // 199 filler bytes put "XY" across the boundary of the 200-byte reads.
    StartSimulator("greeting_login = no\nver_reply = " + std::string(199, 'a') + "XY>\n");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    const std::string ver = "ver\n";
    ASSERT_EQ(session->Send(ver.data(), 4), 4);
    std::string reply;
    ASSERT_TRUE(session->ReceiveUntil(reply, "XY"));
    EXPECT_EQ(reply, std::string(199, 'a') + "XY>");
}

TEST_F(LinkCommandSocketTest, AChunkWithAZeroByteAddsOnlyTheTextBeforeIt)
{
    StartSimulator("greeting_login = no\nzero_byte_chunk = ver\n");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    const std::string ver = "ver\n";
    ASSERT_EQ(session->Send(ver.data(), 4), 4);
    std::string reply;
    ASSERT_TRUE(session->ReceiveUntil(reply, ">"));
    // The prompt behind the zero byte does not count; the one that follows alone does.
    EXPECT_EQ(reply, "\r\nCorvane ver 4.2.1\r\n>");
    EXPECT_EQ(reply.find('\0'), std::string::npos);
    const auto chunks = CommandTexts(*sim, "reply");
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_NE(chunks[0].find('\0'), std::string::npos);
}

TEST_F(LinkCommandSocketTest, ADroppedConnectionEndsTheWaitWithFalse)
{
    StartSimulator("greeting_login = no\ndrop_on = ver\n");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(session->SendCommand("ver\n", ">"));
    // Well before the read time-out: the close itself ended the wait.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(LinkCommandSocketTest, CommandsAreSentWithoutTerminatingZeroAndAnsweredByTheirPrompt)
{
    StartSimulator("greeting_login = no\n");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    EXPECT_TRUE(session->SendCommand("cdb general system mailcheck 0\n", ">"));
    EXPECT_TRUE(session->SendCommand("ver\n", ""));
    EXPECT_EQ(CommandTexts(*sim, "command"),
              (std::vector<std::string>{"cdb general system mailcheck 0\n", "ver\n"}));
}

TEST_F(LinkCommandSocketTest, RebootClosesTheSocketWaitsAndALaterLoginReconnects)
{
    StartSimulator("down_seconds = 10\n");
    credentials.userName = "admin\n";
    credentials.password = "corvane\n";
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    const std::size_t before = notifier.Notifications().size();
    ASSERT_TRUE(session->Reboot(20000, credentials));
    const auto posted = notifier.Notifications();
    ASSERT_GT(posted.size(), before);
    EXPECT_EQ(posted[before].message, WM_UPGRADE_TICK);
    bool rebooting = false;
    for (const auto& notification : posted)
        rebooting =
            rebooting || (notification.text == "Rebooting Corvane" && notification.amount == 1);
    EXPECT_TRUE(rebooting);
    EXPECT_EQ(posted.back().message, WM_UPGRADE_STEP);
    EXPECT_FALSE(posted.back().hasText);
    EXPECT_EQ(CommandTexts(*sim, "command"), std::vector<std::string>{"reboot\n"});

    EXPECT_FALSE(session->IsConnected());
    ASSERT_TRUE(sim->WaitForRecords("cmd", "up", 1, 5000)) << sim->Log();
    ASSERT_TRUE(session->Login(credentials));
    EXPECT_EQ(CountShown(op, "login"), 0);
    session.reset();
    WaitForDisconnects(2);
    EXPECT_EQ(CloseMessages(), 1u);
}

TEST_F(LinkCommandSocketTest, RebootWithoutAConnectionShowsTheApplicationBox)
{
    StartSimulator("greeting_login = no\n");
    auto session = NewSession();
    ASSERT_TRUE(session->Login(credentials));
    session->Close();
    EXPECT_FALSE(session->Reboot(20000, credentials));
    const auto boxes = op.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].what, "application-box");
    EXPECT_EQ(boxes[0].text, "Cannot reboot Corvane");
    session.reset();
    WaitForDisconnects(1);
    EXPECT_EQ(CloseMessages(), 0u);
    EXPECT_TRUE(sim->Records("cmd", "command").empty());
}

TEST_F(LinkCommandSocketTest, ASessionThatNeverLoggedInSendsNothingOnDestruction)
{
    StartSimulator("");
    op.AnswerLogin(std::nullopt);
    {
        auto session = NewSession();
        EXPECT_FALSE(session->Login(credentials));
    }
    {
        auto unused = NewSession();
    }
    WaitForDisconnects(1);
    EXPECT_EQ(sim->Records("cmd", "connect").size(), 1u);
    EXPECT_EQ(CloseMessages(), 0u);
}

TEST_F(LinkCommandSocketTest, LoginWhereNothingListensFailsAtOnce)
{
    // The second appliance's namespace is up, but no simulator runs there.
    CCommandSocket session("192.168.42.252", 244, CLinkPorts{clock, notifier, op});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(session.Login(credentials));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(notifier.Notifications().empty());
}
} // namespace
