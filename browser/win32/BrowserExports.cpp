// The four functions that browser.dll exports to installers (names and ordinals in
// resources/browser.def), and its entry point. On x86 they use the Windows API calling
// convention; every answer is the result code, nothing is shown or logged.
#include "browser/CBrowserDetector.h"
#include "browser/win32/CBrowserApp.h"
#include "platform/win32/CWin32Registry.h"

#include <windows.h>

namespace
{
CBrowserApp theApp;
} // namespace

extern "C" int WINAPI DetectWebBrowsers(int flags, int reserved)
{
    CWin32Registry registry;
    return CBrowserDetector(registry).DetectWebBrowsers(flags, reserved);
}

extern "C" int WINAPI DetectWebBrowsersPath(int flags, char* path, int size, int reserved)
{
    CWin32Registry registry;
    return CBrowserDetector(registry).DetectWebBrowsersPath(flags, path, size, reserved);
}

extern "C" int WINAPI FindIE(char* path, int size, int minBuild)
{
    CWin32Registry registry;
    return CBrowserDetector(registry).FindIE(path, size, minBuild);
}

extern "C" int WINAPI FindNetscape(char* path, int size, double minVersion)
{
    CWin32Registry registry;
    return CBrowserDetector(registry).FindNetscape(path, size, minVersion);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        return theApp.InitInstance() ? TRUE : FALSE;
    return TRUE;
}
