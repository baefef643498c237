// The worker's browser prerequisite: a computer whose Internet Explorer does not qualify gets the
// warning box and WM_UPGRADE_FAILED, and the run never starts (no package read, no Internet
// session, no process, so no traffic).
#include "engine/CUpgrader.h"
#include "engine/UpgradeMessages.h"
#include "platform/FileSystem.h"
#include "platform/FtpClient.h"
#include "platform/MessageBoxStyle.h"
#include "platform/ProcessLauncher.h"
#include "platform/posix/CMemoryRegistry.h"
#include "platform/posix/CRecordingNotifier.h"
#include "platform/posix/CScriptedOperator.h"
#include "platform/posix/CSteadyClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace
{
const char kBrowserText[] =
    "The Internet Explorer web browser on your computer needs to be version 3.02 or higher. "
    "Rerun the Corvane user software setup and install the browser software when prompted.";
const char kBrowserTitle[] = "Corvane upgrade utility - Incorrect browser version";

// Records every use; finds no file.
class CWatchedFiles : public IFileSystem
{
public:
    bool Exists(const std::string& name) override
    {
        uses.push_back("Exists " + name);
        return false;
    }
    bool GetSize(const std::string& name, std::int32_t&) override
    {
        uses.push_back("GetSize " + name);
        return false;
    }
    std::unique_ptr<ITextFile> OpenText(const std::string& name) override
    {
        uses.push_back("OpenText " + name);
        return nullptr;
    }
    std::vector<std::string> uses;
};

// Records every session opened and refuses it, which ends a run at once.
class CWatchedInternet : public IInternet
{
public:
    std::unique_ptr<IInternetSession> OpenSession(const std::string& agent) override
    {
        sessions.push_back(agent);
        throw CInternetError("no Internet in this test");
    }
    std::vector<std::string> sessions;
};

class CWatchedProcesses : public IProcessLauncher
{
public:
    bool RunAndWait(const std::string& commandLine) override
    {
        started.push_back(commandLine);
        return false;
    }
    std::vector<std::string> started;
};

const std::string kExplorerKey = "SOFTWARE\\Microsoft\\Internet Explorer";
const std::string kClsid = "{C0A7E001-1E00-4B00-9E00-000000000001}";

void LayOutExplorer(CMemoryRegistry& registry, const std::string& build)
{
    registry.PutValue(reg::kLocalMachine, kExplorerKey, "Build", reg::kTypeSz,
                      build + std::string(1, '\0'));
    registry.PutValue(reg::kClassesRoot, "InternetExplorer.Application\\CLSID", "", reg::kTypeSz,
                      kClsid + std::string(1, '\0'));
    registry.PutValue(reg::kClassesRoot, "CLSID\\" + kClsid + "\\LocalServer32", "", reg::kTypeSz,
                      std::string("C:\\ie.exe", 10));
    registry.PutValue(reg::kUsers, ".Default\\Software\\Microsoft\\Internet Explorer\\Main",
                      "First Home Page", reg::kTypeSz, std::string("home", 5));
}

struct Worker
{
    CSteadyClock clock{1000.0};
    CRecordingNotifier notifier;
    CScriptedOperator op;
    CWatchedFiles files;
    CWatchedInternet internet;
    CWatchedProcesses processes;
    CMemoryRegistry registry;
    std::atomic<int> cancel{0};

    bool Run()
    {
        CUpgrader upgrader(
            CUpgraderPorts{clock, notifier, op, files, internet, processes, registry, cancel});
        return upgrader.InitInstance();
    }

    std::vector<unsigned> Messages() const
    {
        std::vector<unsigned> messages;
        for (const auto& notification : notifier.Notifications())
            messages.push_back(notification.message);
        return messages;
    }
};

class BrowserPrerequisite : public testing::TestWithParam<std::string>
{
};

TEST_P(BrowserPrerequisite, RefusedBrowserShowsTheBoxAndEndsBeforeTheRun)
{
    Worker worker;
    if (!GetParam().empty())
        LayOutExplorer(worker.registry, GetParam());

    EXPECT_FALSE(worker.Run());

    const auto boxes = worker.op.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].what, "box");
    EXPECT_EQ(boxes[0].text, kBrowserText);
    EXPECT_EQ(boxes[0].title, kBrowserTitle);
    EXPECT_EQ(boxes[0].style, box::kOk | box::kIconWarning | box::kSetForeground);
    EXPECT_EQ(worker.Messages(), std::vector<unsigned>{WM_UPGRADE_FAILED});
    EXPECT_EQ(worker.notifier.Notifications()[0].amount, 0);
    EXPECT_FALSE(worker.notifier.Notifications()[0].hasText);
    EXPECT_TRUE(worker.files.uses.empty()) << "the package was read";
    EXPECT_TRUE(worker.internet.sessions.empty()) << "an Internet session was opened";
    EXPECT_TRUE(worker.processes.started.empty()) << "a process was started";
    EXPECT_TRUE(worker.registry.Changes().empty()) << "the registry was changed";
    EXPECT_EQ(worker.registry.OpenKeyCount(), 0u);
}

// No Explorer at all (""), a build one below the minimum, and a build whose leading number is 5.
INSTANTIATE_TEST_SUITE_P(Refused, BrowserPrerequisite,
                         testing::Values(std::string(), std::string("1299"),
                                         std::string("5.00.2920")));

TEST(BrowserPrerequisitePassed, RunStartsAfterTheSettings)
{
    Worker worker;
    LayOutExplorer(worker.registry, "1300");

    EXPECT_FALSE(worker.Run());

    for (const auto& shown : worker.op.Boxes())
        EXPECT_NE(shown.title, kBrowserTitle);
    EXPECT_EQ(worker.internet.sessions.size(), 1u) << "the run did not start";
    EXPECT_FALSE(worker.registry.Lookup(
        reg::kUsers, ".Default\\Software\\Microsoft\\Internet Explorer\\Main", "First Home Page"));
    EXPECT_FALSE(worker.registry.Lookup(
        reg::kCurrentUser, "Software\\Microsoft\\Internet Connection Wizard", "Completed"));
    EXPECT_EQ(worker.Messages(), std::vector<unsigned>{WM_UPGRADE_FAILED});
}
} // namespace
