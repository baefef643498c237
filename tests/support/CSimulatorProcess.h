#pragma once
#include "tests/support/CTranscriptRecord.h"

#include <string>
#include <sys/types.h>
#include <vector>

// A corvane-sim run for a test: started in an appliance namespace of the test bed (named by the
// environment variable CORVANE_TESTBED, "cvbed" without it) with the given scenario text and a
// fresh state folder, ready once its listeners are bound; stopped with SIGTERM on destruction.
// The constructor throws std::runtime_error (with the simulator's log) when it does not start.
class CSimulatorProcess
{
public:
    struct COptions
    {
        std::string appliance = "app1"; // app1 (192.168.42.253) or app2 (192.168.42.252)
        double timeScale = 1.0;         // divides every wait of the scenario
        std::string bindAddress;        // empty: the simulator's default, 0.0.0.0
        int readyTimeoutMs = 10000;
        std::vector<std::string> extraArguments;
    };

    explicit CSimulatorProcess(const std::string& scenarioText);
    CSimulatorProcess(const std::string& scenarioText, const COptions& options);
    ~CSimulatorProcess();
    CSimulatorProcess(const CSimulatorProcess&) = delete;
    CSimulatorProcess& operator=(const CSimulatorProcess&) = delete;

    bool IsRunning();
    // The simulator's process id, or -1 once it has ended.
    pid_t Pid() const { return m_pid; }
    // SIGTERM and a bounded wait (SIGKILL after 5 s); the exit status as from waitpid, or -1.
    int Stop();

    const std::string& StateDir() const { return m_stateDir; }
    std::string TranscriptPath() const { return m_stateDir + "/transcript.jsonl"; }
    std::string LogPath() const { return m_stateDir + "/sim.log"; }
    // The appliance's address on the test network.
    std::string Address() const { return AddressOf(m_options.appliance); }

    std::vector<CTranscriptRecord> Transcript() const;
    // Records of one service ("cmd", "udp", "ftp", "sim") and, if given, one kind, in order.
    std::vector<CTranscriptRecord> Records(const std::string& service,
                                           const std::string& kind = "") const;
    // Waits (bounded) until at least count such records are there; false on time-out.
    bool WaitForRecords(const std::string& service, const std::string& kind, std::size_t count,
                        int timeoutMs) const;
    // A file of the state folder (a stored upload, general.db), empty when missing.
    std::string ReadStateFile(const std::string& name) const;
    std::string Log() const;

    static std::string BedName();
    static std::string NamespaceOf(const std::string& appliance);
    static std::string AddressOf(const std::string& appliance);
    static std::string SimulatorPath();

private:
    void Launch(const std::string& scenarioPath);
    bool WaitReady();
    void RemoveStateDir();

    COptions m_options;
    std::string m_stateDir;
    std::string m_readyFile;
    pid_t m_pid = -1;
};
