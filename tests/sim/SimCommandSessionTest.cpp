#include "SimTestAppliance.h"

#include "engine/CVersionReply.h"
#include "engine/CWelcomeAnswer.h"
#include "sim/CCommandSession.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct CExchange
{
    std::string sent;
    bool closed = false;
    bool reboot = false;
    std::size_t sends = 0;
    std::vector<CSessionAction> actions;
};

CExchange Collect(const CSessionActions& actions)
{
    CExchange exchange;
    exchange.actions = actions;
    for (const auto& action : actions)
    {
        if (action.kind == CSessionAction::Kind::Send)
        {
            exchange.sent += action.bytes;
            ++exchange.sends;
        }
        exchange.closed |= action.kind == CSessionAction::Kind::Close;
        exchange.reboot |= action.kind == CSessionAction::Kind::Reboot;
    }
    return exchange;
}

class CommandSessionTest : public ::testing::Test
{
protected:
    void Start(const CScenario& scenario = CScenario())
    {
        m_bed = std::make_unique<CSimTestAppliance>(scenario);
        m_session = std::make_unique<CCommandSession>(m_bed->Appliance(), 1);
    }
    CExchange Feed(const std::string& bytes)
    {
        return Collect(m_session->Receive(bytes.data(), bytes.size()));
    }
    // Opening byte and a correct login; returns the verdict's bytes.
    std::string LogIn()
    {
        Feed("Z");
        Feed("admin\n");
        return Feed("corvane\n").sent;
    }

    std::unique_ptr<CSimTestAppliance> m_bed;
    std::unique_ptr<CCommandSession> m_session;
};

TEST_F(CommandSessionTest, AnyOpeningByteButZClosesWithoutAGreeting)
{
    for (const std::string& opening :
         std::vector<std::string>{"z", "\n", std::string(1, '\0'), "ZZ"})
    {
        Start();
        const CExchange exchange = Feed(opening);
        if (opening == "ZZ")
        {
            EXPECT_FALSE(exchange.closed);
            continue;
        }
        EXPECT_TRUE(exchange.closed) << opening;
        EXPECT_EQ(exchange.sent, "");
        EXPECT_TRUE(m_session->IsClosed());
    }
}

TEST_F(CommandSessionTest, GreetingHoldsLoginOnlyWhenTheScenarioAsksForOne)
{
    Start();
    const std::string withLogin = Feed("Z").sent;
    EXPECT_NE(withLogin.find("login"), std::string::npos);
    EXPECT_LE(withLogin.size(), 200u);

    CScenario open;
    open.greetingLogin = false;
    Start(open);
    const std::string withoutLogin = Feed("Z").sent;
    EXPECT_EQ(withoutLogin.find("login"), std::string::npos);
    EXPECT_EQ(withoutLogin.back(), '>');
    // Without a login the session takes commands at once.
    EXPECT_EQ(Feed("ver\n").sent, "\r\nCorvane ver 4.2.1\r\n>");
}

TEST_F(CommandSessionTest, CorrectLoginGetsTheSuccessTextAndThePrompt)
{
    Start();
    const std::string verdict = LogIn();
    EXPECT_EQ(verdict.find("Login failed"), std::string::npos);
    EXPECT_EQ(verdict.back(), '>');
    EXPECT_EQ(Feed("\n").sent, "\r\n>");
}

TEST_F(CommandSessionTest, WrongCredentialsGetLoginFailedAndTheNextLineIsAUserNameAgain)
{
    Start();
    Feed("Z");
    EXPECT_EQ(Feed("admin\n").sent, "\r\npassword: ");
    EXPECT_NE(Feed("wrong\n").sent.find("Login failed"), std::string::npos);
    // No new greeting: the next line is taken as the user name.
    EXPECT_EQ(Feed("root\n").sent, "\r\npassword: ");
    EXPECT_NE(Feed("corvane\n").sent.find("Login failed"), std::string::npos);
    Feed("admin\n");
    EXPECT_EQ(Feed("corvane\n").sent.find("Login failed"), std::string::npos);
    // Credentials are compared without a carriage return a telnet client adds.
    Start();
    Feed("Z");
    Feed("admin\r\n");
    EXPECT_EQ(Feed("corvane\r\n").sent, "\r\nLogin successful\r\n>");
}

