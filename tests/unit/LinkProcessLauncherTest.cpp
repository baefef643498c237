#include "platform/posix/CPosixProcessLauncher.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
// A folder on PATH holding a stand-in program that records its arguments, one a line.
class ProcessLauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() /
                   ("link-launcher-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        m_record = m_folder / "record.txt";
        const auto program = m_folder / "recordargs";
        std::ofstream(program) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '"
                               << m_record.string() << "'\nexit 3\n";
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        m_oldPath = std::getenv("PATH");
        setenv("PATH", (m_folder.string() + ":" + m_oldPath).c_str(), 1);
    }
    void TearDown() override
    {
        setenv("PATH", m_oldPath.c_str(), 1);
        std::filesystem::remove_all(m_folder);
    }
    std::string Recorded() const
    {
        std::ifstream file(m_record);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path m_folder;
    std::filesystem::path m_record;
    std::string m_oldPath;
};

TEST_F(ProcessLauncherTest, RunsTheProgramFromPathWithBlankSeparatedWordsAndWaitsForIt)
{
    CPosixProcessLauncher launcher;
    // An error exit code still counts as run.
    EXPECT_TRUE(launcher.RunAndWait("recordargs add  10.7.0.9 10.7.1.1"));
    EXPECT_EQ(Recorded(), "add\n10.7.0.9\n10.7.1.1\n");
}

TEST_F(ProcessLauncherTest, AProgramThatCannotStartFails)
{
    CPosixProcessLauncher launcher;
    EXPECT_FALSE(launcher.RunAndWait("no-such-program-anywhere add 1 2"));
    EXPECT_FALSE(launcher.RunAndWait(""));
}
} // namespace
