#pragma once
// What the tests of the whole run share: a simulator scaled like the worker's clock, a package
// folder made by the simulator's package maker, the worker with its native ports, and readers
// of what the appliance received.
#include "engine/CUpgrader.h"
#include "engine/UpgradeMessages.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"
#include "platform/posix/CCurlInternet.h"
#include "platform/posix/CMemoryRegistry.h"
#include "platform/posix/CPosixFileSystem.h"
#include "platform/posix/CRecordingNotifier.h"
#include "platform/posix/CScriptedOperator.h"
#include "platform/posix/CSteadyClock.h"
#include "tests/support/CSimulatorProcess.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace upgrade_test
{
namespace fs = std::filesystem;

// The worker's waits and the simulator's pass this many times faster than real time.
constexpr double kTimeScale = 40.0;

constexpr char kOldVersion[] = "4.2.1";
constexpr char kNewVersion[] = "4.3.0";
constexpr char kUser[] = "admin";
constexpr char kPassword[] = "corvane";

constexpr char kTitlePrefix[] = "Corvane upgrade utility - ";
constexpr char kInternalError[] = "Corvane upgrade utility - Internal error";
constexpr char kCannotSend[] =
    "Cannot send the command. Try running the Corvane upgrade utility again.";
constexpr char kCannotConnect[] = "Cannot establish a connection to the Corvane. Check the "
                                  "cables and try running the Corvane upgrade utility again.";
constexpr char kCannotPut[] = "Cannot put the file. Try running the Corvane upgrade utility again.";
constexpr char kFileStatusMissing[] = "Cannot find a file, because the file status is missing. "
                                      "Restart your computer and run the Corvane upgrade "
                                      "utility again.";

// The settings of the run, in their order, as the appliance must receive them.
inline const std::vector<std::string>& Settings()
{
    static const std::vector<std::string> settings = {
        "cdb general system CronReboot 1\n",
        "cdb general system alertdata /etc/admin/open/alerts.shtml\n",
        "cdb general system mymboxhome /etc/admin/mb-splas.shtml\n",
        "cdb general system RebootTime 233\n",
        "cdb general system RebootDays smtwtfs\n",
        "cdb general system RebootDefer 60\n",
        "cdb general system MaxFileLocks 32\n",
        "cdb general system FileLockRetryLimit 15\n",
        "cdb general system LogSeverityMin 200\n",
        "cdb general system DebugFileLocks 0\n",
        "cdb general http MaxSessions 5\n",
        "cdb general http QueueSize 50\n",
        "cdb general pop MaxSessions 3\n",
        "cdb general pop QueueSize 4\n",
        "cdb general smtp MaxSessions 3\n",
        "cdb general smtp QueueSize 4\n",
        "ddb general smtp MaxResolves 3\n",
        "ddb general smtp ProcessQueueTasks 2\n",
        "ddb general smtp ProcessQueueSize 150\n",
        "ddb general system catchall\n",
        "ddb general system totalrecipients 100\n",
        "ddb general system headerfieldbytes 4096\n",
        "ddb general system totaladdresseebytes 4096\n",
        "cdb general system ConnectStatusRefreshRate 5\n",
        "cdb general system NewUserGreeting Welcome!\n",
        "cdb general smtp MboxFullTimeoutDays 1\n",
        "cdb general smtp MboxFullRetryMinutes 180\n",
        "cdb general smtp IspDeferRetryMinutes 180\n",
        "cdb general smtp IspDeferTimeoutDays 1\n",
    };
    return settings;
}

// No route program is ever needed on the test subnet; a call would show in the list.
class CRecordingLauncher : public IProcessLauncher
{
public:
    bool RunAndWait(const std::string& commandLine) override
    {
        started.push_back(commandLine);
        return false;
    }
    std::vector<std::string> started;
};

inline std::string ReadWhole(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Sha256Of(const fs::path& path)
{
    const std::string command = "sha256sum '" + path.string() + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return "";
    char digest[65] = {};
    const std::size_t got = std::fread(digest, 1, 64, pipe);
    ::pclose(pipe);
    return std::string(digest, got);
}

// A package folder: UpgradeVersionNumber.txt, RequiredFiles.txt, corvane.sys naming the version
// in its header, cui.tar.
class CPackageFolder
{
public:
    explicit CPackageFolder(const std::string& version, int imageBytes = 200000,
                            int archiveBytes = 120000)
    {
        char pattern[] = "/tmp/corvane-package.XXXXXX";
        m_folder = ::mkdtemp(pattern);
        const fs::path maker =
            fs::path(__FILE__).parent_path().parent_path().parent_path() / "sim" / "make-package";
        const std::string command = "python3 '" + maker.string() + "' '" + m_folder.string() +
                                    "' '" + version + "' --image-bytes " +
                                    std::to_string(imageBytes) + " --archive-bytes " +
                                    std::to_string(archiveBytes) + " >/dev/null";
        made = std::system(command.c_str()) == 0;
    }
    ~CPackageFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    CPackageFolder(const CPackageFolder&) = delete;
    CPackageFolder& operator=(const CPackageFolder&) = delete;

    const fs::path& Path() const { return m_folder; }
    void Remove(const std::string& name) { fs::remove(m_folder / name); }
    // Replaces the version file's content (its first line is the package version).
    void WriteVersionFile(const std::string& bytes)
    {
        std::ofstream(m_folder / "UpgradeVersionNumber.txt", std::ios::binary) << bytes;
    }

    bool made = false;

private:
    fs::path m_folder;
};

// The worker's native ports around one run.
class CWorkerRig
{
public:
    CWorkerRig() { LayOutExplorer(); }

    // Runs the whole thread in the package folder, the operator typing the credentials into
    // the login dialog; true when it ended with WM_UPGRADE_DONE.
    bool Run(const fs::path& packageFolder)
    {
        op.AnswerLogin(credentials);
        const fs::path previous = fs::current_path();
        fs::current_path(packageFolder);
        CUpgrader upgrader(
            CUpgraderPorts{clock, notifier, op, files, internet, processes, registry, cancel});
        upgrader.InitInstance();
        fs::current_path(previous);
        const auto posted = notifier.Notifications();
        return !posted.empty() && posted.back().message == WM_UPGRADE_DONE;
    }

    // Sets the cancel request when a notification matching the test is posted.
    void CancelWhen(std::function<bool(const CRecordingNotifier::Notification&)> moment)
    {
        notifier.onPost = [this, moment](const CRecordingNotifier::Notification& posted)
        {
            if (moment(posted))
                cancel = 1;
        };
    }

    std::vector<unsigned> Messages() const
    {
        std::vector<unsigned> messages;
        for (const auto& posted : notifier.Notifications())
            messages.push_back(posted.message);
        return messages;
    }

    int Count(unsigned message) const
    {
        int count = 0;
        for (unsigned posted : Messages())
            count += posted == message ? 1 : 0;
        return count;
    }

    std::vector<std::string> ConfirmationTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& shown : op.History())
            if (shown.what == "confirm")
                texts.push_back(shown.text);
        return texts;
    }

    std::pair<std::string, std::string> credentials{kUser, kPassword};
    CSteadyClock clock{kTimeScale};
    CRecordingNotifier notifier;
    CScriptedOperator op;
    CPosixFileSystem files;
    CCurlInternet internet;
    CRecordingLauncher processes;
    CMemoryRegistry registry;
    std::atomic<int> cancel{0};

private:
    // An Internet Explorer that passes the prerequisite check.
    void LayOutExplorer()
    {
        const std::string clsid = "{C0A7E001-1E00-4B00-9E00-000000000001}";
        registry.PutValue(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer", "Build",
                          reg::kTypeSz, std::string("99600", 6));
        registry.PutValue(reg::kClassesRoot, "InternetExplorer.Application\\CLSID", "",
                          reg::kTypeSz, clsid + std::string(1, '\0'));
        registry.PutValue(reg::kClassesRoot, "CLSID\\" + clsid + "\\LocalServer32", "",
                          reg::kTypeSz, std::string("C:\\ie.exe", 10));
    }
};

