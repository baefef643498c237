#pragma once
#include "engine/UpgraderPorts.h"
#include "link/CredentialStore.h"

#include <string>

// The worker: checks the browser prerequisite, runs one upgrade from start to finish and tells
// the UI thread the outcome. Everything here runs on the worker thread and blocks.
class CUpgrader : public ICredentialStore
{
public:
    // Room for a host name of 255 characters and its terminator.
    static constexpr int kAddressCapacity = 256;

    explicit CUpgrader(const CUpgraderPorts& ports);

    // The whole work of the thread; always false (the thread then ends).
    bool InitInstance();

    // 1 when the appliance reports the package version after the upgrade, else 0.
    int RunUpgrade();

    int PostStep(const char* text, long amount);
    int PostTimedStep(const char* text, long seconds);
    void Post(unsigned message);

    // Shows a box of the run's style: no owner, OK, no icon, titled with the kind of failure.
    void ShowFailure(const char* text, const char* kind);

    void SetUserName(std::string name) override;
    void SetPassword(std::string password) override;
    void CopyUserName(std::string& name) const override;
    void CopyPassword(std::string& password) const override;

    const CUpgraderPorts& Ports() const { return m_ports; }

    char m_szAddress[kAddressCapacity] = {};

private:
    bool CheckBrowserPrerequisite();

    CUpgraderPorts m_ports;
    std::string m_strUserName;
    std::string m_strPassword;
};
