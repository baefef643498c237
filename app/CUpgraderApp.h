#pragma once
#include "app/CWindowsOperator.h"
#include "platform/win32/CScopedHandle.h"
#include "platform/win32/CWin32Application.h"
#include "platform/win32/CWin32FileSystem.h"

#include <atomic>
#include <memory>
#include <string>

class CProgressDlg;
class CSocketLibrary;
class CWorkerThread;

// The upgrade utility's application object, on the UI thread: refuses a second copy, starts the
// socket library, checks the package, shows the introduction dialog, then opens the progress
// window, starts the worker and pumps messages until the worker's final notification has closed
// the window. The worker's notifications reach the progress window through PreTranslateMessage.
class CUpgraderApp : public CWin32Application
{
public:
    CUpgraderApp();
    ~CUpgraderApp() override;

    static CUpgraderApp& Get();

    // The whole start-up and run; always false, so no further message loop runs.
    bool InitInstance() override;
    bool PreTranslateMessage(MSG& message) override;

    bool CheckSingleInstance();
    bool CheckRequiredFiles();
    void RunMessageLoop();
    void RequestCancel();

    // Set once by the UI thread, read by the worker at fixed points of its run.
    std::atomic<int> m_bCancelRequested{0};

private:
    bool StartSockets();
    bool CreateProgressWindow();
    void StartWorker();
    void CloseProgressWindow();
    std::string ProgramString(unsigned id) const;
    void ShowFailure(const char* text, const char* kind);

    std::unique_ptr<CProgressDlg> m_pProgressDlg;
    CWorkerThread* m_pWorkerThread = nullptr;
    int m_bLoopDone = 0;

    CKernelHandle m_instanceMapping;
    std::unique_ptr<CSocketLibrary> m_pSockets;
    CWindowsOperator m_operator;
    CWin32FileSystem m_files;
};
