#include "engine/CUpgrader.h"

#include "engine/CLocatePhase.h"
#include "engine/CPackageFiles.h"
#include "engine/UpgradeMessages.h"
#include "platform/MessageBoxStyle.h"
#include "platform/Notifier.h"
#include "platform/Operator.h"

#include <memory>
#include <string>

namespace
{
const char kTitlePrefix[] = "Corvane upgrade utility - ";
} // namespace

CUpgrader::CUpgrader(const CUpgraderPorts& ports) : m_ports(ports) {}

bool CUpgrader::InitInstance()
{
    if (!CheckBrowserPrerequisite())
    {
        Post(WM_UPGRADE_FAILED);
        return false;
    }
    Post(RunUpgrade() != 0 ? WM_UPGRADE_DONE : WM_UPGRADE_FAILED);
    return false;
}

int CUpgrader::RunUpgrade()
{
    std::string packageVersion;
    if (!CPackageFiles(m_ports.files, m_ports.op).ReadPackageVersion(packageVersion))
        return 0;
    const std::unique_ptr<CCommandSocket> session = CLocatePhase(*this).Run();
    if (!session)
        return 0;
    return 0;
}

bool CUpgrader::CheckBrowserPrerequisite()
{
    return true;
}

int CUpgrader::PostStep(const char* text, long amount)
{
    m_ports.notifier.Post(WM_UPGRADE_STEP, text, amount);
    return 1;
}

int CUpgrader::PostTimedStep(const char* text, long seconds)
{
    m_ports.notifier.Post(WM_UPGRADE_TIMED, text, seconds);
    return 1;
}

void CUpgrader::Post(unsigned message)
{
    m_ports.notifier.Post(message, nullptr, 0);
}

void CUpgrader::ShowFailure(const char* text, const char* kind)
{
    m_ports.op.ShowMessage(text, std::string(kTitlePrefix) + kind, box::kOk | box::kSetForeground);
}

void CUpgrader::SetUserName(std::string name) { m_strUserName = std::move(name); }
void CUpgrader::SetPassword(std::string password) { m_strPassword = std::move(password); }
void CUpgrader::CopyUserName(std::string& name) const { name = m_strUserName; }
void CUpgrader::CopyPassword(std::string& password) const { password = m_strPassword; }
