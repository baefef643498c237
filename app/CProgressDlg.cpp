#include "app/CProgressDlg.h"

#include "app/CUpgraderApp.h"
#include "app/TimeScale.h"
#include "platform/win32/CDataExchange.h"
#include "resources/resource.h"

namespace
{
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTickMs = 1000 / kTimeScale;

const char kConfirmCancel[] = "Canceling may result in the Corvane becoming unusable. Are you "
                              "sure you want to cancel the upgrade of this Corvane?";
const char kConfirmCancelTitle[] = "Corvane upgrade utility - user requested cancel";
} // namespace

CProgressDlg::CProgressDlg() : CDialogBase(IDD_PROGRESS), m_model(*this) {}

void CProgressDlg::PrepareBars()
{
    m_model.PrepareBars();
}

CProgressModel::Result CProgressDlg::Apply(unsigned message, const char* text, long amount)
{
    return m_model.Apply(message, text, amount);
}

void CProgressDlg::ShowCancelling()
{
    m_model.ShowCancelling();
}

void CProgressDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.Control(IDC_STEP_BAR, m_ctlStepBar);
    exchange.Control(IDCANCEL, m_btnCancel);
    exchange.Control(IDC_OVERALL_BAR, m_ctlOverallBar);
    exchange.Text(IDC_STATUS, m_strStatus);
    exchange.Text(IDC_NOTE, m_strNote);
}

void CProgressDlg::OnCancel()
{
    // Never closes the window: a confirmed request only reaches the worker through the flag.
    if (m_model.OnCancel())
        CUpgraderApp::Get().RequestCancel();
}

bool CProgressDlg::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/, INT_PTR& result)
{
    if (message != WM_TIMER)
        return false;
    m_model.OnTimer();
    result = 0;
    return true;
}

void CProgressDlg::SetOverallRange(int lower, int upper)
{
    m_ctlOverallBar.SetRange(lower, upper);
}
void CProgressDlg::DeltaOverallPos(int amount)
{
    m_ctlOverallBar.DeltaPos(amount);
}
void CProgressDlg::SetOverallPos(int position)
{
    m_ctlOverallBar.SetPos(position);
}
void CProgressDlg::SetStepRange(int lower, int upper)
{
    m_ctlStepBar.SetRange(lower, upper);
}
void CProgressDlg::GetStepRange(int& lower, int& upper)
{
    m_ctlStepBar.GetRange(lower, upper);
}
void CProgressDlg::DeltaStepPos(int amount)
{
    m_ctlStepBar.DeltaPos(amount);
}
void CProgressDlg::SetStepPos(int position)
{
    m_ctlStepBar.SetPos(position);
}

void CProgressDlg::ShowTexts(const std::string& status, const std::string& note)
{
    m_strStatus = status;
    m_strNote = note;
    UpdateData(false);
}

void CProgressDlg::StartTimer()
{
    SetTimer(Handle(), kTimerId, kTickMs, nullptr);
}
void CProgressDlg::StopTimer()
{
    KillTimer(Handle(), kTimerId);
}
void CProgressDlg::EnableCancel(bool enable)
{
    m_btnCancel.Enable(enable);
}
void CProgressDlg::ShowNormal()
{
    ShowWindow(Handle(), SW_SHOWNORMAL);
}
void CProgressDlg::Repaint()
{
    UpdateWindow(Handle());
}

bool CProgressDlg::ConfirmCancel()
{
    return ShowBox(kConfirmCancel, kConfirmCancelTitle, MB_YESNO | MB_SETFOREGROUND) == IDYES;
}
