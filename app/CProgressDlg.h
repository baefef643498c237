#pragma once
#include "app/CProgressModel.h"
#include "app/ProgressView.h"
#include "platform/win32/CControl.h"
#include "platform/win32/CDialogBase.h"
#include "platform/win32/CProgressBar.h"

#include <string>

// The progress window: a modeless dialog of the UI thread with the overall bar, the status line,
// the step bar and the note line. CProgressModel decides what each notification, tick and cancel
// command does; this window applies it to its real controls.
class CProgressDlg : public CDialogBase, private IProgressView
{
public:
    CProgressDlg();

    void PrepareBars();
    CProgressModel::Result Apply(unsigned message, const char* text, long amount);
    // The note line announces the recorded cancel request.
    void ShowCancelling();

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void SetOverallRange(int lower, int upper) override;
    void DeltaOverallPos(int amount) override;
    void SetOverallPos(int position) override;
    void SetStepRange(int lower, int upper) override;
    void GetStepRange(int& lower, int& upper) override;
    void DeltaStepPos(int amount) override;
    void SetStepPos(int position) override;
    void ShowTexts(const std::string& status, const std::string& note) override;
    void StartTimer() override;
    void StopTimer() override;
    void EnableCancel(bool enable) override;
    void ShowNormal() override;
    void Repaint() override;
    bool ConfirmCancel() override;

    CProgressBar m_ctlStepBar;
    CControl m_btnCancel;
    CProgressBar m_ctlOverallBar;
    std::string m_strStatus;
    std::string m_strNote;
    CProgressModel m_model;
};
