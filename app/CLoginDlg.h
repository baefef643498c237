#pragma once
#include "platform/win32/CDialogBase.h"

#include <string>

// Asks for the administrator's name and password, each at most 30 characters. OK needs a name;
// an empty password is accepted. Cancel tells the operator to restart the appliance.
class CLoginDlg : public CDialogBase
{
public:
    static constexpr int kMaxChars = 30;

    explicit CLoginDlg(HWND parent = nullptr);

    std::string m_strPwd;
    std::string m_strName;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    void OnOK() override;
    void OnCancel() override;
};
