// Works the upgrade utility from outside for the browser prerequisite's Wine test: accepts the
// introduction dialog, then (unless --intro-only) waits for the message box with the given
// title, prints what it shows and answers it with OK. Every wait is bounded.
//
//   browser_box_watcher [--intro-only] "<box title>"
//
// Prints "intro: accepted", then "box title: ...", "box text: ...", "box icon: ...",
// "box buttons: ..." and "box: answered"; a line starting "FAIL" when something did not appear.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
const char kDialogClass[] = "#32770";
const char kIntroCaption[] = "Corvane Upgrade Utility";
constexpr DWORD kWaitMilliseconds = 60000;
constexpr int kMessageBoxTextId = 0xFFFF;

HWND WaitForVisibleDialog(const char* caption)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kWaitMilliseconds)
    {
        const HWND window = FindWindowA(kDialogClass, caption);
        if (window != nullptr && IsWindowVisible(window))
            return window;
        Sleep(50);
    }
    return nullptr;
}

// The icon of a message box is its visible static control with the SS_ICON style (its id
// differs between Windows and Wine).
HWND FindIconControl(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
    {
        char className[16] = {};
        GetClassNameA(child, className, sizeof(className));
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child))
            return child;
    }
    return nullptr;
}

// The pixels of a width x height area of a device context.
std::string Pixels(HDC source, int x, int y, int width, int height)
{
    const HDC memory = CreateCompatibleDC(source);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::string pixels;
    if (bitmap != nullptr)
    {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY))
        {
            GdiFlush();
            pixels.assign(static_cast<const char*>(bits),
                          static_cast<std::size_t>(width) * height * 4);
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    return pixels;
}

// The icon is told by its looks: its control's pixels on the screen are compared with each
// standard icon drawn on the box's own background (icon handles and window device contexts do
// not cross processes).
std::string IconName(HWND box)
{
    const HWND icon = FindIconControl(box);
    if (icon == nullptr)
        return "none";
    RECT area = {};
    GetClientRect(icon, &area);
    const int width = area.right;
    const int height = area.bottom;
    POINT origin = {0, 0};
    ClientToScreen(icon, &origin);
    const HDC screen = GetDC(nullptr);
    const std::string shown = Pixels(screen, origin.x, origin.y, width, height);
    const COLORREF background = GetPixel(screen, origin.x, origin.y);
    const std::pair<LPCSTR, const char*> known[] = {{IDI_WARNING, "warning"},
                                                    {IDI_ERROR, "error"},
                                                    {IDI_INFORMATION, "information"},
                                                    {IDI_QUESTION, "question"}};
    std::string name = shown.empty() ? "unreadable" : "other";
    for (const auto& [id, candidate] : known)
    {
        const HDC canvas = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        const HGDIOBJ old = SelectObject(canvas, bitmap);
        const HBRUSH brush = CreateSolidBrush(background);
        FillRect(canvas, &area, brush);
        DeleteObject(brush);
        DrawIconEx(canvas, 0, 0, LoadIconA(nullptr, id), 0, 0, 0, nullptr, DI_NORMAL);
        const bool same = !shown.empty() && Pixels(canvas, 0, 0, width, height) == shown;
        SelectObject(canvas, old);
        DeleteObject(bitmap);
        DeleteDC(canvas);
        if (same)
        {
            name = candidate;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return name;
}

std::string Buttons(HWND box)
{
    const std::pair<int, const char*> buttons[] = {
        {IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDYES, "Yes"}, {IDNO, "No"}};
    std::string names;
    for (const auto& [id, name] : buttons)
    {
        const HWND button = GetDlgItem(box, id);
        if (button != nullptr && IsWindowVisible(button))
            names += names.empty() ? name : std::string(" ") + name;
    }
    return names;
}

// Posted, not sent: the handler opens or closes modal windows.
void PressOk(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv)
{
    const bool introOnly = argc == 3 && std::strcmp(argv[1], "--intro-only") == 0;
    if (argc != 2 && !introOnly)
    {
        Say("usage: browser_box_watcher [--intro-only] \"<box title>\"");
        return 2;
    }
    const char* title = argv[argc - 1];

    const HWND intro = WaitForVisibleDialog(kIntroCaption);
    if (intro == nullptr)
    {
        Say("FAIL no introduction dialog");
        return 1;
    }
    PressOk(intro);
    Say("intro: accepted");
    if (introOnly)
        return 0;

    const HWND box = WaitForVisibleDialog(title);
    if (box == nullptr)
    {
        Say(std::string("FAIL no box titled \"") + title + "\"");
        return 1;
    }
    char text[1024] = {};
    GetDlgItemTextA(box, kMessageBoxTextId, text, sizeof(text));
    Say(std::string("box title: ") + title);
    Say(std::string("box text: ") + text);
    Say("box icon: " + IconName(box));
    Say("box buttons: " + Buttons(box));
    Say(std::string("box foreground: ") + (GetForegroundWindow() == box ? "yes" : "no"));
    PressOk(box);
    Say("box: answered");
    return 0;
}
