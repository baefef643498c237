#pragma once
#include <string>

// What the progress window's logic does to the window: the two bars (ranges travel as two 16-bit
// halves, as a progress bar takes them), the two text lines, the one-second timer, the Cancel
// button, showing the window and the cancel confirmation. The Win32 window implements it over its
// real controls; tests record it.
class IProgressView
{
public:
    virtual ~IProgressView() = default;

    virtual void SetOverallRange(int lower, int upper) = 0;
    virtual void DeltaOverallPos(int amount) = 0;
    virtual void SetOverallPos(int position) = 0;

    virtual void SetStepRange(int lower, int upper) = 0;
    virtual void GetStepRange(int& lower, int& upper) = 0;
    virtual void DeltaStepPos(int amount) = 0;
    virtual void SetStepPos(int position) = 0;

    // Puts the status and note texts on the screen.
    virtual void ShowTexts(const std::string& status, const std::string& note) = 0;

    // Timer 1, one tick a second.
    virtual void StartTimer() = 0;
    virtual void StopTimer() = 0;

    virtual void EnableCancel(bool enable) = 0;
    // Shows the window in its normal size (restoring it when minimised or hidden).
    virtual void ShowNormal() = 0;
    // Paints the window at once.
    virtual void Repaint() = 0;

    // The cancel confirmation box; true when the operator answered Yes.
    virtual bool ConfirmCancel() = 0;
};
