#include "link/CProgressPause.h"

#include "engine/UpgradeMessages.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"

CProgressPause::CProgressPause(IClock& clock, INotifier& notifier)
    : m_clock(clock), m_notifier(notifier)
{
}

void CProgressPause::Wait(int ms)
{
    // A negative length would turn into an endless sleep on the way to the system.
    const int slice = ms > 0 ? ms / kSlices : 0;
    for (int done = 0; done < kSlices; ++done)
    {
        m_clock.Sleep(slice);
        m_notifier.Post(WM_UPGRADE_STEP, nullptr, 1);
        m_notifier.Post(WM_UPGRADE_TICK, nullptr, 1);
    }
    m_notifier.Post(WM_UPGRADE_TICK_RESET, nullptr, 0);
}
