// corvane-sim: a stand-in for the Corvane appliance on the test network. See README.md.
#include "sim/CAppliance.h"
#include "sim/CScenario.h"
#include "sim/CSimServer.h"
#include "sim/CTranscript.h"
#include "sim/SimLog.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
volatile std::sig_atomic_t g_stop = 0;

void RequestStop(int)
{
    g_stop = 1;
}

struct COptions
{
    std::string scenarioPath;
    std::string stateDir;
    std::string transcriptPath;
    std::string readyFile;
    CServerOptions server;
};

const char kUsage[] =
    "usage: corvane-sim --state DIR [--scenario FILE] [--transcript FILE] [--time-scale N]\n"
    "                   [--bind ADDR] [--ready-file PATH] [--command-port P] [--ftp-port P]\n"
    "                   [--discovery-port P]\n";

bool ParsePort(const char* text, std::uint16_t& port)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > 65535)
        return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

bool ParseArguments(int argc, char** argv, COptions& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (name == "--scenario")
            options.scenarioPath = value;
        else if (name == "--state")
            options.stateDir = value;
        else if (name == "--transcript")
            options.transcriptPath = value;
        else if (name == "--ready-file")
            options.readyFile = value;
        else if (name == "--bind")
            options.server.bindAddress = value;
        else if (name == "--time-scale")
        {
            char* end = nullptr;
            options.server.timeScale = std::strtod(value, &end);
            if (*end != '\0' || !(options.server.timeScale > 0) || options.server.timeScale > 1e6)
                return false;
        }
        else if (name == "--command-port")
        {
            if (!ParsePort(value, options.server.commandPort))
                return false;
        }
        else if (name == "--ftp-port")
        {
            if (!ParsePort(value, options.server.ftpPort))
                return false;
        }
        else if (name == "--discovery-port")
        {
            if (!ParsePort(value, options.server.discoveryPort))
                return false;
        }
        else
            return false;
    }
    return !options.stateDir.empty();
}

bool ReadScenario(const std::string& path, CScenario& scenario)
{
    if (path.empty())
        return true;
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        LogLine("cannot read scenario " + path + ": " + std::strerror(errno));
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    CScenarioReader reader;
    if (reader.Read(text.str(), scenario))
        return true;
    for (const auto& error : reader.Errors())
        LogLine(path + ": " + error);
    return false;
}

bool WriteReadyFile(const std::string& path)
{
    if (path.empty())
        return true;
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << ::getpid() << '\n';
        if (!out)
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

void InstallSignalHandlers()
{
    struct sigaction action
    {
    };
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}
} // namespace

int main(int argc, char** argv)
{
    COptions options;
    if (!ParseArguments(argc, argv, options))
    {
        std::fputs(kUsage, stderr);
        return 2;
    }
    CScenario scenario;
    if (!ReadScenario(options.scenarioPath, scenario))
        return 2;
    if (::mkdir(options.stateDir.c_str(), 0755) != 0 && errno != EEXIST)
    {
        LogLine("cannot create state folder " + options.stateDir + ": " + std::strerror(errno));
        return 1;
    }
    if (options.transcriptPath.empty())
        options.transcriptPath = options.stateDir + "/transcript.jsonl";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> transcriptFile(
        std::fopen(options.transcriptPath.c_str(), "ab"), &std::fclose);
    if (!transcriptFile)
    {
        LogLine("cannot open transcript " + options.transcriptPath + ": " + std::strerror(errno));
        return 1;
    }
    InstallSignalHandlers();
    CTranscript transcript(transcriptFile.get());
    CAppliance appliance(scenario, options.stateDir, transcript);
    CSimServer server(appliance, options.server);
    std::string error;
    if (!server.Start(error))
    {
        LogLine(error);
        return 1;
    }
    if (!WriteReadyFile(options.readyFile))
    {
        LogLine("cannot write ready file " + options.readyFile);
        return 1;
    }
    server.Run(g_stop);
    return 0;
}
