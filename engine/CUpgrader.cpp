#include "engine/CUpgrader.h"

#include "browser/CBrowserCheck.h"
#include "engine/CLocatePhase.h"
#include "engine/CMessageBuffer.h"
#include "engine/CPackageFiles.h"
#include "engine/CRestartPhase.h"
#include "engine/CSettingsPhase.h"
#include "engine/CTransferPhase.h"
#include "engine/CVerificationPhase.h"
#include "engine/CVersionCheckPhase.h"
#include "engine/UpgradeMessages.h"
#include "platform/FtpClient.h"
#include "platform/MessageBoxStyle.h"
#include "platform/Notifier.h"
#include "platform/Operator.h"

#include <memory>
#include <string>

namespace
{
const char kTitlePrefix[] = "Corvane upgrade utility - ";
const char kIncorrectBrowser[] = "Incorrect browser version";
const char kIncorrectBrowserText[] =
    "The Internet Explorer web browser on your computer needs to be version 3.02 or higher. "
    "Rerun the Corvane user software setup and install the browser software when prompted.";
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
    // Declared in the reverse of the order of release: the command session goes first, then
    // the strings, the archive's FTP connection, and the Internet session last.
    const std::unique_ptr<IInternetSession> internet = CTransferPhase::OpenInternetSession(*this);
    if (!internet)
        return 0;
    CTransferPhase transfer(*this, *internet);
    std::string packageVersion;
    CMessageBuffer message;
    if (!CPackageFiles(m_ports.files, m_ports.op).ReadPackageVersion(packageVersion))
        return 0;
    const std::unique_ptr<CCommandSocket> session = CLocatePhase(*this).Run();
    if (!session)
        return 0;
    if (!CRestartPhase(*this, *session).SwitchMailCheckingOffAndRestart())
        return 0;
    if (!CVersionCheckPhase(*this, *session).Run(packageVersion, message))
        return 0;
    if (!transfer.Run(*session))
        return 0;
    if (!CSettingsPhase(*this, *session).Run())
        return 0;
    return CVerificationPhase(*this, *session).Run(packageVersion, message);
}

bool CUpgrader::CheckBrowserPrerequisite()
{
    if (CBrowserCheck(m_ports.registry).CheckBrowser())
        return true;
    m_ports.op.ShowMessage(kIncorrectBrowserText, std::string(kTitlePrefix) + kIncorrectBrowser,
                           box::kOk | box::kIconWarning | box::kSetForeground);
    return false;
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
