#pragma once
// What the link and locate tests share: a scaled clock with the simulator scaled alike, the
// recording doubles, a credential store, a recording route program on PATH, and transcript
// helpers.
#include "link/CredentialStore.h"
#include "link/LinkPorts.h"
#include "platform/posix/CRecordingNotifier.h"
#include "platform/posix/CScriptedOperator.h"
#include "platform/posix/CSteadyClock.h"
#include "tests/support/CSimulatorProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace link_test
{
// Waits of the run pass this many times faster than real time, in the client and the simulator.
constexpr double kTimeScale = 20.0;

inline CSimulatorProcess::COptions SimulatorOptions(const std::string& appliance = "app1")
{
    CSimulatorProcess::COptions options;
    options.appliance = appliance;
    options.timeScale = kTimeScale;
    return options;
}

class CMemoryCredentials : public ICredentialStore
{
public:
    void SetUserName(std::string name) override { userName = std::move(name); }
    void SetPassword(std::string password) override { this->password = std::move(password); }
    void CopyUserName(std::string& name) const override { name = userName; }
    void CopyPassword(std::string& password) const override { password = this->password; }
    std::string userName;
    std::string password;
};

// A folder put in front of PATH for the length of a test. With a route program, that program
// records its arguments, one call a line, and ends with exit code 1 (which must not matter).
// Without one, PATH holds only the empty folder, so no route program can be found at all.
class CRoutePath
{
public:
    explicit CRoutePath(bool withRouteProgram)
    {
        char pattern[] = "/tmp/link-route.XXXXXX";
        m_folder = ::mkdtemp(pattern);
        m_record = m_folder / "calls.txt";
        const char* path = std::getenv("PATH");
        m_oldPath = path ? path : "";
        if (withRouteProgram)
        {
            const auto program = m_folder / "route";
            std::ofstream(program)
                << "#!/bin/sh\necho \"$*\" >> '" << m_record.string() << "'\nexit 1\n";
            std::filesystem::permissions(program, std::filesystem::perms::owner_all);
            ::setenv("PATH", (m_folder.string() + ":" + m_oldPath).c_str(), 1);
        }
        else
        {
            ::setenv("PATH", m_folder.string().c_str(), 1);
        }
    }
    ~CRoutePath()
    {
        ::setenv("PATH", m_oldPath.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    CRoutePath(const CRoutePath&) = delete;
    CRoutePath& operator=(const CRoutePath&) = delete;

    // The calls recorded so far, one line each, without line ends.
    std::vector<std::string> Calls() const
    {
        std::ifstream file(m_record);
        std::vector<std::string> calls;
        for (std::string line; std::getline(file, line);)
            calls.push_back(line);
        return calls;
    }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_record;
    std::string m_oldPath;
};

// The texts of one kind of record of the command service, in order.
inline std::vector<std::string> CommandTexts(const CSimulatorProcess& sim, const std::string& kind)
{
    std::vector<std::string> texts;
    for (const auto& record : sim.Records("cmd", kind))
        texts.push_back(record.Text());
    return texts;
}

// The hex field of every datagram the discovery service received, in order.
inline std::vector<std::string> DatagramsReceived(const CSimulatorProcess& sim)
{
    std::vector<std::string> hex;
    for (const auto& record : sim.Records("udp", "datagram"))
        hex.push_back(record.Get("hex"));
    return hex;
}

// How many dialogs or boxes of one kind the operator was shown.
inline int CountShown(const CScriptedOperator& op, const std::string& what)
{
    int count = 0;
    for (const auto& shown : op.History())
        count += shown.what == what ? 1 : 0;
    return count;
}

inline std::vector<std::string> ShownKinds(const CScriptedOperator& op)
{
    std::vector<std::string> kinds;
    for (const auto& shown : op.History())
        kinds.push_back(shown.what);
    return kinds;
}
} // namespace link_test
