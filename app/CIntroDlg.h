#pragma once
#include "platform/win32/CDialogBase.h"

#include <string>

// The introduction dialog: tells which version the package upgrades to and lets the operator go
// on (OK) or stop (Cancel). Its system menu ends with the About item.
class CIntroDlg : public CDialogBase
{
public:
    // Loads the application icon.
    CIntroDlg();

    std::string m_strText;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void AddAboutItem();
    bool OnSysCommand(WPARAM command);
    bool PaintMinimised();

    HICON m_hIcon;
};
