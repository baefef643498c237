#pragma once
#include <windows.h>

#include <string>

class CControl;

// One transfer between a dialog's members and its controls: with save false the members go to
// the controls, with save true the controls' contents come back into the members. A check that
// fails on saving marks the whole transfer failed and puts the focus on the control at fault.
class CDataExchange
{
public:
    CDataExchange(HWND dialog, bool save) : m_hDialog(dialog), m_bSave(save) {}

    bool IsSaving() const { return m_bSave; }
    bool Failed() const { return m_bFailed; }

    // Binds the member to the control of that id.
    void Control(int id, CControl& control);

    // The text of the control of that id.
    void Text(int id, std::string& value);

    // Limits the edit of that id to maxChars characters (the operator cannot type or paste more);
    // on saving a longer text fails the transfer.
    void MaxChars(int id, const std::string& value, int maxChars);

private:
    void Fail(int id);

    HWND m_hDialog;
    bool m_bSave;
    bool m_bFailed = false;
};