inline CSimulatorProcess::COptions SimulatorOptions()
{
    CSimulatorProcess::COptions options;
    options.timeScale = kTimeScale;
    return options;
}

// What the appliance received and saw, in the order of the transcript, as short lines:
// "cmd opening 5a", "cmd username admin\n", "cmd command ver\n", "cmd close-message",
// "ftp USER admin", "ftp STOR corvane.sys", "ftp stored corvane.sys" and so on.
inline std::vector<std::string> Events(const CSimulatorProcess& sim)
{
    std::vector<std::string> events;
    for (const auto& record : sim.Transcript())
    {
        const std::string& service = record.Service();
        const std::string& kind = record.Kind();
        if (service == "cmd" && kind == "opening")
            events.push_back("cmd opening " + record.Get("hex"));
        else if (service == "cmd" &&
                 (kind == "username" || kind == "password" || kind == "command"))
            events.push_back("cmd " + kind + " " + record.Text());
        else if (service == "cmd" && (kind == "close-message" || kind == "binary"))
            events.push_back("cmd " + kind + " " + record.Get("hex"));
        else if (service == "ftp" && kind == "command")
        {
            std::string line = record.Text();
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
                line.pop_back();
            events.push_back("ftp " + line);
        }
        else if (service == "ftp" && (kind == "stored" || kind == "refused"))
            events.push_back("ftp " + kind + " " + record.Get("name"));
    }
    return events;
}

// Only the events whose text begins with one of the prefixes.
inline std::vector<std::string> Only(const std::vector<std::string>& events,
                                     const std::vector<std::string>& prefixes)
{
    std::vector<std::string> kept;
    for (const auto& event : events)
        for (const auto& prefix : prefixes)
            if (event.compare(0, prefix.size(), prefix) == 0)
            {
                kept.push_back(event);
                break;
            }
    return kept;
}

// The command lines the command service received, in order.
inline std::vector<std::string> Commands(const CSimulatorProcess& sim)
{
    std::vector<std::string> commands;
    for (const auto& record : sim.Records("cmd", "command"))
        commands.push_back(record.Text());
    return commands;
}

// The settings commands among them, in order.
inline std::vector<std::string> SettingsReceived(const CSimulatorProcess& sim)
{
    std::vector<std::string> received;
    for (const auto& command : Commands(sim))
        if (command.compare(0, 4, "cdb ") == 0 || command.compare(0, 4, "ddb ") == 0)
            if (command.find(" mailcheck ") == std::string::npos)
                received.push_back(command);
    return received;
}

// Waits (bounded) until the simulator has seen every command connection end, so that what the
// client sent last, the close message above all, is in the transcript.
inline bool WaitForConnectionsClosed(const CSimulatorProcess& sim)
{
    const std::size_t opened = sim.Records("cmd", "connect").size();
    return sim.WaitForRecords("cmd", "disconnect", opened, 5000);
}

inline std::vector<std::string> StoredNames(const CSimulatorProcess& sim)
{
    std::vector<std::string> names;
    for (const auto& record : sim.Records("ftp", "stored"))
        names.push_back(record.Get("name"));
    return names;
}

inline int FtpLogins(const CSimulatorProcess& sim)
{
    return static_cast<int>(sim.Records("ftp", "login").size());
}
} // namespace upgrade_test
