#include "SimTestAppliance.h"

#include "sim/CFtpCommand.h"
#include "sim/CFtpSession.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::uint32_t Address(const char* text)
{
    in_addr address{};
    inet_pton(AF_INET, text, &address);
    return address.s_addr;
}

struct CHostPortCase
{
    std::string argument;
    bool valid;
    std::string address;
    std::uint16_t port;
};

class HostPortTest : public ::testing::TestWithParam<CHostPortCase>
{
};

TEST_P(HostPortTest, ParsesSixDecimalBytes)
{
    const CHostPortCase& c = GetParam();
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    ASSERT_EQ(CFtpCommand::ParseHostPort(c.argument, address, port), c.valid);
    if (!c.valid)
        return;
    EXPECT_EQ(address, Address(c.address.c_str()));
    EXPECT_EQ(port, c.port);
    EXPECT_EQ(CFtpCommand::FormatHostPort(address, port), c.argument);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, HostPortTest,
    ::testing::Values(CHostPortCase{"192,168,42,10,133,127", true, "192.168.42.10", 34175},
                      CHostPortCase{"0,0,0,0,0,1", true, "0.0.0.0", 1},
                      CHostPortCase{"255,255,255,255,255,255", true, "255.255.255.255", 65535},
                      CHostPortCase{"192,168,42,10,256,1", false, "", 0},
                      CHostPortCase{"192,168,42,10,1", false, "", 0},
                      CHostPortCase{"192,168,42,10,1,2,3", false, "", 0},
                      CHostPortCase{"192,168,42,10,1,", false, "", 0},
                      CHostPortCase{"192,168,42,10,0001,2", false, "", 0},
                      CHostPortCase{" 192,168,42,10,1,2", false, "", 0},
                      CHostPortCase{"-1,168,42,10,1,2", false, "", 0},
                      CHostPortCase{"", false, "", 0}));

TEST(FtpCommandTest, SplitsVerbAndArgumentAndRefusesControlBytes)
{
    const CFtpCommand stor("stor corvane.sys\r\n");
    EXPECT_TRUE(stor.IsValid());
    EXPECT_EQ(stor.Verb(), "STOR");
    EXPECT_EQ(stor.Argument(), "corvane.sys");
    const CFtpCommand spaced("PASS two words\n");
    EXPECT_EQ(spaced.Argument(), "two words");
    EXPECT_FALSE(CFtpCommand(std::string("USER a\0b\r\n", 10)).IsValid());
    EXPECT_FALSE(CFtpCommand("\r\n").IsValid());
    EXPECT_FALSE(CFtpCommand("STORE x\r\n").IsValid());
    EXPECT_FALSE(CFtpCommand("ST1R x\r\n").IsValid());
}

class CFakeDataPort : public IFtpDataPort
{
public:
    bool OpenPassive(std::uint32_t& address, std::uint16_t& port) override
    {
        address = Address("192.168.42.253");
        port = 50000;
        ++passiveOpened;
        return passiveWorks;
    }
    void ClosePassive() override { ++passiveClosed; }
    void StartStore(const std::string& name, Mode mode, std::uint32_t address, std::uint16_t port,
                    bool ascii, bool dropTransfer) override
    {
        stores.push_back({name, mode, address, port, ascii, dropTransfer});
    }

    struct CStore
    {
        std::string name;
        Mode mode;
        std::uint32_t address;
        std::uint16_t port;
        bool ascii;
        bool drop;
    };
    std::vector<CStore> stores;
    bool passiveWorks = true;
    int passiveOpened = 0;
    int passiveClosed = 0;
};

class FtpSessionTest : public ::testing::Test
{
protected:
    void Start(const CScenario& scenario = CScenario())
    {
        m_bed = std::make_unique<CSimTestAppliance>(scenario);
        m_session =
            std::make_unique<CFtpSession>(m_bed->Appliance(), m_port, 1, Address("192.168.42.10"));
    }
    std::string Say(const std::string& line)
    {
        return Text(m_session->Receive(line.data(), line.size()));
    }
    static std::string Text(const CSessionActions& actions)
    {
        std::string text;
        for (const auto& action : actions)
            text += action.kind == CSessionAction::Kind::Close ? "<close>" : action.bytes;
        return text;
    }
    void LogIn()
    {
        Say("USER admin\r\n");
        ASSERT_EQ(Say("PASS corvane\r\n"), "230 User logged in\r\n");
    }