TEST_F(CommandSessionTest, RefusesTheFirstCorrectLoginsAsTheScenarioSays)
{
    CScenario scenario;
    scenario.refuseLogins = 2;
    Start(scenario);
    Feed("Z");
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        Feed("admin\n");
        EXPECT_NE(Feed("corvane\n").sent.find("Login failed"), std::string::npos) << attempt;
    }
    Feed("admin\n");
    EXPECT_EQ(Feed("corvane\n").sent.find("Login failed"), std::string::npos);
    // The count is the appliance's, not the connection's.
    CCommandSession second(m_bed->Appliance(), 2);
    second.Receive("Z", 1);
    second.Receive("admin\n", 6);
    EXPECT_EQ(Collect(second.Receive("corvane\n", 8)).sent, "\r\nLogin successful\r\n>");
}

TEST_F(CommandSessionTest, SingleByteReplyComesAsOneByteThenTheRestAfterAPause)
{
    CScenario scenario;
    scenario.singleByteReply = CScenario::SingleByte::Password;
    scenario.singleByteDelayMs = 4000;
    Start(scenario);
    Feed("Z");
    EXPECT_EQ(Feed("admin\n").sends, 1u);
    const CExchange verdict = Feed("corvane\n");
    ASSERT_EQ(verdict.actions.size(), 2u);
    EXPECT_EQ(verdict.actions[0].bytes.size(), 1u);
    EXPECT_EQ(verdict.actions[1].delayMs, 4000);
    // The stream holds the same bytes as without the fault.
    EXPECT_EQ(verdict.sent, "\r\nLogin successful\r\n>");
}

// The replies as the client reads them: the version query's and the welcome test's parsers are
// the client's own, run over the simulator's exact bytes.
TEST_F(CommandSessionTest, VersionReplyParsesToTheRunningVersion)
{
    for (const std::string version : {"4.2.1", "5.0 beta", "The 6th"})
    {
        CScenario scenario;
        scenario.version = version;
        Start(scenario);
        LogIn();
        const std::string reply = Feed("ver\n").sent;
        std::string parsed;
        ASSERT_TRUE(CVersionReply::Parse(reply, parsed)) << reply;
        EXPECT_EQ(parsed, version);
    }
}

TEST_F(CommandSessionTest, WelcomeReplyReadsAsPresentOrMissing)
{
    for (const bool present : {true, false})
    {
        CScenario scenario;
        scenario.welcomePresent = present;
        Start(scenario);
        LogIn();
        const std::string reply = Feed("ls welcome.msg\n").sent;
        EXPECT_EQ(CWelcomeAnswer::Parse(reply),
                  present ? CWelcomeAnswer::Result::Present : CWelcomeAnswer::Result::Missing)
            << reply;
    }
}

TEST_F(CommandSessionTest, ScenarioVerReplyIsSentAsGiven)
{
    CScenario scenario;
    scenario.hasVerReply = true;
    scenario.verReply = "no such reply\r\n>";
    Start(scenario);
    LogIn();
    const std::string reply = Feed("ver\n").sent;
    EXPECT_EQ(reply, "no such reply\r\n>");
    std::string parsed;
    EXPECT_FALSE(CVersionReply::Parse(reply, parsed));
}

struct CReplyCase
{
    std::string command;
    std::string reply;
};

class CommandReplyTest : public CommandSessionTest, public ::testing::WithParamInterface<CReplyCase>
{
};

