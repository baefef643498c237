#include "app/CLoginDlg.h"

#include "platform/win32/CDataExchange.h"
#include "resources/resource.h"

namespace
{
const char kMissingName[] = "You must enter a username.";
const char kMissingNameTitle[] = "Corvane login - Missing username";
const char kRestartAppliance[] = "Turn the Corvane off, then on again.";
const char kRestartApplianceTitle[] = "Corvane login - cancel requested";
} // namespace

CLoginDlg::CLoginDlg(HWND parent) : CDialogBase(IDD_LOGIN, parent) {}

void CLoginDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_PASSWORD, m_strPwd);
    exchange.MaxChars(IDC_PASSWORD, m_strPwd, kMaxChars);
    exchange.Text(IDC_NAME, m_strName);
    exchange.MaxChars(IDC_NAME, m_strName, kMaxChars);
}

void CLoginDlg::OnOK()
{
    UpdateData(true);
    if (m_strName.empty())
    {
        ShowBox(kMissingName, kMissingNameTitle, MB_OK | MB_SETFOREGROUND);
        return;
    }
    CDialogBase::OnOK();
}

void CLoginDlg::OnCancel()
{
    ShowBox(kRestartAppliance, kRestartApplianceTitle, MB_OK | MB_SETFOREGROUND);
    CDialogBase::OnCancel();
}
