// The run's Internet session is opened before anything else; when that fails the run ends at
// once with a box of its own style and WM_UPGRADE_FAILED.
#include "engine/CUpgrader.h"
#include "engine/UpgradeMessages.h"
#include "platform/FileSystem.h"
#include "platform/FtpClient.h"
#include "platform/MessageBoxStyle.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"
#include "platform/posix/CMemoryRegistry.h"
#include "platform/posix/CRecordingNotifier.h"
#include "platform/posix/CScriptedOperator.h"
#include "platform/posix/CSteadyClock.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
class CRefusingInternet : public IInternet
{
public:
    std::unique_ptr<IInternetSession> OpenSession(const std::string& agentName) override
    {
        agentNames.push_back(agentName);
        throw CInternetError("InternetOpen failed with error 12029");
    }
    std::vector<std::string> agentNames;
};

class CUntouchedFiles : public IFileSystem
{
public:
    bool Exists(const std::string&) override
    {
        ++uses;
        return false;
    }
    bool GetSize(const std::string&, std::int32_t&) override
    {
        ++uses;
        return false;
    }
    std::unique_ptr<ITextFile> OpenText(const std::string&) override
    {
        ++uses;
        return nullptr;
    }
    int uses = 0;
};

class CUntouchedProcesses : public IProcessLauncher
{
public:
    bool RunAndWait(const std::string&) override
    {
        ++uses;
        return false;
    }
    int uses = 0;
};

TEST(UpgradeInternetSessionTest, ASessionThatCannotBeOpenedEndsTheRunWithABoxBeforeAnythingElse)
{
    CSteadyClock clock(1000.0);
    CRecordingNotifier notifier;
    CScriptedOperator op;
    CUntouchedFiles files;
    CRefusingInternet internet;
    CUntouchedProcesses processes;
    CMemoryRegistry registry;
    const std::string clsid = "{C0A7E001-1E00-4B00-9E00-000000000001}";
    registry.PutValue(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer", "Build",
                      reg::kTypeSz, std::string("99600", 6));
    registry.PutValue(reg::kClassesRoot, "InternetExplorer.Application\\CLSID", "", reg::kTypeSz,
                      clsid + std::string(1, '\0'));
    registry.PutValue(reg::kClassesRoot, "CLSID\\" + clsid + "\\LocalServer32", "", reg::kTypeSz,
                      std::string("C:\\ie.exe", 10));
    std::atomic<int> cancel{0};
    CUpgrader upgrader(
        CUpgraderPorts{clock, notifier, op, files, internet, processes, registry, cancel});

    EXPECT_FALSE(upgrader.InitInstance());

    EXPECT_EQ(internet.agentNames,
              std::vector<std::string>{"Veltrix Olvana Corvane upgrade utility"});
    const auto boxes = op.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].what, "box");
    EXPECT_EQ(boxes[0].text, "Cannot open an Internet session for copying files to the Corvane. "
                             "Restart your computer and run the Corvane upgrade utility again.");
    EXPECT_EQ(boxes[0].title, "Corvane upgrade utility - Internal error");
    EXPECT_EQ(boxes[0].style, box::kOk | box::kSetForeground);
    EXPECT_EQ(op.History().size(), 1u);
    const auto posted = notifier.Notifications();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_UPGRADE_FAILED);
    EXPECT_EQ(files.uses, 0) << "the package was read";
    EXPECT_EQ(processes.uses, 0);
}
} // namespace
