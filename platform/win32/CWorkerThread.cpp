#include "platform/win32/CWorkerThread.h"

#include "platform/win32/CScopedHandle.h"
#include "platform/win32/CWin32Application.h"

#include <process.h>

namespace
{
thread_local CWorkerThread* t_pCurrentThread = nullptr;
} // namespace

CWorkerThread* CWorkerThread::Begin(std::unique_ptr<CWorkerThread> thread)
{
    const CWin32Application* application = CWin32Application::Instance();
    thread->m_hMainWnd = application != nullptr ? application->MainWindow() : nullptr;
    CWorkerThread* started = thread.get();
    // The C runtime's own start so that the runtime is set up for the new thread.
    const uintptr_t handle = _beginthreadex(nullptr, 0, ThreadMain, started, 0, nullptr);
    if (handle == 0)
        return nullptr;
    // Nobody waits for the thread; its handle is not needed.
    const CKernelHandle threadHandle(reinterpret_cast<HANDLE>(handle));
    thread.release();
    return started;
}

HWND CWorkerThread::CurrentMainWindow()
{
    if (t_pCurrentThread != nullptr)
        return t_pCurrentThread->m_hMainWnd;
    const CWin32Application* application = CWin32Application::Instance();
    if (application != nullptr && application->ThreadId() == GetCurrentThreadId())
        return application->MainWindow();
    return nullptr;
}

unsigned __stdcall CWorkerThread::ThreadMain(void* parameter)
{
    std::unique_ptr<CWorkerThread> thread(static_cast<CWorkerThread*>(parameter));
    t_pCurrentThread = thread.get();
    int exitCode = 0;
    if (!thread->InitInstance())
        exitCode = thread->ExitInstance();
    t_pCurrentThread = nullptr;
    return static_cast<unsigned>(exitCode);
}
