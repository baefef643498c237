#include "app/CAboutPictureDlg.h"

#include "resources/resource.h"

CAboutPictureDlg::CAboutPictureDlg(HWND parent) : CDialogBase(IDD_ABOUT_PICTURE, parent) {}

bool CAboutPictureDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    SetFocus(Handle());
    return false;
}

bool CAboutPictureDlg::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, INT_PTR& result)
{
    switch (message)
    {
    case WM_ACTIVATE:
        // The focus stays with the box itself, so that it receives the typed characters: the
        // dialog manager would hand it on to the picture, on activation and on WM_SETFOCUS.
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(Handle());
        result = 0;
        return true;
    case WM_SETFOCUS:
        result = 0;
        return true;
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
