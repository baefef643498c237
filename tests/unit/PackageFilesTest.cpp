#include "PackageFilesFixture.h"
#include "engine/CPackageFiles.h"
#include "platform/MessageBoxStyle.h"
#include "platform/posix/CPosixFileSystem.h"
#include "platform/posix/CScriptedOperator.h"

#include <string>

namespace
{
const char kOpenTitle[] = "Corvane upgrade utility - Cannot open file";
const char kReadTitle[] = "Corvane upgrade utility - Cannot read file";

class PackageFilesTest : public PackageFolderTest
{
protected:
    bool Check() { return CPackageFiles(files, op).CheckRequiredFiles(); }

    // The one box shown, as "title|text".
    std::string OnlyBox()
    {
        const auto boxes = op.Boxes();
        EXPECT_EQ(boxes.size(), 1u);
        if (boxes.size() != 1)
            return std::string();
        EXPECT_EQ(boxes[0].style, box::kOk | box::kSetForeground);
        return boxes[0].title + "|" + boxes[0].text;
    }

    CPosixFileSystem files;
    CScriptedOperator op;
};

struct ListCase
{
    const char* name;
    std::string list;
    bool passes;
    std::string missing; // the name the box reports when the check fails
};

class RequiredFilesTest : public PackageFilesTest, public ::testing::WithParamInterface<ListCase>
{
};

TEST_P(RequiredFilesTest, ChecksEveryListedName)
{
    Write("corvane.sys", "image");
    Write("cui.tar", "archive");
    MakeFolder("docs");
    Write("RequiredFiles.txt", GetParam().list);
    EXPECT_EQ(Check(), GetParam().passes);
    if (GetParam().passes)
        EXPECT_TRUE(op.Boxes().empty());
    else
        EXPECT_EQ(OnlyBox(), std::string(kOpenTitle) + "|A required file named " +
                                 GetParam().missing + " is missing.");
}

INSTANTIATE_TEST_SUITE_P(
    Lists, RequiredFilesTest,
    ::testing::Values(
        ListCase{"CrLf", "corvane.sys\r\ncui.tar\r\n", true, ""},
        ListCase{"Lf", "corvane.sys\ncui.tar\n", true, ""},
        ListCase{"LastLineWithoutEnd", "corvane.sys\r\ncui.tar", true, ""},
        ListCase{"EmptyList", "", true, ""},
        ListCase{"FolderAndPattern", "docs\r\n*.tar\r\n", true, ""},
        ListCase{"MissingLastLineWithoutEnd", "corvane.sys\r\nabsent.bin", false, "absent.bin"},
        ListCase{"OnlyFirstMissingReported", "one.bin\r\ntwo.bin\r\n", false, "one.bin"},
        ListCase{"BlankLineIsAnEmptyName", "corvane.sys\r\n\r\ncui.tar\r\n", false, ""},
        ListCase{"BlanksAreNotTrimmed", " corvane.sys\r\n", false, " corvane.sys"}),
    [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

TEST_F(PackageFilesTest, BlankLineGivesTwoBlanksInARow)
{
    Write("RequiredFiles.txt", "\n");
    EXPECT_FALSE(Check());
    EXPECT_EQ(OnlyBox(), std::string(kOpenTitle) + "|A required file named  is missing.");
}

TEST_F(PackageFilesTest, MissingListIsReportedByName)
{
    EXPECT_FALSE(Check());
    EXPECT_EQ(OnlyBox(),
              std::string(kOpenTitle) + "|A required file named RequiredFiles.txt is missing.");
}

TEST_F(PackageFilesTest, ListThatIsAFolderCannotBeOpened)
{
    MakeFolder("RequiredFiles.txt");
    EXPECT_FALSE(Check());
    EXPECT_EQ(OnlyBox(), std::string(kOpenTitle) +
                             "|Cannot open the file that contains the list of required files. "
                             "The file may be missing or corrupted. Restart your computer and run "
                             "the Corvane upgrade utility again.");
}

struct VersionCase
{
    const char* name;
    std::string bytes;
    std::string version;
};

class VersionFileTest : public PackageFilesTest, public ::testing::WithParamInterface<VersionCase>
{
};

TEST_P(VersionFileTest, FirstLineVerbatim)
{
    Write("UpgradeVersionNumber.txt", GetParam().bytes);
    std::string version = "stale";
    EXPECT_TRUE(CPackageFiles(files, op).ReadPackageVersion(version));
    EXPECT_EQ(version, GetParam().version);
    EXPECT_TRUE(op.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionFileTest,
                         ::testing::Values(VersionCase{"CrLf", "2.1.0\r\nignored\r\n", "2.1.0"},
                                           VersionCase{"Lf", "2.1.0\nignored\n", "2.1.0"},
                                           VersionCase{"WithoutLineEnd", "2.1.0", "2.1.0"},
                                           VersionCase{"BlanksKept", "  V 2.1 beta \r\n",
                                                       "  V 2.1 beta "},
                                           VersionCase{"Empty", "", ""},
                                           VersionCase{"EmptyFirstLine", "\r\n2.1.0\r\n", ""}),
                         [](const ::testing::TestParamInfo<VersionCase>& info)
                         { return std::string(info.param.name); });

TEST_F(PackageFilesTest, MissingVersionFileHasTheOpenBox)
{
    std::string version;
    EXPECT_FALSE(CPackageFiles(files, op).ReadPackageVersion(version));
    EXPECT_EQ(OnlyBox(), std::string(kOpenTitle) +
                             "|Cannot open the upgrade version number file. The file may be "
                             "missing or corrupted. Restart your computer and run the Corvane "
                             "upgrade utility again.");
}

// A text file whose reads fail, for the read-failure boxes.
class CFailingFile : public ITextFile
{
public:
    ReadResult ReadLine(std::string& line) override
    {
        line.clear();
        return ReadResult::Error;
    }
};

class CUnreadableFiles : public CPosixFileSystem
{
public:
    std::unique_ptr<ITextFile> OpenText(const std::string&) override
    {
        return std::make_unique<CFailingFile>();
    }
};

TEST_F(PackageFilesTest, ReadFailuresHaveTheReadBoxes)
{
    Write("RequiredFiles.txt", "corvane.sys\n");
    CUnreadableFiles unreadable;
    EXPECT_FALSE(CPackageFiles(unreadable, op).CheckRequiredFiles());
    std::string version;
    EXPECT_FALSE(CPackageFiles(unreadable, op).ReadPackageVersion(version));
    const auto boxes = op.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, kReadTitle);
    EXPECT_EQ(boxes[0].text, "Cannot read the file that contains the list of required files. The "
                             "file may be missing or corrupted. Restart your computer and run the "
                             "Corvane upgrade utility again.");
    EXPECT_EQ(boxes[1].title, kReadTitle);
    EXPECT_EQ(boxes[1].text, "Cannot read the upgrade version number file. The file may be missing "
                             "or corrupted. Restart your computer and run the Corvane upgrade "
                             "utility again.");
}
} // namespace
