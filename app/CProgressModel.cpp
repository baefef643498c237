#include "app/CProgressModel.h"

#include "app/ProgressView.h"
#include "engine/UpgradeMessages.h"

#include <climits>

namespace
{
const char kCancelling[] = "Canceling";

// The amounts arrive as long; the bars take int.
int ToInt(long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
} // namespace

CProgressModel::CProgressModel(IProgressView& view) : m_view(view) {}

void CProgressModel::PrepareBars()
{
    m_view.SetOverallRange(1, kOverallUnits);
    m_view.SetStepRange(1, kStepUnits);
    m_view.DeltaOverallPos(1);
}

CProgressModel::Result CProgressModel::Apply(unsigned message, const char* text, long amount)
{
    if (m_bClosed || !IsUpgradeNotification(message))
        return Result::Ignored;
    switch (message)
    {
    case WM_UPGRADE_STEP:
        Step(text, amount);
        return Result::Applied;
    case WM_UPGRADE_DONE:
    case WM_UPGRADE_FAILED:
        // Destroying the window kills its timer.
        m_bTimerActive = 0;
        m_bClosed = true;
        return Result::Close;
    case WM_UPGRADE_SHOW:
        Show();
        return Result::Applied;
    case WM_UPGRADE_TICK:
        Tick(text, amount);
        return Result::Applied;
    case WM_UPGRADE_TICK_RESET:
        ResetTick();
        return Result::Applied;
    case WM_UPGRADE_TIMED:
        BeginTimedStep(text, amount);
        return Result::Applied;
    case WM_UPGRADE_NEARLY_DONE:
        NearlyDone();
        return Result::Applied;
    default:
        return Result::Ignored;
    }
}

void CProgressModel::Step(const char* text, long amount)
{
    StopTimedStep();
    SetStatus(text);
    m_view.DeltaOverallPos(ToInt(amount));
    ShowTexts();
}

void CProgressModel::Tick(const char* text, long amount)
{
    StopTimedStep();
    SetStatus(text);
    m_view.DeltaStepPos(ToInt(amount));
    ShowTexts();
}

void CProgressModel::ResetTick()
{
    m_view.SetStepPos(0);
    StopTimedStep();
    ShowTexts();
}

void CProgressModel::BeginTimedStep(const char* text, long seconds)
{
    StopTimedStep();
    int lower = 0;
    int upper = 0;
    m_view.GetStepRange(lower, upper);
    long clamped = seconds < kShortestTimedStep ? kShortestTimedStep : seconds;
    // The range's upper end is n + 1 and must stay an int.
    if (clamped > INT_MAX - 1)
        clamped = INT_MAX - 1;
    const int ticks = static_cast<int>(clamped);
    // The new text shows at the first tick, or when another notification refreshes the window.
    SetStatus(text);
    m_view.SetStepRange(1, ticks + 1);
    StartTimedStep(ticks, lower, upper);
}

void CProgressModel::StartTimedStep(int ticks, int lower, int upper)
{
    m_nTicksLeft = ticks;
    m_nSavedLower = lower;
    m_nSavedUpper = upper;
    m_bTimerActive = 1;
    m_view.StartTimer();
}

void CProgressModel::StopTimedStep()
{
    if (m_bTimerActive == 0)
        return;
    m_bTimerActive = 0;
    m_view.StopTimer();
    m_view.SetStepRange(m_nSavedLower, m_nSavedUpper);
    m_view.SetStepPos(0);
    ShowTexts();
}

void CProgressModel::OnTimer()
{
    if (m_bClosed || m_bTimerActive == 0)
        return;
    m_view.DeltaStepPos(1);
    ShowTexts();
    if (m_nTicksLeft == 0)
        StopTimedStep();
    else
        --m_nTicksLeft;
}

void CProgressModel::Show()
{
    m_view.EnableCancel(true);
    m_view.ShowNormal();
}

void CProgressModel::NearlyDone()
{
    m_view.SetOverallPos(kNearlyDonePos);
    m_view.ShowNormal();
    m_view.Repaint();
}

bool CProgressModel::OnCancel()
{
    // Only an explicit Yes cancels: a box that could not be shown has asked nobody.
    if (m_bClosed || !m_view.ConfirmCancel())
        return false;
    m_view.EnableCancel(false);
    return true;
}

void CProgressModel::ShowCancelling()
{
    m_strNote = kCancelling;
    ShowTexts();
}

void CProgressModel::SetStatus(const char* text)
{
    if (text != nullptr)
        m_strStatus = text;
}

void CProgressModel::ShowTexts()
{
    m_view.ShowTexts(m_strStatus, m_strNote);
}
