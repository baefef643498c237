#include "platform/win32/CWin32Application.h"

namespace
{
CWin32Application* g_pApplication = nullptr;
} // namespace

CWin32Application::CWin32Application()
{
    g_pApplication = this;
}

CWin32Application::~CWin32Application()
{
    if (g_pApplication == this)
        g_pApplication = nullptr;
}

CWin32Application* CWin32Application::Instance()
{
    return g_pApplication;
}

int CWin32Application::Run(HINSTANCE instance)
{
    m_hInstance = instance;
    m_nThreadID = GetCurrentThreadId();
    // Without the hook a modal loop could swallow a thread message; the program still runs.
    m_filterHook.Reset(SetWindowsHookExA(WH_MSGFILTER, MessageFilter, nullptr, m_nThreadID));
    int exitCode = 0;
    if (InitInstance())
        exitCode = RunStandardLoop();
    const int instanceExit = ExitInstance();
    return exitCode != 0 ? exitCode : instanceExit;
}

int CWin32Application::ExitInstance()
{
    return 0;
}

bool CWin32Application::PreTranslateMessage(MSG& message)
{
    // A thread message is no dialog's business; IsDialogMessage would also run it through the
    // message filter hook, which keeps such messages, and so process it again for ever.
    return m_hMainWnd != nullptr && message.hwnd != nullptr &&
           IsDialogMessageA(m_hMainWnd, &message) != FALSE;
}

bool CWin32Application::OnIdle(long /*count*/)
{
    return false;
}

bool CWin32Application::IsMessageWaiting()
{
    MSG message;
    return !m_keptMessages.empty() || PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

bool CWin32Application::PumpMessage()
{
    MSG message;
    // Messages kept from a modal loop were posted before anything still in the queue.
    if (!m_keptMessages.empty())
    {
        message = m_keptMessages.front();
        m_keptMessages.pop_front();
        Process(message);
        return true;
    }
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0)
        return false;
    if (got == -1)
        return true;
    Process(message);
    return true;
}

void CWin32Application::Process(MSG& message)
{
    const MSG* outer = m_pTranslating;
    m_pTranslating = &message;
    const bool handled = PreTranslateMessage(message);
    m_pTranslating = outer;
    if (!handled)
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int CWin32Application::RunStandardLoop()
{
    for (;;)
    {
        for (long count = 0; !IsMessageWaiting() && OnIdle(count); ++count)
        {
        }
        if (!PumpMessage())
            return 0;
    }
}

bool CWin32Application::KeepFromModalLoop(const MSG& message) const
{
    return message.hwnd == nullptr && message.message >= WM_USER && &message != m_pTranslating;
}

LRESULT CALLBACK CWin32Application::MessageFilter(int code, WPARAM flag, LPARAM message)
{
    CWin32Application* application = g_pApplication;
    if (code >= 0 && application != nullptr)
    {
        const MSG& filtered = *reinterpret_cast<const MSG*>(message);
        if (application->KeepFromModalLoop(filtered))
        {
            application->m_keptMessages.push_back(filtered);
            return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, flag, message);
}
