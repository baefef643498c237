#include "platform/win32/CDialogBase.h"

#include "platform/win32/CDataExchange.h"
#include "platform/win32/CMessageBox.h"
#include "platform/win32/CWin32Application.h"
#include "platform/win32/CWorkerThread.h"

namespace
{
HINSTANCE ResourceModule()
{
    const CWin32Application* application = CWin32Application::Instance();
    if (application != nullptr && application->ResourceInstance() != nullptr)
        return application->ResourceInstance();
    return GetModuleHandleA(nullptr);
}
} // namespace

CDialogBase::CDialogBase(int templateId, HWND parent) : m_nTemplateId(templateId), m_hParent(parent)
{
}

CDialogBase::~CDialogBase()
{
    DestroyWindow();
}

INT_PTR CDialogBase::DoModal()
{
    const HWND owner = m_hParent != nullptr ? m_hParent : CWorkerThread::CurrentMainWindow();
    return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(m_nTemplateId), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialogBase::Create()
{
    const HWND window = CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(m_nTemplateId),
                                           m_hParent, DialogProc, reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

void CDialogBase::DestroyWindow()
{
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

bool CDialogBase::UpdateData(bool save)
{
    if (m_hWnd == nullptr)
        return false;
    CDataExchange exchange(m_hWnd, save);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

bool CDialogBase::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialogBase::DoDataExchange(CDataExchange& /*exchange*/) {}

void CDialogBase::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialogBase::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialogBase::OnCommand(int /*id*/, int /*notification*/) {}

bool CDialogBase::OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                            INT_PTR& /*result*/)
{
    return false;
}

void CDialogBase::EndDialog(int result)
{
    if (m_hWnd != nullptr)
        ::EndDialog(m_hWnd, result);
}

int CDialogBase::ShowBox(const std::string& text, const std::string& title, UINT style)
{
    return CMessageBox::Show(m_hWnd, text, title, style);
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        auto* dialog = reinterpret_cast<CDialogBase*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        return dialog->OnInitDialog() ? TRUE : FALSE;
    }
    auto* dialog = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr)
        return FALSE;
    return dialog->Handle(message, wParam, lParam);
}

INT_PTR CDialogBase::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        switch (LOWORD(wParam))
        {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        }
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_NCDESTROY:
        OnDestroyed();
        return FALSE;
    default:
        break;
    }
    INT_PTR result = 0;
    if (!OnMessage(message, wParam, lParam, result))
        return FALSE;
    // Messages that a dialog procedure answers by its own return value.
    switch (message)
    {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return result;
    default:
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

void CDialogBase::OnClose()
{
    const HWND cancel = GetDlgItem(m_hWnd, IDCANCEL);
    if (cancel != nullptr && !IsWindowEnabled(cancel))
    {
        MessageBeep(MB_OK);
        return;
    }
    OnCancel();
}

void CDialogBase::OnDestroyed()
{
    SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
    CWin32Application* application = CWin32Application::Instance();
    // The main window going away ends the program's message loop.
    if (application != nullptr && application->MainWindow() == m_hWnd)
    {
        application->SetMainWindow(nullptr);
        PostQuitMessage(0);
    }
    m_hWnd = nullptr;
}
