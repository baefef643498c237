#pragma once
#include "platform/win32/CDialogBase.h"

// The About box: one picture covering the whole box. A left click anywhere on it or any typed
// character closes it.
class CAboutPictureDlg : public CDialogBase
{
public:
    explicit CAboutPictureDlg(HWND parent = nullptr);

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
};
