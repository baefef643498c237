#pragma once
#include <windows.h>

#include <string>

class CDataExchange;

// A dialog made from a numbered template of the program's resources, modal (DoModal) or modeless
// (Create). Data exchange moves members to the controls when the dialog opens and back on OK.
// A dialog without parent is owned by the calling thread's main window.
//
// Like the system's dialog manager, the close box and the system menu's Close give the cancel
// command, unless the dialog's Cancel button is disabled: then they only sound a warning.
class CDialogBase
{
public:
    CDialogBase(int templateId, HWND parent = nullptr);
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Shows the dialog modally: IDOK, IDCANCEL or another end code; -1 when it cannot be shown.
    INT_PTR DoModal();

    // Creates the dialog's window as a modeless dialog; false when it cannot be created.
    bool Create();

    void DestroyWindow();
    HWND Handle() const { return m_hWnd; }

    // One data transfer (see CDataExchange); false when a check failed.
    bool UpdateData(bool save);

protected:
    // The framework's default: members to controls; true lets the system set the focus.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange& exchange);
    // Saves the data and, when that succeeds, ends the dialog with IDOK.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // Commands other than IDOK and IDCANCEL.
    virtual void OnCommand(int id, int notification);
    // Any other message; return true with result set to answer it, false to leave it to the
    // dialog manager.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    void EndDialog(int result);
    // A box owned by this dialog.
    int ShowBox(const std::string& text, const std::string& title, UINT style);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnClose();
    void OnDestroyed();

    int m_nTemplateId;
    HWND m_hParent;
    HWND m_hWnd = nullptr;
};
