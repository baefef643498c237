#pragma once
#include "sim/CApplianceDatabase.h"
#include "sim/CScenario.h"
#include "sim/CTranscript.h"

#include <set>
#include <string>

// What the simulated appliance is, shared by all its services: the running version, the welcome
// file, the configuration database (running copy and disk copy in the state folder), the files
// received by FTP since the last start, and the counters that the scenario's faults go by.
class CAppliance
{
public:
    CAppliance(const CScenario& scenario, const std::string& stateDir, CTranscript& transcript);

    const CScenario& Scenario() const { return m_scenario; }
    CTranscript& Transcript() { return m_transcript; }
    const std::string& Version() const { return m_version; }
    bool WelcomePresent() const { return m_welcomePresent; }

    CApplianceDatabase& Database() { return m_database; }
    bool WriteDatabase();

    // True when a correct login must still be refused; counts the refusal.
    bool TakeLoginRefusal();
    // Numbers the command lines of all sessions from 1.
    int NextCommandNumber() { return ++m_commandCount; }

    // A file name the FTP server accepts: a plain name of letters, digits, '.', '_' and '-',
    // not starting with '.', at most 64 characters. Nothing else reaches the state folder.
    static bool IsAcceptableFileName(const std::string& name);
    std::string FilePath(const std::string& name) const;
    // -1 when no such file has been stored.
    long long FileSize(const std::string& name) const;
    void NoteStored(const std::string& name);

    // The restart: the running database is replaced by the disk copy and, when both package
    // files arrived since the last start, the version becomes the image's. Returns the version
    // that the appliance comes back with.
    std::string Restart();

private:
    bool PackageReceived() const;
    std::string NextVersion() const;

    CScenario m_scenario;
    std::string m_stateDir;
    CTranscript& m_transcript;
    std::string m_version;
    bool m_welcomePresent;
    CApplianceDatabase m_database;
    std::set<std::string> m_received;
    int m_refusalsLeft;
    int m_commandCount = 0;
};
