#pragma once
#include <windows.h>

#include <memory>

// A thread of the program besides the UI thread. When it starts it takes the application's main
// window of that moment as its own main window: dialogs it opens without a parent are owned by
// that window (which is disabled while they are open). InitInstance does the thread's whole work;
// when it returns, ExitInstance runs and the object is deleted.
class CWorkerThread
{
public:
    virtual ~CWorkerThread() = default;
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Starts the thread at once, with normal priority and the default stack size. The thread owns
    // the object from then on. Null when the thread cannot be started (the object is freed).
    static CWorkerThread* Begin(std::unique_ptr<CWorkerThread> thread);

    // The main window of the calling thread: the inherited one on a worker thread, the
    // application's on the UI thread, else none.
    static HWND CurrentMainWindow();

    HWND MainWindow() const { return m_hMainWnd; }

protected:
    CWorkerThread() = default;

    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return 0; }

private:
    static unsigned __stdcall ThreadMain(void* parameter);

    HWND m_hMainWnd = nullptr;
};
