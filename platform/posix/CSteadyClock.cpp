#include "platform/posix/CSteadyClock.h"

#include <thread>

CSteadyClock::CSteadyClock(double scale)
    : m_scale(scale > 0 ? scale : 1.0), m_start(std::chrono::steady_clock::now())
{
}

void CSteadyClock::Sleep(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(milliseconds / m_scale));
}

std::uint32_t CSteadyClock::TickCount()
{
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - m_start;
    return static_cast<std::uint32_t>(elapsed.count() * m_scale);
}
