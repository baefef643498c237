#include "browser/win32/CBrowserApp.h"

bool CBrowserApp::InitInstance()
{
    return true;
}
