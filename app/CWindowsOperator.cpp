#include "app/CWindowsOperator.h"

#include "app/CAddressDlg.h"
#include "app/CLoginDlg.h"
#include "app/CVerifyVersionDlg.h"
#include "platform/win32/CMessageBox.h"

int CWindowsOperator::ShowMessage(const std::string& text, const std::string& title, unsigned style)
{
    return CMessageBox::Show(nullptr, text, title, style);
}

void CWindowsOperator::ShowApplicationMessage(const std::string& text)
{
    CMessageBox::ShowApplication(text, MB_OK | MB_ICONWARNING);
}

bool CWindowsOperator::AskAddress(std::string& address)
{
    CAddressDlg dialog;
    if (dialog.DoModal() != IDOK)
        return false;
    address = dialog.m_strAddress;
    return true;
}

bool CWindowsOperator::AskLogin(std::string& name, std::string& password)
{
    CLoginDlg dialog;
    if (dialog.DoModal() != IDOK)
        return false;
    name = dialog.m_strName;
    password = dialog.m_strPwd;
    return true;
}

bool CWindowsOperator::ConfirmUpgrade(const std::string& message)
{
    CVerifyVersionDlg dialog;
    dialog.m_strMessage = message;
    return dialog.DoModal() == IDOK;
}