    CFakeDataPort m_port;
    std::unique_ptr<CSimTestAppliance> m_bed;
    std::unique_ptr<CFtpSession> m_session;
};

TEST_F(FtpSessionTest, GreetsAndLogsInWithTheScenarioCredentialsOnly)
{
    Start();
    EXPECT_EQ(Text(m_session->Greet()), "220 Corvane FTP server ready\r\n");
    EXPECT_EQ(Say("PASS corvane\r\n"), "503 Login with USER first\r\n");
    EXPECT_EQ(Say("USER admin\r\n"), "331 Password required for admin\r\n");
    EXPECT_EQ(Say("PASS wrong\r\n"), "530 Login incorrect\r\n");
    EXPECT_EQ(Say("TYPE I\r\n"), "530 Please login with USER and PASS\r\n");
    EXPECT_EQ(Say("USER root\r\n"), "331 Password required for root\r\n");
    EXPECT_EQ(Say("PASS corvane\r\n"), "530 Login incorrect\r\n");
    LogIn();
}

TEST_F(FtpSessionTest, AnswersTheUploadCommandsAsAWinInetClientSendsThem)
{
    Start();
    LogIn();
    EXPECT_EQ(Say("SYST\r\n"), "215 UNIX Type: L8\r\n");
    EXPECT_EQ(Say("PWD\r\n"), "257 \"/\" is the current directory\r\n");
    EXPECT_EQ(Say("CWD /\r\n"), "250 Directory successfully changed\r\n");
    EXPECT_EQ(Say("CWD /etc\r\n"), "550 Failed to change directory\r\n");
    EXPECT_EQ(Say("TYPE I\r\n"), "200 Type set to I\r\n");
    EXPECT_EQ(Say("TYPE E\r\n"), "504 Command not implemented for that parameter\r\n");
    EXPECT_EQ(Say("NOOP\r\n"), "200 NOOP ok\r\n");
    EXPECT_EQ(Say("STOR corvane.sys\r\n"), "425 Use PORT or PASV first\r\n");
    EXPECT_EQ(Say("PORT 192,168,42,10,195,80\r\n"), "200 PORT command successful\r\n");
    EXPECT_EQ(Say("STOR corvane.sys\r\n"),
              "150 Opening BINARY mode data connection for corvane.sys\r\n");
    ASSERT_EQ(m_port.stores.size(), 1u);
    EXPECT_EQ(m_port.stores[0].mode, IFtpDataPort::Mode::Active);
    EXPECT_EQ(m_port.stores[0].address, Address("192.168.42.10"));
    EXPECT_EQ(m_port.stores[0].port, 50000);
    EXPECT_FALSE(m_port.stores[0].ascii);
    EXPECT_TRUE(m_session->IsBusy());

    // Lines during the transfer wait for its end.
    EXPECT_EQ(Say("NOOP\r\n"), "");
    CFtpSession::CTransferResult stored;
    stored.size = 3;
    stored.sha256 = "ab";
    EXPECT_EQ(Text(m_session->TransferFinished(stored)),
              "226 Transfer complete\r\n200 NOOP ok\r\n");
    EXPECT_NE(m_bed->TranscriptText().find("\"kind\":\"stored\""), std::string::npos);
    // The data mode is used up by the transfer.
    EXPECT_EQ(Say("STOR cui.tar\r\n"), "425 Use PORT or PASV first\r\n");
    EXPECT_EQ(Say("QUIT\r\n"), "221 Goodbye\r\n<close>");
    EXPECT_TRUE(m_session->IsClosed());
}

