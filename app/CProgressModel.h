#pragma once
#include <string>

class IProgressView;

// The progress window's logic: applies the worker's notifications to the two bars and the two
// text lines, runs the timed step (the step bar advancing by itself once a second) and the cancel
// confirmation. It keeps the window's state and tells the view what to change.
class CProgressModel
{
public:
    // The overall bar measures the whole run in these units.
    static constexpr int kOverallUnits = 2400;
    static constexpr int kStepUnits = 25;
    static constexpr int kNearlyDonePos = 2399;
    static constexpr int kShortestTimedStep = 2;

    enum class Result
    {
        Applied, // the notification took effect
        Ignored, // not a notification, 1028, or the window has been closed
        Close    // WM_UPGRADE_DONE or WM_UPGRADE_FAILED: the owner destroys the window now
    };

    explicit CProgressModel(IProgressView& view);

    // Start-up's preparation of the bars.
    void PrepareBars();

    // One notification; text is null when it carries none.
    Result Apply(unsigned message, const char* text, long amount);

    // The one-second tick of a timed step.
    void OnTimer();

    void StartTimedStep(int ticks, int lower, int upper);
    void StopTimedStep();

    // The cancel command: asks the operator; true when the request is confirmed (the Cancel
    // button is then disabled and the caller records the request).
    bool OnCancel();

    // The note line announces the recorded cancel request.
    void ShowCancelling();

    const std::string& Status() const { return m_strStatus; }
    const std::string& Note() const { return m_strNote; }
    bool IsTimerActive() const { return m_bTimerActive != 0; }
    int TicksLeft() const { return m_nTicksLeft; }
    bool IsClosed() const { return m_bClosed; }

private:
    void Step(const char* text, long amount);
    void Tick(const char* text, long amount);
    void ResetTick();
    void BeginTimedStep(const char* text, long seconds);
    void Show();
    void NearlyDone();
    void SetStatus(const char* text);
    void ShowTexts();

    IProgressView& m_view;
    std::string m_strStatus;
    std::string m_strNote;
    int m_bTimerActive = 0;
    int m_nTicksLeft = 0;
    int m_nSavedLower = 0;
    int m_nSavedUpper = 0;
    bool m_bClosed = false;
};
