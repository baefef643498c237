#include "app/CAboutPictureDlg.h"

#include "resources/resource.h"

CAboutPictureDlg::CAboutPictureDlg(HWND parent) : CDialogBase(IDD_ABOUT_PICTURE, parent) {}

bool CAboutPictureDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    // The box has no control that takes the focus; it takes the typed characters itself.
    SetFocus(Handle());
    return false;
}

bool CAboutPictureDlg::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                 INT_PTR& result)
{
    switch (message)
    {
    case WM_GETDLGCODE:
        // Without this the dialog manager would take characters as mnemonics and drop them.
        result = DLGC_WANTCHARS;
        return true;
    case WM_CHAR:
    case WM_LBUTTONDOWN:
        OnOK();
        result = 0;
        return true;
    default:
        return false;
    }
}
