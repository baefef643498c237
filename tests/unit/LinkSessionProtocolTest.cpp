#include "engine/UpgradeMessages.h"
#include "link/CSessionProtocol.h"
#include "link/CredentialStore.h"
#include "platform/Clock.h"
#include "platform/MessageBoxStyle.h"
#include "platform/Socket.h"
#include "platform/posix/CRecordingNotifier.h"
#include "platform/posix/CScriptedOperator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace
{
// A clock that records the sleeps asked of it and never sleeps.
class CRecordingClock : public IClock
{
public:
    void Sleep(int milliseconds) override { sleeps.push_back(milliseconds); }
    std::uint32_t TickCount() override { return 0; }
    std::vector<int> sleeps;
};

// A byte stream that plays back scripted reads and records every send. A read beyond the
// script fails, as a read time-out does.
class CScriptedStream : public IByteStream
{
public:
    static constexpr int kClosed = 0;

    void AddRead(const std::string& bytes) { m_reads.push_back(bytes); }
    void AddClose() { m_reads.push_back(std::nullopt); }

    int Send(const void* data, int length) override
    {
        sent.emplace_back(static_cast<const char*>(data), static_cast<std::size_t>(length));
        return length;
    }
    int Receive(void* buffer, int capacity) override
    {
        ++reads;
        if (m_reads.empty())
            return kSocketError;
        const std::optional<std::string> next = m_reads.front();
        m_reads.pop_front();
        if (!next)
            return kClosed;
        const int length = static_cast<int>(next->size());
        EXPECT_LE(length, capacity);
        std::memcpy(buffer, next->data(), next->size());
        return length;
    }

    std::vector<std::string> sent;
    int reads = 0;

private:
    std::deque<std::optional<std::string>> m_reads;
};

class CMemoryCredentials : public ICredentialStore
{
public:
    void SetUserName(std::string name) override { userName = std::move(name); }
    void SetPassword(std::string password) override { this->password = std::move(password); }
    void CopyUserName(std::string& name) const override { name = userName; }
    void CopyPassword(std::string& password) const override { password = this->password; }
    std::string userName;
    std::string password;
};

class SessionProtocolTest : public ::testing::Test
{
protected:
    bool LogIn()
    {
        std::string name;
        std::string password;
        credentials.CopyUserName(name);
        credentials.CopyPassword(password);
        return protocol.LogIn(credentials, name, password);
    }
    int CountDialogs(const std::string& what) const
    {
        int count = 0;
        for (const auto& shown : op.History())
            count += shown.what == what ? 1 : 0;
        return count;
    }

    CRecordingClock clock;
    CRecordingNotifier notifier;
    CScriptedOperator op;
    CScriptedStream stream;
    CMemoryCredentials credentials;
    CSessionProtocol protocol{stream, CLinkPorts{clock, notifier, op}};
};

const char kRefused[] = "Login failed\n";

TEST_F(SessionProtocolTest, PauseSleepsTwentyFiveSlicesAndMovesBothBars)
{
    struct Case
    {
        int ms;
        int slice;
    };
    for (const Case& c : {Case{3000, 120}, Case{75000, 3000}, Case{3010, 120}, Case{-5, 0}})
    {
        CRecordingClock pauseClock;
        CRecordingNotifier pauseNotifier;
        CProgressPause(pauseClock, pauseNotifier).Wait(c.ms);
        EXPECT_EQ(pauseClock.sleeps, std::vector<int>(25, c.slice)) << c.ms;
        const auto posted = pauseNotifier.Notifications();
        ASSERT_EQ(posted.size(), 51u);
        for (std::size_t i = 0; i < 50; ++i)
        {
            EXPECT_EQ(posted[i].message, i % 2 == 0 ? WM_UPGRADE_STEP : WM_UPGRADE_TICK);
            EXPECT_FALSE(posted[i].hasText);
            EXPECT_EQ(posted[i].amount, 1);
        }
        EXPECT_EQ(posted[50].message, WM_UPGRADE_TICK_RESET);
        EXPECT_EQ(posted[50].amount, 0);
    }
}

TEST_F(SessionProtocolTest, ReceiveUntilJoinsChunksAndStopsAtTheTerminator)
{
    struct Case
    {
        std::vector<std::string> chunks;
        std::string terminator;
        bool result;
        std::string reply;
        int reads;
    };
    const std::string withZero("ab\0cd", 5);
    const std::vector<Case> cases = {
        {{"abc", "de>"}, ">", true, "abcde>", 2},
        {{"--EN", "D--", "more"}, "END", true, "--END--", 2},
        {{withZero, "x>"}, ">", true, "abx>", 2},
        {{"anything"}, "", true, "anything", 1},
        {{"no prompt", "still none"}, ">", false, "no promptstill none", 3},
    };
    for (const Case& c : cases)
    {
        CScriptedStream chunks;
        for (const auto& chunk : c.chunks)
            chunks.AddRead(chunk);
        CSessionProtocol reader(chunks, CLinkPorts{clock, notifier, op});
        std::string reply;
        EXPECT_EQ(reader.ReceiveUntil(reply, c.terminator), c.result) << c.reply;
        EXPECT_EQ(reply, c.reply);
        EXPECT_EQ(chunks.reads, c.reads) << c.reply;
    }
}

TEST_F(SessionProtocolTest, ReceiveUntilEndsWhenThePeerCloses)
{
    stream.AddRead("partial");
    stream.AddClose();
    stream.AddRead(">");
    std::string reply;
    EXPECT_FALSE(protocol.ReceiveUntil(reply, ">"));
    EXPECT_EQ(reply, "partial");
    EXPECT_EQ(stream.reads, 2);
}

TEST_F(SessionProtocolTest, ReceiveUntilWithEmptyTerminatorAcceptsAClosedPeer)
{
    stream.AddClose();
    std::string reply;
    EXPECT_TRUE(protocol.ReceiveUntil(reply, ""));
    EXPECT_EQ(stream.reads, 1);
}

TEST_F(SessionProtocolTest, ReceiveUntilGivesUpOnAReplyWithoutEnd)
{
    const std::string chunk(200, 'x');
    for (std::size_t i = 0; i <= CSessionProtocol::kMaxReplyLength / chunk.size() + 1; ++i)
        stream.AddRead(chunk);
    std::string reply;
    EXPECT_FALSE(protocol.ReceiveUntil(reply, ">"));
    EXPECT_GT(reply.size(), CSessionProtocol::kMaxReplyLength);
    EXPECT_LE(reply.size(), CSessionProtocol::kMaxReplyLength + chunk.size());
}

TEST_F(SessionProtocolTest, GreetingWithoutLoginSendsOnlyTheOpeningByte)
{
    for (const bool closed : {false, true})
    {
        CScriptedStream greeting;
        if (closed)
            greeting.AddClose();
        else
            greeting.AddRead("Welcome to Corvane\r\n> ");
        CSessionProtocol session(greeting, CLinkPorts{clock, notifier, op});
        EXPECT_TRUE(session.LogIn(credentials, "", ""));
        EXPECT_EQ(greeting.sent, std::vector<std::string>{"Z"});
    }
    EXPECT_EQ(CountDialogs("login"), 0);
    EXPECT_EQ(notifier.StatusTexts(),
              (std::vector<std::string>{"Receiving connection data", "Receiving connection data"}));
}

TEST_F(SessionProtocolTest, GreetingReadErrorFailsTheLogin)
{
    EXPECT_FALSE(LogIn());
    EXPECT_EQ(stream.sent, std::vector<std::string>{"Z"});
}

TEST_F(SessionProtocolTest, StoredCredentialsAreSentWithoutTheDialog)
{
    credentials.userName = "admin\n";
    credentials.password = "secret\n";
    stream.AddRead("Corvane login: ");
    stream.AddRead("Password: ");
    stream.AddRead("Welcome\n> ");
    EXPECT_TRUE(LogIn());
    EXPECT_EQ(stream.sent, (std::vector<std::string>{"Z", "admin\n", "secret\n"}));
    EXPECT_EQ(CountDialogs("login"), 0);
    EXPECT_EQ(notifier.StatusTexts(),
              (std::vector<std::string>{"Receiving connection data", "Receiving login data",
                                        "Validating username and password"}));
}

TEST_F(SessionProtocolTest, TypedCredentialsGetALineFeedAndAreStored)
{
    op.AnswerLogin(std::make_pair(std::string("admin"), std::string("pw")));
    stream.AddRead("login: ");
    stream.AddRead("Password: ");
    stream.AddRead("ok");
    EXPECT_TRUE(LogIn());
    EXPECT_EQ(stream.sent, (std::vector<std::string>{"Z", "admin\n", "pw\n"}));
    EXPECT_EQ(credentials.userName, "admin\n");
    EXPECT_EQ(credentials.password, "pw\n");
}

TEST_F(SessionProtocolTest, ALoneFirstByteOfACredentialReplyIsReplacedByTheNextRead)
{
    struct Case
    {
        std::vector<std::string> afterGreeting;
        bool result;
        int reads;
    };
    const std::vector<Case> cases = {
        // A lone byte before the password verdict hides nothing: the next read is the verdict.
        {{"P", "assword:", "\n", kRefused}, false, 5},
        {{"P", "assword:", "\n", "Welcome"}, true, 5},
        // Two bytes are a reply of their own; the refusal that follows is never read.
        {{"Pa", "ok", kRefused}, true, 3},
        {{"Password:", "!", "Welcome"}, true, 4},
    };
    for (const Case& c : cases)
    {
        CScriptedStream replies;
        replies.AddRead("login:");
        for (const auto& chunk : c.afterGreeting)
            replies.AddRead(chunk);
        CScriptedOperator once;
        once.AnswerLogin(std::make_pair(std::string("admin"), std::string("pw")));
        CMemoryCredentials store;
        CSessionProtocol session(replies, CLinkPorts{clock, notifier, once});
        EXPECT_EQ(session.LogIn(store, "", ""), c.result) << c.afterGreeting.back();
        EXPECT_EQ(replies.reads, c.reads) << c.afterGreeting.back();
    }
}

TEST_F(SessionProtocolTest, RefusedLoginsShowTheBoxAndAskAgainUntilAccepted)
{
    credentials.userName = "old\n";
    credentials.password = "stale\n";
    op.AnswerLogin(std::make_pair(std::string("admin"), std::string("wrong")));
    op.AnswerLogin(std::make_pair(std::string("admin"), std::string("right")));
    stream.AddRead("login:");
    for (const char* verdict : {kRefused, kRefused, "Welcome"})
    {
        stream.AddRead("Password:");
        stream.AddRead(verdict);
    }
    EXPECT_TRUE(LogIn());
    EXPECT_EQ(stream.sent, (std::vector<std::string>{"Z", "old\n", "stale\n", "admin\n", "wrong\n",
                                                     "admin\n", "right\n"}));
    const auto boxes = op.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& shown : boxes)
    {
        EXPECT_EQ(shown.text, "Either the username or password entered is incorrect. Make sure "
                              "you login as administrator.");
        EXPECT_EQ(shown.title, "Corvane upgrade utility - Incorrect login username/password");
        EXPECT_EQ(shown.style, box::kSetForeground);
    }
    EXPECT_EQ(CountDialogs("login"), 2);
    EXPECT_EQ(credentials.password, "right\n");
}

TEST_F(SessionProtocolTest, CancelInTheLoginDialogFailsWithoutSendingCredentials)
{
    op.AnswerLogin(std::nullopt);
    stream.AddRead("login:");
    EXPECT_FALSE(LogIn());
    EXPECT_EQ(stream.sent, std::vector<std::string>{"Z"});
    EXPECT_TRUE(op.Boxes().empty());
    EXPECT_TRUE(credentials.userName.empty());
}

TEST_F(SessionProtocolTest, APeerThatClosesDuringTheLoginFailsIt)
{
    credentials.userName = "admin\n";
    credentials.password = "pw\n";
    stream.AddRead("login:");
    stream.AddRead("Password:");
    stream.AddClose();
    EXPECT_FALSE(LogIn());
}
} // namespace