TEST_F(FtpSessionTest, PassiveModeNamesTheListeningSocket)
{
    Start();
    LogIn();
    EXPECT_EQ(Say("PASV\r\n"), "227 Entering Passive Mode (192,168,42,253,195,80)\r\n");
    Say("TYPE A\r\n");
    Say("STOR notes.txt\r\n");
    ASSERT_EQ(m_port.stores.size(), 1u);
    EXPECT_EQ(m_port.stores[0].mode, IFtpDataPort::Mode::Passive);
    EXPECT_TRUE(m_port.stores[0].ascii);
    m_port.passiveWorks = false;
    CFtpSession::CTransferResult none;
    none.outcome = CFtpSession::CTransferResult::Outcome::NoConnection;
    EXPECT_EQ(Text(m_session->TransferFinished(none)), "425 Cannot open data connection\r\n");
    EXPECT_EQ(Say("PASV\r\n"), "425 Cannot open passive connection\r\n");
}

TEST_F(FtpSessionTest, PortToAnotherHostIsRefused)
{
    Start();
    LogIn();
    EXPECT_EQ(Say("PORT 10,0,0,1,0,80\r\n"), "500 Illegal PORT command\r\n");
    EXPECT_EQ(Say("PORT 192,168,42,10,0,0\r\n"), "501 Syntax error in parameters or arguments\r\n");
    EXPECT_EQ(Say("PORT rubbish\r\n"), "501 Syntax error in parameters or arguments\r\n");
    EXPECT_EQ(Say("STOR x\r\n"), "425 Use PORT or PASV first\r\n");
}

TEST_F(FtpSessionTest, NamesOutsideTheFlatFolderAreRefused)
{
    Start();
    LogIn();
    for (const char* name : {"../etc/passwd", ".hidden", "a/b", "a\\b", "sp ace", "x~"})
    {
        Say("PORT 192,168,42,10,195,80\r\n");
        EXPECT_EQ(Say(std::string("STOR ") + name + "\r\n"), "553 File name not allowed\r\n")
            << name;
    }
    EXPECT_EQ(Say("STOR\r\n"), "501 Syntax error in parameters or arguments\r\n");
    EXPECT_TRUE(m_port.stores.empty());
}

TEST_F(FtpSessionTest, ScenarioRefusesOrDropsTheNamedStores)
{
    CScenario scenario;
    scenario.ftpRefuseStore.mode = CScenarioMatch::Mode::Some;
    scenario.ftpRefuseStore.items = {"cui.tar"};
    scenario.ftpDropTransfer.mode = CScenarioMatch::Mode::Some;
    scenario.ftpDropTransfer.items = {"corvane.sys"};
    Start(scenario);
    LogIn();
    Say("PORT 192,168,42,10,195,80\r\n");
    EXPECT_EQ(Say("STOR cui.tar\r\n"), "553 Could not create file\r\n");
    Say("STOR corvane.sys\r\n");
    ASSERT_EQ(m_port.stores.size(), 1u);
    EXPECT_TRUE(m_port.stores[0].drop);
    CFtpSession::CTransferResult dropped;
    dropped.outcome = CFtpSession::CTransferResult::Outcome::Dropped;
    EXPECT_EQ(Text(m_session->TransferFinished(dropped)),
              "426 Connection closed; transfer aborted\r\n");
}

TEST_F(FtpSessionTest, MalformedLinesGetErrorsAndOverLongOnesCloseTheConnection)
{
    Start();
    EXPECT_EQ(Say("\r\n"), "500 Syntax error, command unrecognized\r\n");
    EXPECT_EQ(Say("\x01\x02\x03\r\n"), "500 Syntax error, command unrecognized\r\n");
    EXPECT_EQ(Say("XYZZ\r\n"), "502 Command not implemented\r\n");
    EXPECT_EQ(Say(std::string(CFtpSession::kMaxLineLength + 1, 'A')),
              "500 Command line too long\r\n<close>");
    EXPECT_EQ(Say("NOOP\r\n"), "");
}

TEST_F(FtpSessionTest, SizeNamesStoredFilesOnly)
{
    Start();
    LogIn();
    EXPECT_EQ(Say("SIZE corvane.sys\r\n"), "550 Could not get file size\r\n");
    std::FILE* file = std::fopen((m_bed->Folder() + "/corvane.sys").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("12345", file);
    std::fclose(file);
    EXPECT_EQ(Say("SIZE corvane.sys\r\n"), "213 5\r\n");
    EXPECT_EQ(Say("SIZE ../corvane.sys\r\n"), "550 Could not get file size\r\n");
}
} // namespace
