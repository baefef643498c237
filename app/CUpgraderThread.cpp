#include "app/CUpgraderThread.h"

#include "app/TimeScale.h"

CUpgraderThread::CUpgraderThread(unsigned long uiThreadId, const std::atomic<int>& cancelRequested)
    : m_clock(kTimeScale), m_notifier(uiThreadId),
      m_upgrader(CUpgraderPorts{m_clock, m_notifier, m_operator, m_files, m_internet, m_processes,
                                m_registry, cancelRequested})
{
}

bool CUpgraderThread::InitInstance()
{
    return m_upgrader.InitInstance();
}
