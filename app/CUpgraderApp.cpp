#include "app/CUpgraderApp.h"

#include "app/CIntroDlg.h"
#include "app/CNotificationText.h"
#include "app/CProgressDlg.h"
#include "app/CUpgraderThread.h"
#include "engine/CPackageFiles.h"
#include "engine/UpgradeMessages.h"
#include "platform/Socket.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace
{
const char kInstanceMapName[] = "UpgraderTestMap";
constexpr DWORD kInstanceMapSize = 32;

const char kTitlePrefix[] = "Corvane upgrade utility - ";
const char kNoModem[] =
    "Cannot create a connection to the modem. Your modem may be turned off or the computer "
    "memory may be low. Make sure the modem is turned on, then restart the computer and run the "
    "Corvane upgrade utility again.";
const char kNoProgressWindow[] =
    "Could not create upgrade dialog box. Your computer memory may be low. Restart the computer "
    "and run the Corvane upgrade utility again.";
const char kIntroPrefix[] = "This utility will upgrade your Corvane software to version ";
} // namespace

CUpgraderApp::CUpgraderApp() = default;

CUpgraderApp::~CUpgraderApp() = default;

CUpgraderApp& CUpgraderApp::Get()
{
    return static_cast<CUpgraderApp&>(*Instance());
}

bool CUpgraderApp::InitInstance()
{
    if (!CheckSingleInstance() || !StartSockets())
        return false;
    // The progress window's bars are common controls.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    CIntroDlg intro;
    if (!CheckRequiredFiles())
        return false;
    std::string version;
    if (!CPackageFiles(m_files, m_operator).ReadPackageVersion(version))
        return false;
    intro.m_strText = kIntroPrefix + version + ".";
    if (intro.DoModal() != IDOK)
        return false;

    if (!CreateProgressWindow())
        return false;
    m_pProgressDlg->PrepareBars();
    ShowWindow(m_pProgressDlg->Handle(), SW_SHOWNORMAL);
    UpdateWindow(m_pProgressDlg->Handle());
    StartWorker();
    RunMessageLoop();
    if (m_pProgressDlg)
        CloseProgressWindow();
    return false;
}

bool CUpgraderApp::CheckSingleInstance()
{
    const HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0,
                                              kInstanceMapSize, kInstanceMapName);
    const DWORD error = GetLastError();
    if (mapping == nullptr)
    {
        ShowFailure(kNoModem, "Cannot find modem");
        return false;
    }
    // Kept open for the life of the process: the name marks this copy as running.
    m_instanceMapping.Reset(mapping);
    return error != ERROR_ALREADY_EXISTS;
}

bool CUpgraderApp::StartSockets()
{
    m_pSockets = std::make_unique<CSocketLibrary>();
    if (m_pSockets->IsStarted())
        return true;
    m_operator.ShowApplicationMessage(ProgramString(IDS_SOCKETS_FAILED));
    return false;
}

bool CUpgraderApp::CheckRequiredFiles()
{
    return CPackageFiles(m_files, m_operator).CheckRequiredFiles();
}

bool CUpgraderApp::CreateProgressWindow()
{
    m_pProgressDlg = std::make_unique<CProgressDlg>();
    if (!m_pProgressDlg->Create())
    {
        ShowFailure(kNoProgressWindow, "Error");
        return false;
    }
    SetMainWindow(m_pProgressDlg->Handle());
    return true;
}

void CUpgraderApp::StartWorker()
{
    m_pWorkerThread =
        CWorkerThread::Begin(std::make_unique<CUpgraderThread>(ThreadId(), m_bCancelRequested));
}

void CUpgraderApp::RunMessageLoop()
{
    bool idleDone = false;
    while (m_bLoopDone == 0)
    {
        while (IsMessageWaiting())
        {
            idleDone = false;
            if (!PumpMessage())
            {
                m_bLoopDone = 1;
                PostQuitMessage(0);
                break;
            }
        }
        if (!idleDone)
        {
            for (long count = 0; OnIdle(count); ++count)
            {
            }
            idleDone = true;
        }
        // Waiting with the quit message already taken would wait for nothing.
        if (m_bLoopDone == 0)
            WaitMessage();
    }
}

bool CUpgraderApp::PreTranslateMessage(MSG& message)
{
    if (IsUpgradeNotification(message.message) && m_pProgressDlg)
    {
        const char* text = CNotificationText::FromWordParameter(message.wParam);
        const long amount = static_cast<long>(message.lParam);
        if (m_pProgressDlg->Apply(message.message, text, amount) == CProgressModel::Result::Close)
            CloseProgressWindow();
    }
    return CWin32Application::PreTranslateMessage(message);
}

void CUpgraderApp::RequestCancel()
{
    m_bCancelRequested = 1;
    if (m_pProgressDlg)
        m_pProgressDlg->ShowCancelling();
}

void CUpgraderApp::CloseProgressWindow()
{
    m_pProgressDlg->DestroyWindow();
    m_pProgressDlg.reset();
    PostQuitMessage(0);
}

std::string CUpgraderApp::ProgramString(unsigned id) const
{
    char text[256] = {};
    const int length = LoadStringA(ResourceInstance(), id, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

void CUpgraderApp::ShowFailure(const char* text, const char* kind)
{
    m_operator.ShowMessage(text, std::string(kTitlePrefix) + kind, MB_OK | MB_SETFOREGROUND);
}
