#include "PackageFilesFixture.h"
#include "platform/posix/CPosixFileSystem.h"

#include <string>
#include <vector>

namespace
{
class PosixFileSystemTest : public PackageFolderTest
{
protected:
    std::vector<std::string> ReadAll(const std::string& bytes)
    {
        Write("text.txt", bytes);
        auto file = files.OpenText("text.txt");
        EXPECT_NE(file, nullptr);
        std::vector<std::string> lines;
        std::string line;
        while (file && file->ReadLine(line) == ITextFile::ReadResult::Line)
            lines.push_back(line);
        EXPECT_TRUE(line.empty()) << "end of file leaves the line empty";
        return lines;
    }

    CPosixFileSystem files;
};

struct LineCase
{
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

class TextLineTest : public PosixFileSystemTest, public ::testing::WithParamInterface<LineCase>
{
};

TEST_P(TextLineTest, SplitsLinesAsTextModeDoes)
{
    EXPECT_EQ(ReadAll(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, TextLineTest,
    ::testing::Values(LineCase{"CrLf", "one\r\ntwo\r\n", {"one", "two"}},
                      LineCase{"Lf", "one\ntwo\n", {"one", "two"}},
                      LineCase{"Mixed", "one\r\ntwo\nthree\r\n", {"one", "two", "three"}},
                      LineCase{"LastLineWithoutEnd", "one\r\ntwo", {"one", "two"}},
                      LineCase{"OnlyOneLineWithoutEnd", "alone", {"alone"}},
                      LineCase{"Empty", "", {}}, LineCase{"BlankLines", "\r\n\n", {"", ""}},
                      LineCase{"LoneCrIsData", "a\rb\n", {"a\rb"}},
                      LineCase{"BlanksKept", "  2.1.0  \r\n", {"  2.1.0  "}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(PosixFileSystemTest, CrLfSplitAcrossTheReadBufferStillEndsOneLine)
{
    const std::string first(4095, 'x');
    EXPECT_EQ(ReadAll(first + "\r\nnext"), (std::vector<std::string>{first, "next"}));
}

TEST_F(PosixFileSystemTest, MissingFileAndFolderDoNotOpen)
{
    EXPECT_EQ(files.OpenText("absent.txt"), nullptr);
    MakeFolder("folder");
    EXPECT_EQ(files.OpenText("folder"), nullptr);
}

struct ExistsCase
{
    const char* name;
    bool exists;
};

class ExistsTest : public PosixFileSystemTest, public ::testing::WithParamInterface<ExistsCase>
{
protected:
    void SetUp() override
    {
        PosixFileSystemTest::SetUp();
        Write("corvane.sys", "image");
        Write("cui.tar", "archive");
        MakeFolder("sub");
        Write("sub/inner.txt", "x");
    }
};

TEST_P(ExistsTest, FindsEntriesAsADirectorySearchDoes)
{
    EXPECT_EQ(files.Exists(GetParam().name), GetParam().exists) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExistsTest,
    ::testing::Values(ExistsCase{"corvane.sys", true}, ExistsCase{"missing.sys", false},
                      ExistsCase{"", false}, ExistsCase{"sub", true},
                      ExistsCase{"sub/inner.txt", true}, ExistsCase{"sub/*.txt", true},
                      ExistsCase{"sub/*.sys", false}, ExistsCase{"*.tar", true},
                      ExistsCase{"corvane.s?s", true}, ExistsCase{"corvane.s?", false},
                      ExistsCase{"*", true}, ExistsCase{"nofolder/*.sys", false}));

TEST_F(PosixFileSystemTest, SizeOfFileAndOfWildcardMatch)
{
    Write("corvane.sys", std::string(1234, 'z'));
    std::int32_t size = -1;
    ASSERT_TRUE(files.GetSize("corvane.sys", size));
    EXPECT_EQ(size, 1234);
    size = -1;
    ASSERT_TRUE(files.GetSize("corvane.*", size));
    EXPECT_EQ(size, 1234);
    EXPECT_FALSE(files.GetSize("cui.tar", size));
    EXPECT_FALSE(files.GetSize("", size));
}

TEST(PosixPatternTest, StarAndQuestionMark)
{
    EXPECT_TRUE(CPosixFileSystem::MatchesPattern("*", ""));
    EXPECT_TRUE(CPosixFileSystem::MatchesPattern("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(CPosixFileSystem::MatchesPattern("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(CPosixFileSystem::MatchesPattern("??.t*", "ab.tar"));
    EXPECT_FALSE(CPosixFileSystem::MatchesPattern("?", ""));
    EXPECT_TRUE(CPosixFileSystem::MatchesPattern("*.*", "corvane.sys"));
}
} // namespace
