#pragma once
#include "platform/Operator.h"

// The operator port on Windows: the worker's message boxes have no owner; the application box
// and the three dialogs are owned by the calling thread's main window (the progress window on
// the worker thread), which is disabled while a dialog is open.
class CWindowsOperator : public IOperator
{
public:
    int ShowMessage(const std::string& text, const std::string& title, unsigned style) override;
    void ShowApplicationMessage(const std::string& text) override;
    bool AskAddress(std::string& address) override;
    bool AskLogin(std::string& name, std::string& password) override;
    bool ConfirmUpgrade(const std::string& message) override;
};
