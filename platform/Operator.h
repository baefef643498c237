#pragma once
#include <string>

// Everything the worker shows the operator: its message boxes and the three operator dialogs.
// Windows: the real dialogs (owned by the progress window) and MessageBox without owner.
// Natively: a scripted operator that answers from a list and records what it was shown.
class IOperator
{
public:
    virtual ~IOperator() = default;

    // A message box without owner window; style is a combination of box:: values.
    // Returns the button chosen (box::kIdOk, box::kIdCancel, ...).
    virtual int ShowMessage(const std::string& text, const std::string& title, unsigned style) = 0;

    // The framework-style application box: warning icon, OK, the program file's base name as title.
    virtual void ShowApplicationMessage(const std::string& text) = 0;

    // The address dialog. True on OK, with the text exactly as typed (never empty).
    virtual bool AskAddress(std::string& address) = 0;

    // The login dialog. True on OK, with the name (never empty) and the password as typed,
    // each at most 30 characters and without line feed.
    virtual bool AskLogin(std::string& name, std::string& password) = 0;

    // The version confirmation dialog showing message. True when the operator chose "Upgrade".
    virtual bool ConfirmUpgrade(const std::string& message) = 0;
};
