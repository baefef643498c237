#include "app/CIntroDlg.h"

#include "app/CAboutPictureDlg.h"
#include "platform/win32/CDataExchange.h"
#include "platform/win32/CWin32Application.h"
#include "resources/resource.h"

namespace
{
HINSTANCE ResourceModule()
{
    return CWin32Application::Instance()->ResourceInstance();
}
} // namespace

CIntroDlg::CIntroDlg()
    : CDialogBase(IDD_INTRO), m_hIcon(LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDI_PROGRAM)))
{
}

void CIntroDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_INTRO_TEXT, m_strText);
}

bool CIntroDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    AddAboutItem();
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    return true;
}

void CIntroDlg::AddAboutItem()
{
    const HMENU systemMenu = GetSystemMenu(Handle(), FALSE);
    char item[256] = {};
    if (systemMenu == nullptr ||
        LoadStringA(ResourceModule(), IDS_ABOUT_ITEM, item, sizeof item) <= 0)
        return;
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(systemMenu, MF_STRING, IDM_ABOUT, item);
}

bool CIntroDlg::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, INT_PTR& result)
{
    switch (message)
    {
    case WM_SYSCOMMAND:
        result = 0;
        return OnSysCommand(wParam);
    case WM_PAINT:
        result = 0;
        return PaintMinimised();
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(m_hIcon);
        return true;
    default:
        return false;
    }
}

bool CIntroDlg::OnSysCommand(WPARAM command)
{
    if ((command & 0xFFF0) != IDM_ABOUT)
        return false;
    CAboutPictureDlg about(Handle());
    about.DoModal();
    return true;
}

bool CIntroDlg::PaintMinimised()
{
    if (!IsIconic(Handle()))
        return false;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Handle(), &paint);
    if (dc == nullptr)
        return false;
    SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(Handle(), &paint);
    return true;
}
