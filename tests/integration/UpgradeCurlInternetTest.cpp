// The libcurl FTP adapter against a real FTP server (pyftpdlib) on loopback: what goes over the
// control connection, what arrives, and how refusals surface.
#include "platform/posix/CCurlInternet.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace
{
namespace fs = std::filesystem;

const char kUser[] = "admin";
const char kPassword[] = "corvane";

std::string ReadWhole(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWhole(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Bytes that a text-mode transfer would change: line ends of both kinds, zeros, high bytes.
std::string BinaryPattern(std::size_t size)
{
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i)
        bytes += static_cast<char>(i % 7 == 0 ? '\r' : i % 7 == 1 ? '\n' : (i * 131) % 256);
    return bytes;
}

// The recording FTP server of this folder, started for one test and stopped after it.
class CFtpServerProcess
{
public:
    CFtpServerProcess(const fs::path& root, const fs::path& log, bool readOnly)
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        const std::string script = fs::path(__FILE__).parent_path() / "UpgradeFtpServer.py";
        std::vector<std::string> args = {
            "/usr/bin/python3", script,    "--root", root.string(), "--user",     kUser,
            "--password",       kPassword, "--log",  log.string(),  "--lifetime", "60"};
        if (readOnly)
            args.push_back("--read-only");
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        ReadPort(pipeEnds[0]);
        close(pipeEnds[0]);
    }

    ~CFtpServerProcess()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }

    unsigned Port() const { return m_port; }

private:
    void ReadPort(int fd)
    {
        std::FILE* out = fdopen(dup(fd), "r");
        if (out == nullptr)
            return;
        char line[64] = {};
        if (std::fgets(line, sizeof line, out) != nullptr)
            std::sscanf(line, "ready %u", &m_port);
        std::fclose(out);
    }

    pid_t m_pid = -1;
    unsigned m_port = 0;
};

class CurlInternetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() /
                   ("corvane-curl-" + std::to_string(getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder / "local");
        fs::create_directories(m_folder / "remote");
    }

    void TearDown() override { fs::remove_all(m_folder); }

    void StartServer(bool readOnly = false)
    {
        m_server = std::make_unique<CFtpServerProcess>(m_folder / "remote", LogPath(), readOnly);
        ASSERT_NE(m_server->Port(), 0u) << "the FTP server did not start";
    }

    std::unique_ptr<IInternetSession> Session(unsigned port)
    {
        CCurlInternet internet(CCurlInternet::Endpoint{port, (m_folder / "local").string()});
        return internet.OpenSession("agent");
    }

    fs::path LogPath() const { return m_folder / "commands.log"; }

    std::vector<std::string> Commands() const
    {
        std::vector<std::string> lines;
        std::istringstream log(ReadWhole(LogPath()));
        for (std::string line; std::getline(log, line);)
            lines.push_back(line.substr(0, line.find(' ')));
        return lines;
    }

    fs::path m_folder;
    std::unique_ptr<CFtpServerProcess> m_server;
};

TEST_F(CurlInternetTest, PutsFilesInBinaryOverActiveConnectionsAfterOneLogin)
{
    StartServer();
    const std::string image = BinaryPattern(300000);
    const std::string archive = BinaryPattern(70001);
    WriteWhole(m_folder / "local" / "corvane.sys", image);
    WriteWhole(m_folder / "local" / "cui.tar", archive);

    auto session = Session(m_server->Port());
    auto connection = session->OpenFtp("127.0.0.1", kUser, kPassword);
    ASSERT_TRUE(connection->PutFile("corvane.sys", "corvane.sys"));
    ASSERT_TRUE(connection->PutFile("cui.tar", "cui.tar"));
    connection->Close();

    EXPECT_TRUE(ReadWhole(m_folder / "remote" / "corvane.sys") == image);
    EXPECT_TRUE(ReadWhole(m_folder / "remote" / "cui.tar") == archive);
    const std::vector<std::string> commands = Commands();
    const std::string log = ReadWhole(LogPath());
    EXPECT_NE(log.find("USER admin\nPASS corvane\n"), std::string::npos) << log;
    EXPECT_NE(log.find("TYPE I\n"), std::string::npos) << log;
    EXPECT_NE(log.find("STOR corvane.sys\n"), std::string::npos) << log;
    EXPECT_NE(log.find("STOR cui.tar\n"), std::string::npos) << log;
    for (const std::string& command : commands)
    {
        EXPECT_NE(command, "PASV") << log;
        EXPECT_NE(command, "EPSV") << log;
        EXPECT_NE(command, "EPRT") << log;
    }
    EXPECT_EQ(log.find("TYPE A"), std::string::npos) << log;
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "USER"), 1) << log;
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "PORT"), 2) << log;
}

TEST_F(CurlInternetTest, ARefusedLoginThrowsWhenTheConnectionIsOpened)
{
    StartServer();
    auto session = Session(m_server->Port());
    EXPECT_THROW(session->OpenFtp("127.0.0.1", kUser, "wrong"), CInternetError);
    EXPECT_NE(ReadWhole(LogPath()).find("PASS wrong\n"), std::string::npos);
}

TEST_F(CurlInternetTest, AServerThatDoesNotAnswerThrowsWhenTheConnectionIsOpened)
{
    // A port of this host that nothing listens on: the connection is refused at once.
    auto session = Session(1);
    EXPECT_THROW(session->OpenFtp("127.0.0.1", kUser, kPassword), CInternetError);
}

TEST_F(CurlInternetTest, ARefusedStoreFailsThePut)
{
    StartServer(true);
    WriteWhole(m_folder / "local" / "corvane.sys", BinaryPattern(1000));
    auto session = Session(m_server->Port());
    auto connection = session->OpenFtp("127.0.0.1", kUser, kPassword);
    EXPECT_FALSE(connection->PutFile("corvane.sys", "corvane.sys"));
    EXPECT_FALSE(fs::exists(m_folder / "remote" / "corvane.sys"));
}

TEST_F(CurlInternetTest, AMissingLocalFileFailsThePutWithoutStoring)
{
    StartServer();
    auto session = Session(m_server->Port());
    auto connection = session->OpenFtp("127.0.0.1", kUser, kPassword);
    EXPECT_FALSE(connection->PutFile("corvane.sys", "corvane.sys"));
    const std::vector<std::string> commands = Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "STOR"), 0);
}

TEST_F(CurlInternetTest, AClosedConnectionPutsNothing)
{
    StartServer();
    WriteWhole(m_folder / "local" / "cui.tar", BinaryPattern(100));
    auto session = Session(m_server->Port());
    auto connection = session->OpenFtp("127.0.0.1", kUser, kPassword);
    connection->Close();
    EXPECT_FALSE(connection->PutFile("cui.tar", "cui.tar"));
}
} // namespace
