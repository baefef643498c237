#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// A fresh folder that the test works in, as the program works in its package folder; removed
// afterwards.
class PackageFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/corvane-package-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_folder = pattern;
        char previous[4096];
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        m_previous = previous;
        ASSERT_EQ(chdir(m_folder.c_str()), 0);
    }

    void TearDown() override
    {
        ASSERT_EQ(chdir(m_previous.c_str()), 0);
        const std::string command = "rm -rf '" + m_folder + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    static void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream file(name, std::ios::binary);
        file << bytes;
    }

    static void MakeFolder(const std::string& name) { ASSERT_EQ(mkdir(name.c_str(), 0755), 0); }

private:
    std::string m_folder;
    std::string m_previous;
};
