#include "platform/win32/CDataExchange.h"

#include "platform/win32/CControl.h"

#include <vector>

void CDataExchange::Control(int id, CControl& control)
{
    control.Attach(GetDlgItem(m_hDialog, id));
}

void CDataExchange::Text(int id, std::string& value)
{
    const HWND control = GetDlgItem(m_hDialog, id);
    if (control == nullptr)
    {
        Fail(id);
        return;
    }
    if (!m_bSave)
    {
        SetWindowTextA(control, value.c_str());
        return;
    }
    const int length = GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, text.data(), length + 1);
    value.assign(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

void CDataExchange::MaxChars(int id, const std::string& value, int maxChars)
{
    if (!m_bSave)
    {
        SendDlgItemMessageA(m_hDialog, id, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        return;
    }
    if (value.size() > static_cast<size_t>(maxChars))
        Fail(id);
}

void CDataExchange::Fail(int id)
{
    m_bFailed = true;
    if (m_bSave)
    {
        const HWND control = GetDlgItem(m_hDialog, id);
        if (control != nullptr)
            SetFocus(control);
        MessageBeep(MB_OK);
    }
}
