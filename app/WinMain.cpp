#include "app/CUpgraderApp.h"

#include <windows.h>

namespace
{
// The one application object, made before the program starts.
CUpgraderApp theApp;
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/)
{
    return theApp.Run(instance);
}
