#include "platform/win32/CProgressBar.h"

#include <commctrl.h>

void CProgressBar::SetRange(int lower, int upper)
{
    Send(PBM_SETRANGE, 0,
         MAKELPARAM(static_cast<WORD>(lower & 0xFFFF), static_cast<WORD>(upper & 0xFFFF)));
}

void CProgressBar::GetRange(int& lower, int& upper) const
{
    PBRANGE range = {};
    Send(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    lower = range.iLow;
    upper = range.iHigh;
}

void CProgressBar::SetPos(int position)
{
    Send(PBM_SETPOS, static_cast<WPARAM>(position));
}

void CProgressBar::DeltaPos(int amount)
{
    Send(PBM_DELTAPOS, static_cast<WPARAM>(amount));
}

int CProgressBar::GetPos() const
{
    return static_cast<int>(Send(PBM_GETPOS));
}
