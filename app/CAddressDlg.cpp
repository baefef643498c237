#include "app/CAddressDlg.h"

#include "platform/win32/CDataExchange.h"
#include "resources/resource.h"

namespace
{
const char kEnterAddress[] = "Please enter the IP address of your Corvane, then click OK.";
const char kEnterAddressTitle[] = "Corvane upgrade utility - Enter IP address";
const char kConfirmCancel[] = "Canceling may result in the Corvane becoming unusable. Are you "
                              "sure you want to cancel the upgrade of this Corvane?";
const char kConfirmCancelTitle[] = "Corvane upgrade utility - user requested cancel";
} // namespace

CAddressDlg::CAddressDlg(HWND parent) : CDialogBase(IDD_GET_ADDRESS, parent) {}

void CAddressDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_ADDRESS, m_strAddress);
}

void CAddressDlg::OnOK()
{
    UpdateData(true);
    if (m_strAddress.empty())
    {
        ShowBox(kEnterAddress, kEnterAddressTitle, MB_OK | MB_SETFOREGROUND);
        return;
    }
    CDialogBase::OnOK();
}

void CAddressDlg::OnCancel()
{
    if (ShowBox(kConfirmCancel, kConfirmCancelTitle, MB_YESNO | MB_SETFOREGROUND) == IDNO)
        return;
    CDialogBase::OnCancel();
}