TEST_P(CommandReplyTest, AnswersWithTextEndingInThePrompt)
{
    Start();
    LogIn();
    EXPECT_EQ(Feed(GetParam().command).sent, GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandReplyTest,
    ::testing::Values(
        CReplyCase{"\n", "\r\n>"},
        CReplyCase{"cdb general system mailcheck 0\n", "\r\nsystem mailcheck = 0\r\n>"},
        CReplyCase{"cdb general system NewUserGreeting Welcome!\n",
                   "\r\nsystem NewUserGreeting = Welcome!\r\n>"},
        CReplyCase{"ddb general system catchall\n", "\r\nsystem catchall not set\r\n>"},
        CReplyCase{"ddb general smtp MaxResolves 3\n", "\r\nsmtp MaxResolves reset to 3\r\n>"},
        CReplyCase{"wdb general\n", "\r\nDatabase general written\r\n>"},
        CReplyCase{"cdb general system\n", "\r\nUsage: cdb DATABASE GROUP NAME VALUE\r\n>"},
        CReplyCase{"cdb special a b c\n", "\r\nUnknown database special\r\n>"},
        CReplyCase{"ls nothing.txt\n", "\r\nCan't open nothing.txt\r\n>"},
        CReplyCase{"frobnicate now\n", "\r\nUnknown command: frobnicate\r\n>"},
        CReplyCase{std::string("ver\0\n", 5), "\r\nInvalid characters in command\r\n>"},
        CReplyCase{"\xff\xfe\xfd\n", "\r\nInvalid characters in command\r\n>"}));

TEST_F(CommandSessionTest, WrittenSettingsSurviveARestartAndUnwrittenOnesDoNot)
{
    Start();
    LogIn();
    Feed("cdb general system mailcheck 0\n");
    Feed("wdb general\n");
    Feed("cdb general http MaxSessions 5\n");
    Feed("ddb general system mailcheck\n");
    const CExchange reboot = Feed("reboot\n");
    EXPECT_TRUE(reboot.reboot);
    EXPECT_EQ(reboot.sent.find('>'), std::string::npos);
    EXPECT_TRUE(m_session->IsClosed());

    m_bed->Appliance().Restart();
    std::string value;
    EXPECT_TRUE(m_bed->Appliance().Database().Get("system", "mailcheck", value));
    EXPECT_EQ(value, "0");
    EXPECT_FALSE(m_bed->Appliance().Database().Get("http", "MaxSessions", value));
}

TEST_F(CommandSessionTest, CloseMessageIsRecognisedInAnyPieces)
{
    Start();
    LogIn();
    EXPECT_FALSE(Feed(std::string("\0\0\0", 3)).closed);
    const CExchange exchange = Feed(std::string("\2\0\0\0\0", 5));
    EXPECT_TRUE(exchange.closed);
    EXPECT_EQ(exchange.sent, "");
    EXPECT_NE(m_bed->TranscriptText().find("\"kind\":\"close-message\""), std::string::npos);
}

TEST_F(CommandSessionTest, OtherBinaryDataClosesTheConnection)
{
    Start();
    LogIn();
    EXPECT_TRUE(Feed(std::string("\0\1\2\3\4\5\6\7", 8)).closed);
    EXPECT_NE(m_bed->TranscriptText().find("\"kind\":\"binary\""), std::string::npos);
}

TEST_F(CommandSessionTest, OverLongLineIsAnsweredAndClosedInEveryState)
{
    const std::string longLine(CCommandSession::kMaxLineLength + 1, 'a');
    for (int loggedIn = 0; loggedIn < 2; ++loggedIn)
    {
        Start();
        if (loggedIn)
            LogIn();
        else
            Feed("Z");
        const CExchange exchange = Feed(longLine);
        EXPECT_TRUE(exchange.closed);
        EXPECT_NE(exchange.sent.find("too long"), std::string::npos);
    }
    // A line of exactly the limit is still a line.
    Start();
    LogIn();
    EXPECT_FALSE(Feed(std::string(CCommandSession::kMaxLineLength, 'a') + "\n").closed);
}

TEST_F(CommandSessionTest, ByteByByteInputGivesTheSameAnswersAsWholeLines)
{
    const std::string input = "Zadmin\ncorvane\nver\ncdb general a b c\nls welcome.msg\n\n";
    Start();
    const std::string whole = Feed(input).sent;
    Start();
    std::string pieces;
    for (char c : input)
        pieces += Feed(std::string(1, c)).sent;
    EXPECT_EQ(pieces, whole);
    EXPECT_NE(whole.find("Corvane ver 4.2.1"), std::string::npos);
}

TEST_F(CommandSessionTest, DropsOrFailsTheNthCommandCountedOverConnections)
{
    CScenario scenario;
    scenario.dropAtCommand = 3;
    scenario.failCommand = 4;
    Start(scenario);
    LogIn();
    EXPECT_FALSE(Feed("\n").closed);
    EXPECT_FALSE(Feed("\n").closed);
    const CExchange dropped = Feed("cdb general http QueueSize 50\n");
    EXPECT_TRUE(dropped.closed);
    EXPECT_EQ(dropped.sent, "");

    CCommandSession next(m_bed->Appliance(), 2);
    const std::string login = "Zadmin\ncorvane\n";
    next.Receive(login.data(), login.size());
    const CExchange failed = Collect(next.Receive("\n", 1));
    EXPECT_TRUE(failed.closed);
    EXPECT_NE(failed.sent.find("Error"), std::string::npos);
    EXPECT_EQ(failed.sent.find('>'), std::string::npos);
}

TEST_F(CommandSessionTest, DropOnMatchesTheBeginningOfTheCommand)
{
    CScenario scenario;
    scenario.dropOn = "wdb";
    Start(scenario);
    LogIn();
    EXPECT_FALSE(Feed("cdb general system wdb 1\n").closed);
    EXPECT_TRUE(Feed("wdb general\n").closed);
}

TEST_F(CommandSessionTest, ZeroByteChunkHidesThePromptUntilTheSecondChunk)
{
    CScenario scenario;
    scenario.zeroByteChunk.mode = CScenarioMatch::Mode::All;
    Start(scenario);
    LogIn();
    const CExchange exchange = Feed("cdb general system mailcheck 0\n");
    ASSERT_EQ(exchange.actions.size(), 2u);
    const std::string& first = exchange.actions[0].bytes;
    ASSERT_NE(first.find('\0'), std::string::npos);
    EXPECT_EQ(std::string(first.c_str()).find('>'), std::string::npos);
    EXPECT_EQ(exchange.actions[1].bytes, ">");
}

TEST_F(CommandSessionTest, HugeReplyIsPaddedBeforeItsPrompt)
{
    CScenario scenario;
    scenario.hugeReply.mode = CScenarioMatch::Mode::Some;
    scenario.hugeReply.items = {"ver"};
    scenario.hugeReplyBytes = 5000;
    Start(scenario);
    LogIn();
    const std::string reply = Feed("ver\n").sent;
    EXPECT_GE(reply.size(), 5000u);
    EXPECT_EQ(reply.find('>'), reply.size() - 1);
    std::string parsed;
    ASSERT_TRUE(CVersionReply::Parse(reply, parsed));
    EXPECT_EQ(parsed, "4.2.1");
    EXPECT_LT(Feed("\n").sent.size(), 10u);
}

TEST_F(CommandSessionTest, SlowRepliesWaitBeforeEveryAnswer)
{
    CScenario scenario;
    scenario.slowReplyMs = 2500;
    Start(scenario);
    for (const std::string& input :
         {std::string("Z"), std::string("admin\n"), std::string("corvane\n"), std::string("ver\n")})
    {
        const CExchange exchange = Feed(input);
        ASSERT_EQ(exchange.actions.size(), 1u) << input;
        EXPECT_EQ(exchange.actions[0].delayMs, 2500) << input;
    }
}

TEST_F(CommandSessionTest, RandomJunkIsAnsweredOrClosedWithBoundedOutput)
{
    unsigned state = 7;
    for (int round = 0; round < 200; ++round)
    {
        Start();
        std::string junk;
        const int length = 1 + round * 13 % 3000;
        for (int i = 0; i < length; ++i)
        {
            state = state * 1103515245 + 12345;
            junk += static_cast<char>(state >> 16);
        }
        const std::string input = (round % 2 ? "Zadmin\ncorvane\n" : "Z") + junk;
        const CExchange exchange = Feed(input);
        // Every answer is bounded by the input: no line yields more than a short reply.
        EXPECT_LT(exchange.sent.size(), 200 + 64 * (input.size() + 1));
    }
}
} // namespace
