#pragma once
#include "platform/win32/CScopedHandle.h"

#include <windows.h>

#include <deque>

// The application object of a program's UI thread: its thread identifier, its main window and
// the message pump. Every message the pump retrieves is offered to PreTranslateMessage first;
// when the queue is empty the idle pass runs. Exactly one object exists per program; code on any
// thread reaches it through Instance().
//
// Window-less thread messages (values from WM_USER on) that arrive while the UI thread sits in a
// modal loop of the system (a message box, a modal dialog, a menu) would be thrown away by that
// loop. A message-filter hook takes them out there and the pump hands them on, in the order they
// arrived, as soon as control is back in the pump.
class CWin32Application
{
public:
    CWin32Application();
    virtual ~CWin32Application();
    CWin32Application(const CWin32Application&) = delete;
    CWin32Application& operator=(const CWin32Application&) = delete;

    static CWin32Application* Instance();

    // The program's entry: InitInstance, the standard loop when it asks for one, ExitInstance.
    int Run(HINSTANCE instance);

    virtual bool InitInstance() = 0;
    virtual int ExitInstance();

    // Returns true when the message has been handled and must not be dispatched. This base lets
    // a dialog main window have its keyboard handling.
    virtual bool PreTranslateMessage(MSG& message);

    // The idle pass, called with counts 0, 1, 2, ... until it returns false.
    virtual bool OnIdle(long count);

    // Retrieves, pre-translates and dispatches one message; false when it was the quit message.
    bool PumpMessage();

    // True when PumpMessage would find a message without waiting.
    bool IsMessageWaiting();

    HINSTANCE ResourceInstance() const { return m_hInstance; }
    DWORD ThreadId() const { return m_nThreadID; }
    HWND MainWindow() const { return m_hMainWnd; }
    void SetMainWindow(HWND window) { m_hMainWnd = window; }

protected:
    // The standard loop: pump until quit, with an idle pass whenever the queue runs dry.
    int RunStandardLoop();

private:
    static LRESULT CALLBACK MessageFilter(int code, WPARAM flag, LPARAM message);
    bool KeepFromModalLoop(const MSG& message) const;
    void Process(MSG& message);

    HINSTANCE m_hInstance = nullptr;
    DWORD m_nThreadID = 0;
    HWND m_hMainWnd = nullptr;
    CHookHandle m_filterHook;
    std::deque<MSG> m_keptMessages;
    // The message the pump is offering to PreTranslateMessage at the moment: the dialog manager
    // passes it to the filter hook as well, where it must not be taken a second time.
    const MSG* m_pTranslating = nullptr;
};
