#pragma once
#include <windows.h>

#include <string>

// Message boxes as the program shows them.
class CMessageBox
{
public:
    // A box with the given owner (or none), text, title and style; the button chosen, or 0 when
    // the box could not be shown.
    static int Show(HWND owner, const std::string& text, const std::string& title, UINT style);

    // The application's own box: titled with the program file's name without its extension,
    // owned by the calling thread's main window if it has one.
    static int ShowApplication(const std::string& text, UINT style);

    // The program file's name without folder and extension, e.g. "CorvaneUpgrader".
    static std::string ProgramName();
};
