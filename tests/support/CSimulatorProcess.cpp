#include "tests/support/CSimulatorProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef CORVANE_SIM_PATH
#define CORVANE_SIM_PATH "corvane-sim"
#endif

namespace
{
std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string MakeTemporaryFolder()
{
    char pattern[] = "/tmp/corvane-sim.XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        throw std::runtime_error("cannot create a state folder for the simulator");
    return pattern;
}

bool Elapsed(std::chrono::steady_clock::time_point start, int ms)
{
    return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(ms);
}
} // namespace

CSimulatorProcess::CSimulatorProcess(const std::string& scenarioText)
    : CSimulatorProcess(scenarioText, COptions())
{
}

CSimulatorProcess::CSimulatorProcess(const std::string& scenarioText, const COptions& options)
    : m_options(options), m_stateDir(MakeTemporaryFolder())
{
    m_readyFile = m_stateDir + "/ready";
    const std::string scenarioPath = m_stateDir + "/scenario.txt";
    std::ofstream(scenarioPath, std::ios::binary) << scenarioText;
    Launch(scenarioPath);
    if (!WaitReady())
    {
        Stop();
        const std::string log = Log();
        RemoveStateDir();
        throw std::runtime_error("corvane-sim did not become ready in " +
                                 NamespaceOf(m_options.appliance) + "; its log:\n" + log);
    }
}

CSimulatorProcess::~CSimulatorProcess()
{
    Stop();
    RemoveStateDir();
}

void CSimulatorProcess::RemoveStateDir()
{
    if (std::getenv("CORVANE_KEEP_SIM_STATE") != nullptr)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_stateDir, ignored);
}

void CSimulatorProcess::Launch(const std::string& scenarioPath)
{
    std::vector<std::string> arguments = {"ip",
                                          "netns",
                                          "exec",
                                          NamespaceOf(m_options.appliance),
                                          SimulatorPath(),
                                          "--scenario",
                                          scenarioPath,
                                          "--state",
                                          m_stateDir + "/state",
                                          "--transcript",
                                          TranscriptPath(),
                                          "--time-scale",
                                          std::to_string(m_options.timeScale),
                                          "--ready-file",
                                          m_readyFile};
    if (!m_options.bindAddress.empty())
    {
        arguments.push_back("--bind");
        arguments.push_back(m_options.bindAddress);
    }
    arguments.insert(arguments.end(), m_options.extraArguments.begin(),
                     m_options.extraArguments.end());
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const std::string logPath = LogPath();
    m_pid = ::fork();
    if (m_pid < 0)
        throw std::runtime_error("cannot fork for the simulator");
    if (m_pid == 0)
    {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0)
        {
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
        }
        ::execvp(argv[0], argv.data());
        _exit(127);
    }
}

bool CSimulatorProcess::WaitReady()
{
    const auto start = std::chrono::steady_clock::now();
    while (!Elapsed(start, m_options.readyTimeoutMs))
    {
        if (::access(m_readyFile.c_str(), F_OK) == 0)
            return true;
        if (!IsRunning())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool CSimulatorProcess::IsRunning()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
    {
        m_pid = -1;
        return false;
    }
    return true;
}

int CSimulatorProcess::Stop()
{
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, SIGTERM);
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0)
    {
        if (Elapsed(start, 5000))
        {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
    return status;
}

std::vector<CTranscriptRecord> CSimulatorProcess::Transcript() const
{
    return CTranscriptRecord::ReadFile(TranscriptPath());
}

std::vector<CTranscriptRecord> CSimulatorProcess::Records(const std::string& service,
                                                          const std::string& kind) const
{
    std::vector<CTranscriptRecord> chosen;
    for (auto& record : Transcript())
        if (record.Service() == service && (kind.empty() || record.Kind() == kind))
            chosen.push_back(record);
    return chosen;
}

bool CSimulatorProcess::WaitForRecords(const std::string& service, const std::string& kind,
                                       std::size_t count, int timeoutMs) const
{
    const auto start = std::chrono::steady_clock::now();
    while (Records(service, kind).size() < count)
    {
        if (Elapsed(start, timeoutMs))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string CSimulatorProcess::ReadStateFile(const std::string& name) const
{
    return ReadWholeFile(m_stateDir + "/state/" + name);
}

std::string CSimulatorProcess::Log() const
{
    return ReadWholeFile(LogPath());
}

std::string CSimulatorProcess::BedName()
{
    const char* name = std::getenv("CORVANE_TESTBED");
    return name != nullptr && *name != '\0' ? name : "cvbed";
}

std::string CSimulatorProcess::NamespaceOf(const std::string& appliance)
{
    return BedName() + "-" + appliance;
}

std::string CSimulatorProcess::AddressOf(const std::string& appliance)
{
    return appliance == "app2" ? "192.168.42.252" : "192.168.42.253";
}

std::string CSimulatorProcess::SimulatorPath()
{
    const char* path = std::getenv("CORVANE_SIM");
    return path != nullptr && *path != '\0' ? path : CORVANE_SIM_PATH;
}
