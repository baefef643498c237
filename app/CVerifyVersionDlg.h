#pragma once
#include "platform/win32/CDialogBase.h"

#include <string>

// Shows the caller's message about the two versions and asks whether to upgrade: "Upgrade" (the
// default button) ends it with IDOK, Cancel with IDCANCEL; neither asks anything more.
class CVerifyVersionDlg : public CDialogBase
{
public:
    explicit CVerifyVersionDlg(HWND parent = nullptr);

    std::string m_strMessage;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
};
