#pragma once
#include <cstdint>

// Time as the worker sees it: pauses and a millisecond tick count.
// Windows: SleepEx and GetTickCount. Natively a steady clock, optionally scaled for tests.
class IClock
{
public:
    virtual ~IClock() = default;
    virtual void Sleep(int milliseconds) = 0;
    virtual std::uint32_t TickCount() = 0;
};
