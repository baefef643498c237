#include "platform/win32/CWin32Clock.h"

#include <windows.h>

CWin32Clock::CWin32Clock(unsigned scale) : m_nScale(scale > 0 ? scale : 1) {}

void CWin32Clock::Sleep(int milliseconds)
{
    if (milliseconds <= 0)
    {
        SleepEx(0, FALSE);
        return;
    }
    const DWORD scaled = static_cast<DWORD>(milliseconds) / m_nScale;
    SleepEx(scaled > 0 ? scaled : 1, FALSE);
}

std::uint32_t CWin32Clock::TickCount()
{
    return static_cast<std::uint32_t>(GetTickCount()) * m_nScale;
}
