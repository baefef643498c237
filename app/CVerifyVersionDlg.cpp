#include "app/CVerifyVersionDlg.h"

#include "platform/win32/CDataExchange.h"
#include "resources/resource.h"

CVerifyVersionDlg::CVerifyVersionDlg(HWND parent) : CDialogBase(IDD_VERIFY_VERSION, parent) {}

void CVerifyVersionDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_VERSION_MESSAGE, m_strMessage);
}
