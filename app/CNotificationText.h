#pragma once
#include <windows.h>

// The status text of a notification. The worker passes a pointer to one of the program's string
// constants; a thread message can come from any program on the desktop, though, so a word
// parameter is taken as text only when it points into this program's own image and the text
// ends there.
class CNotificationText
{
public:
    // The text, or null when the word parameter is 0 or no text of this program.
    static const char* FromWordParameter(WPARAM wParam);
};
