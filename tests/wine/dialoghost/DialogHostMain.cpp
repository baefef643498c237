// A test host for the operator dialogs: a main window like the program's progress window and a
// worker thread that shows, through the program's own Windows operator, each dialog or box named
// on the command line, in order, and prints what the operator answered:
//
//   CorvaneDialogHost address | login | verify:MESSAGE | box:TEXT | appbox:TEXT ...
//
// Each result is one line: "address ok TEXT", "address cancel", "login ok NAME PASSWORD",
// "login cancel", "verify ok", "verify cancel", "box BUTTON", "appbox done" (texts quoted as the
// robot quotes them). The program ends after the last.
#include "CRobotWords.h"
#include "app/CWindowsOperator.h"
#include "platform/MessageBoxStyle.h"
#include "platform/win32/CWin32Application.h"
#include "platform/win32/CWorkerThread.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
const char kHostCaption[] = "Corvane dialog host";

void Print(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string Answer(IOperator& op, const std::string& request)
{
    const std::string::size_type colon = request.find(':');
    const std::string verb = request.substr(0, colon);
    const std::string text = colon == std::string::npos ? std::string() : request.substr(colon + 1);
    if (verb == "address")
    {
        std::string address;
        return op.AskAddress(address) ? "address ok " + CRobotWords::Quote(address)
                                      : "address cancel";
    }
    if (verb == "login")
    {
        std::string name;
        std::string password;
        return op.AskLogin(name, password)
                   ? "login ok " + CRobotWords::Quote(name) + " " + CRobotWords::Quote(password)
                   : "login cancel";
    }
    if (verb == "verify")
        return op.ConfirmUpgrade(text) ? "verify ok" : "verify cancel";
    if (verb == "box")
        return "box " + std::to_string(op.ShowMessage(text, "Corvane dialog host box",
                                                      box::kOk | box::kSetForeground));
    if (verb == "appbox")
    {
        op.ShowApplicationMessage(text);
        return "appbox done";
    }
    return "unknown " + CRobotWords::Quote(request);
}

// The worker: answers the requests in order, then ends the host's message loop.
class CRequestThread : public CWorkerThread
{
public:
    CRequestThread(std::vector<std::string> requests, DWORD uiThread)
        : m_requests(std::move(requests)), m_nUiThread(uiThread)
    {
    }

protected:
    bool InitInstance() override
    {
        CWindowsOperator op;
        for (const auto& request : m_requests)
            Print(Answer(op, request));
        PostThreadMessageA(m_nUiThread, WM_QUIT, 0, 0);
        return false;
    }

private:
    std::vector<std::string> m_requests;
    DWORD m_nUiThread;
};

class CDialogHostApp : public CWin32Application
{
public:
    explicit CDialogHostApp(std::vector<std::string> requests) : m_requests(std::move(requests)) {}

    bool InitInstance() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        const HWND main =
            CreateWindowExA(0, "STATIC", kHostCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                            320, 120, nullptr, nullptr, ResourceInstance(), nullptr);
        if (main == nullptr)
        {
            Print("fail no main window");
            return false;
        }
        m_mainWindow = main;
        SetMainWindow(main);
        if (CWorkerThread::Begin(std::make_unique<CRequestThread>(m_requests, ThreadId())) ==
            nullptr)
        {
            Print("fail no worker thread");
            return false;
        }
        return true;
    }

    int ExitInstance() override
    {
        if (m_mainWindow != nullptr)
            DestroyWindow(m_mainWindow);
        return 0;
    }

private:
    std::vector<std::string> m_requests;
    HWND m_mainWindow = nullptr;
};
} // namespace

int main(int argc, char** argv)
{
    CDialogHostApp host(std::vector<std::string>(argv + 1, argv + argc));
    return host.Run(GetModuleHandleA(nullptr));
}
