#include "platform/win32/CControl.h"

void CControl::Enable(bool enable)
{
    if (m_hWnd != nullptr)
        EnableWindow(m_hWnd, enable ? TRUE : FALSE);
}

bool CControl::IsEnabled() const
{
    return m_hWnd != nullptr && IsWindowEnabled(m_hWnd) != FALSE;
}

LRESULT CControl::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_hWnd != nullptr ? SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}
