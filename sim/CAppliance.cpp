#include "sim/CAppliance.h"

#include "sim/CImageVersion.h"
#include "sim/SimLog.h"

#include <sys/stat.h>

namespace
{
const char kDatabaseFile[] = "general.db";
const char kSystemImage[] = "corvane.sys";
const char kInterfaceArchive[] = "cui.tar";
} // namespace

CAppliance::CAppliance(const CScenario& scenario, const std::string& stateDir,
                       CTranscript& transcript)
    : m_scenario(scenario), m_stateDir(stateDir), m_transcript(transcript),
      m_version(scenario.version), m_welcomePresent(scenario.welcomePresent),
      m_refusalsLeft(scenario.refuseLogins)
{
    if (!m_stateDir.empty())
        m_database.Load(m_stateDir + "/" + kDatabaseFile);
}

bool CAppliance::WriteDatabase()
{
    if (m_stateDir.empty())
        return true;
    return m_database.Save(m_stateDir + "/" + kDatabaseFile);
}

bool CAppliance::TakeLoginRefusal()
{
    if (m_refusalsLeft <= 0)
        return false;
    --m_refusalsLeft;
    return true;
}

bool CAppliance::IsAcceptableFileName(const std::string& name)
{
    if (name.empty() || name.size() > 64 || name[0] == '.')
        return false;
    for (char c : name)
    {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!allowed)
            return false;
    }
    return true;
}

std::string CAppliance::FilePath(const std::string& name) const
{
    return m_stateDir + "/" + name;
}

long long CAppliance::FileSize(const std::string& name) const
{
    if (!IsAcceptableFileName(name) || m_stateDir.empty())
        return -1;
    struct stat status
    {
    };
    if (stat(FilePath(name).c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return -1;
    return static_cast<long long>(status.st_size);
}

void CAppliance::NoteStored(const std::string& name)
{
    m_received.insert(name);
}

bool CAppliance::PackageReceived() const
{
    return m_received.count(kSystemImage) > 0 && m_received.count(kInterfaceArchive) > 0;
}

std::string CAppliance::NextVersion() const
{
    if (!PackageReceived())
        return m_version;
    if (!m_scenario.versionAfter.empty())
        return m_scenario.versionAfter;
    std::string imageVersion;
    if (CImageVersion::ReadFile(FilePath(kSystemImage), imageVersion))
        return imageVersion;
    LogLine("the received system image names no version; keeping " + m_version);
    return m_version;
}

std::string CAppliance::Restart()
{
    // The unpacked interface archive carries the welcome file.
    if (PackageReceived())
        m_welcomePresent = true;
    m_version = NextVersion();
    m_received.clear();
    m_database = CApplianceDatabase();
    if (!m_stateDir.empty())
        m_database.Load(m_stateDir + "/" + kDatabaseFile);
    return m_version;
}
