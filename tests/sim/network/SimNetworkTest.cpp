// The real corvane-sim in the test bed, driven from the desk namespace over real sockets.
#include "SimNetworkClient.h"

#include "tests/support/CSimulatorProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <set>
#include <string>
#include <thread>

namespace
{
const std::string kCloseMessage("\0\0\0\2\0\0\0\0", 8);

// Opening byte, greeting, user name and password; returns the verdict.
std::string LogIn(CSimTcpClient& client, const std::string& password = "corvane")
{
    EXPECT_TRUE(client.Send("Z"));
    EXPECT_NE(client.ReceiveUntil("login: ").find("login"), std::string::npos);
    EXPECT_TRUE(client.Send("admin\n"));
    EXPECT_EQ(client.ReceiveUntil("password: "), "\r\npassword: ");
    EXPECT_TRUE(client.Send(password + "\n"));
    return client.ReceiveUntil(password == "corvane" ? ">" : "login: ");
}

std::vector<std::string> Texts(const std::vector<CTranscriptRecord>& records)
{
    std::vector<std::string> texts;
    for (const auto& record : records)
        texts.push_back(record.Text());
    return texts;
}

TEST(SimCommandService, WalkThroughLoginAndCommandsIsRecordedInOrder)
{
    CSimulatorProcess sim("version = 4.2.1\n");
    CSimTcpClient client;
    ASSERT_TRUE(client.Connect(sim.Address(), 244));
    EXPECT_EQ(LogIn(client), "\r\nLogin successful\r\n>");
    const std::vector<std::pair<std::string, std::string>> exchanges = {
        {"cdb general system mailcheck 0\n", "\r\nsystem mailcheck = 0\r\n>"},
        {"ver\n", "\r\nCorvane ver 4.2.1\r\n>"},
        {"ls welcome.msg\n", "\r\nwelcome.msg\r\n>"},
        {"\n", "\r\n>"},
    };
    for (const auto& [command, reply] : exchanges)
    {
        ASSERT_TRUE(client.Send(command));
        EXPECT_EQ(client.ReceiveUntil(">"), reply) << command;
    }
    ASSERT_TRUE(client.Send(kCloseMessage));
    EXPECT_TRUE(client.WaitForClose());
    ASSERT_TRUE(sim.WaitForRecords("cmd", "disconnect", 1, 3000));

    const auto opening = sim.Records("cmd", "opening");
    ASSERT_EQ(opening.size(), 1u);
    EXPECT_EQ(opening[0].Get("hex"), "5a");
    EXPECT_EQ(Texts(sim.Records("cmd", "username")), std::vector<std::string>{"admin\n"});
    EXPECT_EQ(Texts(sim.Records("cmd", "password")), std::vector<std::string>{"corvane\n"});
    const auto commands = sim.Records("cmd", "command");
    const auto replies = sim.Records("cmd", "reply");
    ASSERT_EQ(commands.size(), exchanges.size());
    ASSERT_EQ(replies.size(), exchanges.size());
    for (std::size_t i = 0; i < exchanges.size(); ++i)
    {
        EXPECT_EQ(commands[i].Text(), exchanges[i].first);
        EXPECT_EQ(replies[i].Text(), exchanges[i].second);
    }
    const auto close = sim.Records("cmd", "close-message");
    ASSERT_EQ(close.size(), 1u);
    EXPECT_EQ(close[0].Get("hex"), "0000000200000000");
    // The whole exchange comes in the order it happened.
    std::vector<std::string> kinds;
    for (const auto& record : sim.Records("cmd"))
        kinds.push_back(record.Kind());
    const std::vector<std::string> start(kinds.begin(), kinds.begin() + 8);
    EXPECT_EQ(start, (std::vector<std::string>{"connect", "opening", "greeting", "username",
                                               "login-reply", "password", "login", "login-reply"}));
    EXPECT_EQ(kinds.back(), "disconnect");
}

TEST(SimCommandService, RefusedPasswordIsAnsweredWithLoginFailed)
{
    CSimulatorProcess sim("");
    CSimTcpClient client;
    ASSERT_TRUE(client.Connect(sim.Address(), 244));
    EXPECT_EQ(LogIn(client, "guess"), "\r\nLogin failed\r\nlogin: ");
    ASSERT_TRUE(client.Send("admin\n"));
    EXPECT_EQ(client.ReceiveUntil("password: "), "\r\npassword: ");
    ASSERT_TRUE(client.Send("corvane\n"));
    EXPECT_EQ(client.ReceiveUntil(">"), "\r\nLogin successful\r\n>");
}

TEST(SimCommandService, MalformedInputClosesTheConnectionAndTheServerGoesOn)
{
    CSimulatorProcess sim("");
    {
        CSimTcpClient wrongOpening;
        ASSERT_TRUE(wrongOpening.Connect(sim.Address(), 244));
        ASSERT_TRUE(wrongOpening.Send("GET / HTTP/1.0\r\n\r\n"));
        EXPECT_TRUE(wrongOpening.WaitForClose());
    }
    {
        CSimTcpClient longLine;
        ASSERT_TRUE(longLine.Connect(sim.Address(), 244));
        LogIn(longLine);
        ASSERT_TRUE(longLine.Send(std::string(2000, 'x')));
        EXPECT_NE(longLine.ReceiveUntil("too long").find("too long"), std::string::npos);
        EXPECT_TRUE(longLine.WaitForClose());
    }
    {
        CSimTcpClient junk;
        ASSERT_TRUE(junk.Connect(sim.Address(), 244));
        LogIn(junk);
        std::string bytes;
        for (int i = 0; i < 64; ++i)
            bytes += static_cast<char>(i * 37);
        ASSERT_TRUE(junk.Send(std::string(1, '\0') + bytes));
        EXPECT_TRUE(junk.WaitForClose());
    }
    EXPECT_TRUE(sim.IsRunning());
    CSimTcpClient after;
    ASSERT_TRUE(after.Connect(sim.Address(), 244));
    LogIn(after);
    ASSERT_TRUE(after.Send("ver\n"));
    EXPECT_EQ(after.ReceiveUntil(">"), "\r\nCorvane ver 4.2.1\r\n>");
    EXPECT_EQ(sim.Records("cmd", "binary").size(), 1u);
    EXPECT_EQ(sim.Records("cmd", "line-too-long").size(), 1u);
}

TEST(SimCommandService, ClientThatNeverReadsIsThrottledAndOthersAreStillServed)
{
    CSimulatorProcess sim("greeting_login = no\nhuge_reply = all\nhuge_reply_bytes = 1048576\n");
    CSimTcpClient flood;
    ASSERT_TRUE(flood.Connect(sim.Address(), 244));
    // 200 lines, each earning a reply of 1 MiB that this client never reads: the simulator
    // must stop taking its input instead of queueing 200 MiB.
    ASSERT_TRUE(flood.Send("Z" + std::string(200, '\n')));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(sim.Records("cmd", "command").size(), 50u);
    CSimTcpClient other;
    ASSERT_TRUE(other.Connect(sim.Address(), 244));
    ASSERT_TRUE(other.Send("Z"));
    EXPECT_EQ(other.ReceiveUntil(">"), "\r\nVeltrix Olvana Corvane mail server\r\n>");
}

TEST(SimCommandService, RebootRefusesConnectionsForTheDownTimeAndKeepsOnlyWrittenSettings)
{
    CSimulatorProcess sim("down_seconds = 2\n");
    CSimTcpClient client;
    ASSERT_TRUE(client.Connect(sim.Address(), 244));
    LogIn(client);
    for (const char* command :
         {"cdb general system mailcheck 0\n", "wdb general\n", "cdb general http MaxSessions 5\n"})
    {
        ASSERT_TRUE(client.Send(command));
        client.ReceiveUntil(">");
    }
    ASSERT_TRUE(client.Send("reboot\n"));
    EXPECT_EQ(client.ReceiveUntil("\n\n"), "\r\nRebooting...\r\n");
    EXPECT_TRUE(client.WaitForClose());

    CSimTcpClient during;
    EXPECT_FALSE(during.Connect(sim.Address(), 244, 500));
    ASSERT_TRUE(sim.WaitForRecords("cmd", "up", 1, 5000));
    CSimTcpClient again;
    ASSERT_TRUE(again.Connect(sim.Address(), 244));
    LogIn(again);
    ASSERT_TRUE(again.Send("pdb general\n"));
    EXPECT_EQ(again.ReceiveUntil(">"), "\r\nsystem mailcheck = 0\r\n>");
    ASSERT_TRUE(again.Send("ver\n"));
    EXPECT_EQ(again.ReceiveUntil(">"), "\r\nCorvane ver 4.2.1\r\n>");
    EXPECT_EQ(sim.ReadStateFile("general.db"), "system mailcheck 0\n");
    const auto reboot = sim.Records("cmd", "reboot");
    ASSERT_EQ(reboot.size(), 1u);
    EXPECT_EQ(reboot[0].Get("next_version"), "4.2.1");
}

TEST(SimCommandService, NeverBackKeepsRefusing)
{
    CSimulatorProcess::COptions options;
    options.timeScale = 10;
    CSimulatorProcess sim("never_back = yes\ndown_seconds = 1\ngreeting_login = no\n", options);
    CSimTcpClient client;
    ASSERT_TRUE(client.Connect(sim.Address(), 244));
    ASSERT_TRUE(client.Send("Z"));
    client.ReceiveUntil(">");
    ASSERT_TRUE(client.Send("reboot\n"));
    EXPECT_TRUE(client.WaitForClose());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    CSimTcpClient later;
    EXPECT_FALSE(later.Connect(sim.Address(), 244, 500));
    EXPECT_TRUE(sim.Records("cmd", "up").empty());
}

TEST(SimCommandService, SingleByteReplyArrivesAloneFirst)
{
    CSimulatorProcess::COptions options;
    options.timeScale = 4;
    CSimulatorProcess sim("single_byte_reply = password\n", options);
    CSimTcpClient client;
    ASSERT_TRUE(client.Connect(sim.Address(), 244));
    ASSERT_TRUE(client.Send("Zadmin\n"));
    client.ReceiveUntil("password: ");
    ASSERT_TRUE(client.Send("corvane\n"));
    // The rest follows 4000 ms / 4 later: what arrives within 300 ms is the lone byte.
    EXPECT_EQ(client.ReceiveUntil(">", 300), "\r");
    EXPECT_EQ(client.ReceiveUntil(">", 3000), "\nLogin successful\r\n>");
}

TEST(SimDiscovery, AnswersProbeAndQueryToTheSender)
{
    CSimulatorProcess sim("gateway = 192.168.42.1\n");
    CSimUdpClient udp;
    std::string bytes, sender;
    ASSERT_TRUE(udp.Broadcast(std::string(1, '\0')));
    ASSERT_TRUE(udp.Receive(bytes, sender));
    EXPECT_EQ(bytes, "\x02");
    EXPECT_EQ(sender, "192.168.42.253");
    ASSERT_TRUE(udp.Broadcast("\x02"));
    ASSERT_TRUE(udp.Receive(bytes, sender));
    EXPECT_EQ(bytes, std::string("\xc0\xa8\x2a\x01\xc0\xa8\x2a\xfd\xff\xff\xff\x00", 12));
    EXPECT_EQ(sender, "192.168.42.253");
    EXPECT_FALSE(udp.Receive(bytes, sender, 300));
    const auto datagrams = sim.Records("udp", "datagram");
    ASSERT_EQ(datagrams.size(), 2u);
    EXPECT_EQ(datagrams[0].Get("hex"), "00");
    EXPECT_EQ(datagrams[0].Get("from").rfind("192.168.42.10:", 0), 0u);
    EXPECT_EQ(sim.Records("udp", "sent").size(), 2u);
}

TEST(SimDiscovery, FaultsShapeTheReplies)
{
    {
        CSimulatorProcess sim("presence = twice\naddress_reply = other-sender\n");
        CSimUdpClient udp;
        std::string bytes, sender;
        udp.Broadcast(std::string(1, '\0'));
        ASSERT_TRUE(udp.Receive(bytes, sender));
        ASSERT_TRUE(udp.Receive(bytes, sender));
        EXPECT_EQ(bytes, "\x02");
        udp.Broadcast("\x02");
        ASSERT_TRUE(udp.Receive(bytes, sender));
        EXPECT_EQ(sender, "192.168.42.243");
        EXPECT_EQ(bytes.substr(4, 4), "\xc0\xa8\x2a\xfd");
    }
    {
        CSimulatorProcess sim("presence = none\naddress_reply = short\n");
        CSimUdpClient udp;
        std::string bytes, sender;
        udp.Broadcast(std::string(1, '\0'));
        EXPECT_FALSE(udp.Receive(bytes, sender, 500));
        udp.Broadcast("\x02");
        ASSERT_TRUE(udp.Receive(bytes, sender));
        EXPECT_EQ(bytes.size(), 8u);
    }
}

TEST(SimDiscovery, TwoAppliancesAnswerOneBroadcast)
{
    CSimulatorProcess first("version = 1\n");
    CSimulatorProcess::COptions second;
    second.appliance = "app2";
    CSimulatorProcess other("version = 2\n", second);
    CSimUdpClient udp;
    ASSERT_TRUE(udp.Broadcast(std::string(1, '\0')));
    std::set<std::string> senders;
    std::string bytes, sender;
    while (udp.Receive(bytes, sender, 500))
        senders.insert(sender);
    EXPECT_EQ(senders, (std::set<std::string>{"192.168.42.252", "192.168.42.253"}));
    CSimTcpClient client;
    ASSERT_TRUE(client.Connect(other.Address(), 244));
    LogIn(client);
    client.Send("ver\n");
    EXPECT_EQ(client.ReceiveUntil(">"), "\r\nCorvane ver 2\r\n>");
}

TEST(SimProcess, StopsCleanlyOnSigtermAndRecordsIt)
{
    CSimulatorProcess sim("");
    const int status = sim.Stop();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_FALSE(sim.Transcript().empty());
    EXPECT_EQ(sim.Transcript().back().Kind(), "stop");
}

TEST(SimProcess, SecondSimulatorOnTheSamePortsFailsWithAClearMessage)
{
    CSimulatorProcess sim("");
    try
    {
        CSimulatorProcess clash("");
        FAIL() << "a second simulator started on the same ports";
    }
    catch (const std::runtime_error& error)
    {
        EXPECT_NE(std::string(error.what()).find("cannot"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(sim.IsRunning());
}

TEST(SimProcess, BadScenarioIsRefusedWithItsLine)
{
    try
    {
        CSimulatorProcess sim("version = 1\nno_such_key = 2\n");
        FAIL() << "a bad scenario was accepted";
    }
    catch (const std::runtime_error& error)
    {
        EXPECT_NE(std::string(error.what()).find("line 2: unknown key 'no_such_key'"),
                  std::string::npos)
            << error.what();
    }
}
} // namespace
