#pragma once
#include "platform/Clock.h"

#include <chrono>

// The native clock. A scale above 1 makes time pass that many times faster (for tests):
// Sleep(ms) sleeps ms / scale and TickCount counts scaled milliseconds.
class CSteadyClock : public IClock
{
public:
    explicit CSteadyClock(double scale = 1.0);
    void Sleep(int milliseconds) override;
    std::uint32_t TickCount() override;

private:
    double m_scale;
    std::chrono::steady_clock::time_point m_start;
};
