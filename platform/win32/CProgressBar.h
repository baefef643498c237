#pragma once
#include "platform/win32/CControl.h"

// A progress bar control. Ranges travel as two 16-bit halves, as the control takes them.
class CProgressBar : public CControl
{
public:
    void SetRange(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    void SetPos(int position);
    void DeltaPos(int amount);
    int GetPos() const;
};
