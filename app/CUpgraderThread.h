#pragma once
#include "app/CWindowsOperator.h"
#include "engine/CUpgrader.h"
#include "platform/win32/CThreadNotifier.h"
#include "platform/win32/CWin32Clock.h"
#include "platform/win32/CWin32FileSystem.h"
#include "platform/win32/CWin32ProcessLauncher.h"
#include "platform/win32/CWin32Registry.h"
#include "platform/win32/CWinInet.h"
#include "platform/win32/CWorkerThread.h"

#include <atomic>

// The worker thread of the upgrade: owns the Windows adapters of the worker's ports for the
// thread's life and runs CUpgrader on them. Its notifications go to the UI thread uiThreadId.
class CUpgraderThread : public CWorkerThread
{
public:
    CUpgraderThread(unsigned long uiThreadId, const std::atomic<int>& cancelRequested);

protected:
    bool InitInstance() override;

private:
    CWin32Clock m_clock;
    CThreadNotifier m_notifier;
    CWindowsOperator m_operator;
    CWin32FileSystem m_files;
    CWinInet m_internet;
    CWin32ProcessLauncher m_processes;
    CWin32Registry m_registry;
    CUpgrader m_upgrader;
};
