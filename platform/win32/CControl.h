#pragma once
#include <windows.h>

// A child control of a dialog, bound to its window by data exchange.
class CControl
{
public:
    virtual ~CControl() = default;
    void Attach(HWND window) { m_hWnd = window; }
    HWND Handle() const { return m_hWnd; }
    void Enable(bool enable);
    bool IsEnabled() const;

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

private:
    HWND m_hWnd = nullptr;
};
