#pragma once
#include "platform/Clock.h"

// The clock over SleepEx and GetTickCount. A scale above 1 makes time pass that many times
// faster, for a test build of the program: Sleep(ms) sleeps ms / scale (at least 1 ms when ms is
// positive) and TickCount counts scaled milliseconds. The shipped program uses scale 1.
class CWin32Clock : public IClock
{
public:
    explicit CWin32Clock(unsigned scale = 1);
    void Sleep(int milliseconds) override;
    std::uint32_t TickCount() override;

private:
    unsigned m_nScale;
};
