#include "CRobot.h"

#include "CDialogTemplate.h"
#include "CRobotWords.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace
{
constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 20;

std::string Hex(unsigned long long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

std::string HandleText(HWND window)
{
    return Hex(reinterpret_cast<uintptr_t>(window));
}

void Print(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool Number(const std::vector<std::string>& words, size_t index, long long& value)
{
    return index < words.size() && CRobotWords::ToNumber(words[index], value);
}

DWORD Timeout(const std::vector<std::string>& words, size_t index)
{
    long long value = 0;
    return Number(words, index, value) && value >= 0 ? static_cast<DWORD>(value)
                                                     : kDefaultTimeoutMs;
}

std::string ClassOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string CaptionOf(HWND window)
{
    char caption[1024] = {};
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

// The text of any window, also of an edit control of another process (which keeps its text to
// itself): asked for with WM_GETTEXT, which the system carries across.
std::string TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length))
        return CaptionOf(window);
    std::vector<char> text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return CaptionOf(window);
    return std::string(text.data(), copied);
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM list) -> BOOL
        {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND FindVisible(const std::function<bool(HWND)>& matches)
{
    for (HWND window : TopLevelWindows())
        if (IsWindowVisible(window) && matches(window))
            return window;
    return nullptr;
}

HWND WaitFor(const std::function<bool(HWND)>& matches, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        const HWND found = FindVisible(matches);
        if (found != nullptr || GetTickCount() - start >= timeoutMs)
            return found;
        Sleep(kPollMs);
    }
}

std::string WindowLine(const char* kind, HWND window)
{
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    return std::string(kind) + " " + HandleText(window) + " pid=" + std::to_string(process) +
           " thread=" + std::to_string(thread) + " class=" + CRobotWords::Quote(ClassOf(window)) +
           " caption=" + CRobotWords::Quote(CaptionOf(window)) +
           " visible=" + std::to_string(IsWindowVisible(window) ? 1 : 0) +
           " enabled=" + std::to_string(IsWindowEnabled(window) ? 1 : 0) +
           " owner=" + HandleText(GetWindow(window, GW_OWNER));
}

std::string ButtonName(int id)
{
    switch (id)
    {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return std::to_string(id);
    }
}

bool ButtonId(const std::string& word, int& id)
{
    static const struct
    {
        const char* name;
        int id;
    } names[] = {{"OK", IDOK},       {"CANCEL", IDCANCEL}, {"YES", IDYES},      {"NO", IDNO},
                 {"ABORT", IDABORT}, {"RETRY", IDRETRY},   {"IGNORE", IDIGNORE}};
    std::string upper;
    for (const char c : word)
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    for (const auto& name : names)
        if (upper == name.name)
        {
            id = name.id;
            return true;
        }
    long long value = 0;
    if (!CRobotWords::ToNumber(word, value))
        return false;
    id = static_cast<int>(value);
    return true;
}

bool KeyCode(const std::string& word, WPARAM& key)
{
    static const struct
    {
        const char* name;
        WPARAM key;
    } names[] = {{"ESCAPE", VK_ESCAPE}, {"RETURN", VK_RETURN}, {"TAB", VK_TAB},
                 {"SPACE", VK_SPACE},   {"UP", VK_UP},         {"DOWN", VK_DOWN}};
    for (const auto& name : names)
        if (word == name.name)
        {
            key = name.key;
            return true;
        }
    long long value = 0;
    if (!CRobotWords::ToNumber(word, value))
        return false;
    key = static_cast<WPARAM>(value);
    return true;
}

std::string RectText(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right - rect.left) + "," + std::to_string(rect.bottom - rect.top);
}

// Converts pixels back to dialog units with the base units of a dialog of the same font: the
// smallest number of units that the system maps to exactly these pixels, else the nearest below
// marked with "~".
std::string ToDialogUnits(int pixels, int baseUnit, int unitsPerBase)
{
    for (int units = 0; units <= 4 * pixels + 8; ++units)
    {
        const int mapped = MulDiv(units, baseUnit, unitsPerBase);
        if (mapped == pixels)
            return std::to_string(units);
        if (mapped > pixels)
            return "~" + std::to_string(units - 1);
    }
    return "?";
}

// The program's own template, loaded from its file without running it.
class CProgramTemplate
{
public:
    CProgramTemplate(const std::string& program, int id)
    {
        m_hModule = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (m_hModule == nullptr)
            return;
        const HRSRC resource = FindResourceA(m_hModule, MAKEINTRESOURCEA(id), RT_DIALOG);
        const HGLOBAL loaded = resource != nullptr ? LoadResource(m_hModule, resource) : nullptr;
        const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (bytes == nullptr)
            return;
        const auto* first = static_cast<const unsigned char*>(bytes);
        m_bytes.assign(first, first + SizeofResource(m_hModule, resource));
    }
    ~CProgramTemplate()
    {
        if (m_hLocalCopy != nullptr)
            DestroyWindow(m_hLocalCopy);
        if (m_hModule != nullptr)
            FreeLibrary(m_hModule);
    }
    CProgramTemplate(const CProgramTemplate&) = delete;
    CProgramTemplate& operator=(const CProgramTemplate&) = delete;

    const std::vector<unsigned char>& Bytes() const { return m_bytes; }

    // A hidden local copy of the dialog, for its base units.
    HWND LocalCopy()
    {
        if (m_hLocalCopy != nullptr || m_bytes.size() < 16)
            return m_hLocalCopy;
        std::vector<unsigned char> hidden = m_bytes;
        const bool extended = hidden[2] == 0xFF && hidden[3] == 0xFF;
        // The style's WS_VISIBLE bit: byte 3 of the style field.
        hidden[extended ? 15 : 3] &= static_cast<unsigned char>(~0x10);
        m_hLocalCopy = CreateDialogIndirectParamA(
            m_hModule, reinterpret_cast<LPCDLGTEMPLATEA>(hidden.data()), nullptr,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        return m_hLocalCopy;
    }

private:
    HMODULE m_hModule = nullptr;
    std::vector<unsigned char> m_bytes;
    HWND m_hLocalCopy = nullptr;
};
} // namespace

CRobot::CRobot()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

CRobot::~CRobot()
{
    for (HANDLE held : m_heldObjects)
        CloseHandle(held);
}

const char* CRobot::Help()
{
    return "commands (one a line; TEXT in double quotes may hold blanks and \\\" \\\\ \\r \\n \\t "
           "\\xHH):\n"
           "  wait-window CAPTION [MS]   wait for a visible top-level window; it becomes current\n"
           "  wait-box TITLE [MS]        wait for a visible message box; prints its text, buttons\n"
           "  no-window CAPTION MS       fails when such a window shows within MS\n"
           "  wait-gone [MS]             wait until the current window is destroyed or hidden\n"
           "  use HWND                   make HWND current\n"
           "  windows [PID]              list top-level windows (of one process)\n"
           "  state [ID]                 visibility, enabled, style, rectangle\n"
           "  text [ID]                  the text of a control (or of the window)\n"
           "  wait-text ID TEXT [MS]     wait until a control shows TEXT\n"
           "  set-text ID TEXT           WM_SETTEXT\n"
           "  type ID TEXT               each character as WM_CHAR, as typed\n"
           "  paste ID TEXT              TEXT through the clipboard and WM_PASTE\n"
           "  press BUTTON               BM_CLICK posted (OK, CANCEL, YES, NO or an id)\n"
           "  command ID                 WM_COMMAND posted\n"
           "  key NAME                   key press posted to the focus (ESCAPE, RETURN, TAB, "
           "code)\n"
           "  char TEXT                  WM_CHAR posted to the focus\n"
           "  click                      left mouse click in the window's middle (SendInput)\n"
           "  close                      WM_CLOSE posted\n"
           "  syscommand ID [L]          WM_SYSCOMMAND posted (0xF060 is the close box)\n"
           "  post MSG [W] [L]           PostMessage to the window\n"
           "  post-thread MSG [W] [L]    PostThreadMessage to the window's thread\n"
           "  send ID MSG [W] [L]        SendMessage to a control (no pointers); prints the "
           "result\n"
           "  progress ID                range and position of a progress bar\n"
           "  controls [EXE TEMPLATE]    the children, in pixels and, with the program's "
           "template,\n"
           "                             in dialog units\n"
           "  template EXE ID            a dialog template of a program file, field by field\n"
           "  menu                       the window's system menu\n"
           "  focus                      the focus window of the window's thread\n"
           "  hold-event NAME            create a named event and keep it until the robot ends\n"
           "  watch MS                   list the top-level windows that show within MS\n"
           "  wait-owned [MS [CLASS]]    wait for a visible window (of CLASS) owned by the current "
           "one\n"
           "  wait-class CLASS [MS]      wait for a visible top-level window of a class (for\n"
           "                             instance #32768, an open menu); it does not become "
           "current\n"
           "  open-file PATH ACCESS SHARE  hold PATH open (read, write, readwrite; share none,\n"
           "                             read, write, readwrite) until the robot ends\n"
           "  lock-file PATH             hold PATH open for writing with all of it locked\n"
           "  sleep MS | echo TEXT | help\n";
}

bool CRobot::Execute(const std::string& line)
{
    Words words;
    if (!CRobotWords::Split(line, words))
        return Fail("malformed line");
    if (words.empty())
        return true;
    if (!Dispatch(words))
        return false;
    Print("ok");
    return true;
}

bool CRobot::Fail(const std::string& reason)
{
    Print("fail " + reason);
    return false;
}

bool CRobot::Dispatch(const Words& words)
{
    const std::string& verb = words[0];
    static const struct
    {
        const char* verb;
        bool (CRobot::*run)(const Words&);
    } verbs[] = {{"wait-window", &CRobot::WaitWindow},
                 {"wait-box", &CRobot::WaitBox},
                 {"no-window", &CRobot::NoWindow},
                 {"wait-gone", &CRobot::WaitGone},
                 {"use", &CRobot::Use},
                 {"windows", &CRobot::Windows},
                 {"state", &CRobot::State},
                 {"text", &CRobot::Text},
                 {"wait-text", &CRobot::WaitText},
                 {"set-text", &CRobot::SetText},
                 {"type", &CRobot::Type},
                 {"paste", &CRobot::Paste},
                 {"press", &CRobot::Press},
                 {"command", &CRobot::Command},
                 {"key", &CRobot::Key},
                 {"char", &CRobot::Char},
                 {"click", &CRobot::Click},
                 {"progress", &CRobot::Progress},
                 {"controls", &CRobot::Controls},
                 {"template", &CRobot::Template},
                 {"menu", &CRobot::Menu},
                 {"focus", &CRobot::Focus},
                 {"hold-event", &CRobot::HoldEvent},
                 {"watch", &CRobot::Watch},
                 {"wait-owned", &CRobot::WaitOwned},
                 {"open-file", &CRobot::OpenFile},
                 {"lock-file", &CRobot::LockFile},
                 {"wait-class", &CRobot::WaitClass}};
    for (const auto& entry : verbs)
        if (verb == entry.verb)
            return (this->*entry.run)(words);
    if (verb == "post" || verb == "post-thread")
        return Post(words, verb == "post-thread");
    if (verb == "send")
        return Send(words);
    if (verb == "close")
        return NeedCurrent() &&
               (PostMessageA(m_hCurrent, WM_CLOSE, 0, 0) || Fail("cannot post WM_CLOSE"));
    if (verb == "syscommand")
    {
        long long command = 0;
        long long lParam = 0;
        if (!Number(words, 1, command) || (words.size() > 2 && !Number(words, 2, lParam)))
            return Fail("usage: syscommand ID [L]");
        return NeedCurrent() &&
               (PostMessageA(m_hCurrent, WM_SYSCOMMAND, static_cast<WPARAM>(command),
                             static_cast<LPARAM>(lParam)) ||
                Fail("cannot post WM_SYSCOMMAND"));
    }
    if (verb == "sleep")
    {
        Sleep(Timeout(words, 1));
        return true;
    }
    if (verb == "echo")
    {
        Print("echo " + CRobotWords::Quote(words.size() > 1 ? words[1] : ""));
        return true;
    }
    if (verb == "help")
    {
        std::fputs(Help(), stdout);
        return true;
    }
    return Fail("unknown command " + verb);
}

bool CRobot::NeedCurrent()
{
    if (m_hCurrent != nullptr && IsWindow(m_hCurrent))
        return true;
    return Fail("no current window");
}

bool CRobot::Target(const Words& words, size_t index, HWND& target)
{
    if (!NeedCurrent())
        return false;
    if (index >= words.size() || words[index] == "window")
    {
        target = m_hCurrent;
        return true;
    }
    long long id = 0;
    if (!CRobotWords::ToNumber(words[index], id))
        return Fail("not a control id: " + words[index]);
    target = id == 0 ? m_hCurrent : GetDlgItem(m_hCurrent, static_cast<int>(id));
    if (target == nullptr)
        return Fail("no control " + words[index]);
    return true;
}

HWND CRobot::FocusOfCurrent()
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(m_hCurrent, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr)
        return info.hwndFocus;
    return m_hCurrent;
}

bool CRobot::WaitWindow(const Words& words)
{
    if (words.size() < 2)
        return Fail("usage: wait-window CAPTION [MS]");
    const std::string caption = words[1];
    const HWND found = WaitFor([&](HWND w) { return CaptionOf(w) == caption; }, Timeout(words, 2));
    if (found == nullptr)
        return Fail("no window " + CRobotWords::Quote(caption));
    m_hCurrent = found;
    Print(WindowLine("window", found));
    return true;
}

bool CRobot::WaitBox(const Words& words)
{
    if (words.size() < 2)
        return Fail("usage: wait-box TITLE [MS]");
    const std::string title = words[1];
    const HWND found = WaitFor(
        [&](HWND w) {
            return ClassOf(w) == "#32770" && CaptionOf(w) == title &&
                   GetDlgItem(w, 0xFFFF) != nullptr;
        },
        Timeout(words, 2));
    if (found == nullptr)
        return Fail("no box " + CRobotWords::Quote(title));
    m_hCurrent = found;
    std::string buttons;
    bool icon = false;
    for (HWND child : Children(found))
    {
        if (!IsWindowVisible(child))
            continue;
        const std::string childClass = ClassOf(child);
        if (childClass == "Button")
            buttons += (buttons.empty() ? "" : ",") + ButtonName(GetDlgCtrlID(child));
        else if (childClass == "Static" &&
                 (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        {
            // The box keeps its icon control even without an icon: ask whether it shows one.
            DWORD_PTR shown = 0;
            if (SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                    &shown) &&
                shown != 0)
                icon = true;
        }
    }
    Print("box " + HandleText(found) + " title=" + CRobotWords::Quote(CaptionOf(found)) +
          " text=" + CRobotWords::Quote(TextOf(GetDlgItem(found, 0xFFFF))) + " buttons=" + buttons +
          " icon=" + (icon ? "1" : "0") + " owner=" + HandleText(GetWindow(found, GW_OWNER)));
    return true;
}

bool CRobot::NoWindow(const Words& words)
{
    long long ms = 0;
    if (words.size() < 3 || !Number(words, 2, ms))
        return Fail("usage: no-window CAPTION MS");
    const std::string caption = words[1];
    const HWND found =
        WaitFor([&](HWND w) { return CaptionOf(w) == caption; }, static_cast<DWORD>(ms));
    if (found != nullptr)
        return Fail("window shown: " + WindowLine("window", found));
    Print("none");
    return true;
}

bool CRobot::WaitGone(const Words& words)
{
    if (m_hCurrent == nullptr)
        return Fail("no current window");
    const DWORD timeout = Timeout(words, 1);
    const DWORD start = GetTickCount();
    while (IsWindow(m_hCurrent) && IsWindowVisible(m_hCurrent))
    {
        if (GetTickCount() - start >= timeout)
            return Fail("still there: " + HandleText(m_hCurrent));
        Sleep(kPollMs);
    }
    Print("gone");
    return true;
}

bool CRobot::Use(const Words& words)
{
    long long value = 0;
    if (!Number(words, 1, value) || !IsWindow(reinterpret_cast<HWND>(value)))
        return Fail("usage: use HWND (a window)");
    m_hCurrent = reinterpret_cast<HWND>(value);
    Print(WindowLine("window", m_hCurrent));
    return true;
}

bool CRobot::Windows(const Words& words)
{
    long long pid = -1;
    if (words.size() > 1 && !Number(words, 1, pid))
        return Fail("usage: windows [PID]");
    for (HWND window : TopLevelWindows())
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (pid < 0 || process == static_cast<DWORD>(pid))
            Print(WindowLine("window", window));
    }
    return true;
}

bool CRobot::State(const Words& words)
{
    HWND target = nullptr;
    if (!Target(words, 1, target))
        return false;
    RECT rect = {};
    GetWindowRect(target, &rect);
    Print("state " + (words.size() > 1 ? words[1] : std::string("window")) +
          " visible=" + std::to_string(IsWindowVisible(target) ? 1 : 0) +
          " enabled=" + std::to_string(IsWindowEnabled(target) ? 1 : 0) +
          " iconic=" + std::to_string(IsIconic(target) ? 1 : 0) +
          " style=" + Hex(static_cast<DWORD>(GetWindowLongA(target, GWL_STYLE))) +
          " exstyle=" + Hex(static_cast<DWORD>(GetWindowLongA(target, GWL_EXSTYLE))) +
          " class=" + CRobotWords::Quote(ClassOf(target)) + " rect=" + RectText(rect));
    return true;
}

bool CRobot::Text(const Words& words)
{
    HWND target = nullptr;
    if (!Target(words, 1, target))
        return false;
    Print("text " + (words.size() > 1 ? words[1] : std::string("window")) + " " +
          CRobotWords::Quote(TextOf(target)));
    return true;
}

bool CRobot::WaitText(const Words& words)
{
    HWND target = nullptr;
    if (words.size() < 3)
        return Fail("usage: wait-text ID TEXT [MS]");
    if (!Target(words, 1, target))
        return false;
    const DWORD timeout = Timeout(words, 3);
    const DWORD start = GetTickCount();
    std::string text;
    while ((text = TextOf(target)) != words[2])
    {
        if (GetTickCount() - start >= timeout)
            return Fail("text is " + CRobotWords::Quote(text));
        Sleep(kPollMs);
    }
    Print("text " + words[1] + " " + CRobotWords::Quote(text));
    return true;
}

bool CRobot::SetText(const Words& words)
{
    HWND target = nullptr;
    if (words.size() < 3)
        return Fail("usage: set-text ID TEXT");
    if (!Target(words, 1, target))
        return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(words[2].c_str()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return Fail("WM_SETTEXT not answered");
    return true;
}

bool CRobot::Type(const Words& words)
{
    HWND target = nullptr;
    if (words.size() < 3)
        return Fail("usage: type ID TEXT");
    if (!Target(words, 1, target))
        return false;
    for (const char c : words[2])
    {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(target, WM_CHAR, static_cast<unsigned char>(c), 1,
                                 SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
            return Fail("WM_CHAR not answered");
    }
    return true;
}

bool CRobot::Paste(const Words& words)
{
    HWND target = nullptr;
    if (words.size() < 3)
        return Fail("usage: paste ID TEXT");
    if (!Target(words, 1, target))
        return false;
    const std::string& text = words[2];
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory == nullptr)
        return Fail("no memory for the clipboard");
    char* copy = static_cast<char*>(GlobalLock(memory));
    if (copy == nullptr)
    {
        GlobalFree(memory);
        return Fail("cannot lock clipboard memory");
    }
    memcpy(copy, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr))
    {
        GlobalFree(memory);
        return Fail("cannot open the clipboard");
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed)
    {
        GlobalFree(memory);
        return Fail("cannot place text on the clipboard");
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return Fail("WM_PASTE not answered");
    return true;
}

bool CRobot::Press(const Words& words)
{
    int id = 0;
    if (words.size() < 2 || !ButtonId(words[1], id))
        return Fail("usage: press BUTTON");
    if (!NeedCurrent())
        return false;
    const HWND button = GetDlgItem(m_hCurrent, id);
    if (button == nullptr)
        return Fail("no button " + words[1]);
    if (!PostMessageA(button, BM_CLICK, 0, 0))
        return Fail("cannot post BM_CLICK");
    return true;
}

bool CRobot::Command(const Words& words)
{
    long long id = 0;
    if (!Number(words, 1, id))
        return Fail("usage: command ID");
    if (!NeedCurrent())
        return false;
    const HWND control = GetDlgItem(m_hCurrent, static_cast<int>(id));
    if (!PostMessageA(m_hCurrent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                      reinterpret_cast<LPARAM>(control)))
        return Fail("cannot post WM_COMMAND");
    return true;
}

bool CRobot::Key(const Words& words)
{
    WPARAM key = 0;
    if (words.size() < 2 || !KeyCode(words[1], key))
        return Fail("usage: key NAME");
    if (!NeedCurrent())
        return false;
    const HWND focus = FocusOfCurrent();
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    if (!PostMessageA(focus, WM_KEYDOWN, key, 1 | (scan << 16)) ||
        !PostMessageA(focus, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u))
        return Fail("cannot post the key");
    return true;
}

bool CRobot::Char(const Words& words)
{
    if (words.size() < 2)
        return Fail("usage: char TEXT");
    if (!NeedCurrent())
        return false;
    const HWND focus = FocusOfCurrent();
    for (const char c : words[1])
        if (!PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(c), 1))
            return Fail("cannot post WM_CHAR");
    Print("focus " + HandleText(focus));
    return true;
}

bool CRobot::Click(const Words& /*words*/)
{
    if (!NeedCurrent())
        return false;
    RECT rect = {};
    GetWindowRect(m_hCurrent, &rect);
    SetForegroundWindow(m_hCurrent);
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    if (!SetCursorPos(x, y))
        return Fail("cannot move the mouse");
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (SendInput(2, inputs, sizeof(INPUT)) != 2)
        return Fail("SendInput refused the click");
    Print("clicked " + std::to_string(x) + "," + std::to_string(y));
    return true;
}

bool CRobot::Post(const Words& words, bool toThread)
{
    long long message = 0;
    long long wParam = 0;
    long long lParam = 0;
    if (!Number(words, 1, message) || (words.size() > 2 && !Number(words, 2, wParam)) ||
        (words.size() > 3 && !Number(words, 3, lParam)))
        return Fail("usage: post[-thread] MSG [W] [L]");
    if (!NeedCurrent())
        return false;
    const auto value = static_cast<UINT>(message);
    if (toThread)
    {
        const DWORD thread = GetWindowThreadProcessId(m_hCurrent, nullptr);
        if (!PostThreadMessageA(thread, value, static_cast<WPARAM>(wParam),
                                static_cast<LPARAM>(lParam)))
            return Fail("PostThreadMessage failed: " + std::to_string(GetLastError()));
        return true;
    }
    if (!PostMessageA(m_hCurrent, value, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)))
        return Fail("PostMessage failed: " + std::to_string(GetLastError()));
    return true;
}

bool CRobot::Progress(const Words& words)
{
    HWND target = nullptr;
    if (words.size() < 2)
        return Fail("usage: progress ID");
    if (!Target(words, 1, target))
        return false;
    DWORD_PTR low = 0;
    DWORD_PTR high = 0;
    DWORD_PTR position = 0;
    if (!SendMessageTimeoutA(target, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &low) ||
        !SendMessageTimeoutA(target, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &high) ||
        !SendMessageTimeoutA(target, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position))
        return Fail("progress bar not answering");
    Print("progress " + words[1] + " range=" + std::to_string(static_cast<int>(low)) + ".." +
          std::to_string(static_cast<int>(high)) +
          " pos=" + std::to_string(static_cast<int>(position)));
    return true;
}

bool CRobot::Controls(const Words& words)
{
    if (!NeedCurrent())
        return false;
    int baseX = 0;
    int baseY = 0;
    std::unique_ptr<CProgramTemplate> program;
    if (words.size() >= 3)
    {
        long long id = 0;
        if (!Number(words, 2, id))
            return Fail("usage: controls [EXE TEMPLATE]");
        program = std::make_unique<CProgramTemplate>(words[1], static_cast<int>(id));
        const HWND local = program->LocalCopy();
        RECT base = {0, 0, 4, 8};
        if (local == nullptr || !MapDialogRect(local, &base))
            return Fail("cannot make a local copy of template " + words[2]);
        baseX = base.right;
        baseY = base.bottom;
    }
    auto units = [&](const RECT& r)
    {
        if (baseX == 0)
            return std::string();
        return " du=" + ToDialogUnits(r.left, baseX, 4) + "," + ToDialogUnits(r.top, baseY, 8) +
               "," + ToDialogUnits(r.right - r.left, baseX, 4) + "," +
               ToDialogUnits(r.bottom - r.top, baseY, 8);
    };
    RECT client = {};
    GetClientRect(m_hCurrent, &client);
    Print("dialog px=" + RectText(client) + units(client) +
          " style=" + Hex(static_cast<DWORD>(GetWindowLongA(m_hCurrent, GWL_STYLE))) +
          " exstyle=" + Hex(static_cast<DWORD>(GetWindowLongA(m_hCurrent, GWL_EXSTYLE))) +
          " caption=" + CRobotWords::Quote(CaptionOf(m_hCurrent)));
    int index = 0;
    for (HWND child : Children(m_hCurrent))
    {
        RECT rect = {};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, m_hCurrent, reinterpret_cast<POINT*>(&rect), 2);
        Print("control index=" + std::to_string(index++) + " id=" +
              std::to_string(GetDlgCtrlID(child)) + " class=" + CRobotWords::Quote(ClassOf(child)) +
              " style=" + Hex(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE))) +
              " exstyle=" + Hex(static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE))) +
              " px=" + RectText(rect) + units(rect) + " text=" + CRobotWords::Quote(TextOf(child)));
    }
    return true;
}

bool CRobot::Template(const Words& words)
{
    long long id = 0;
    if (words.size() < 3 || !Number(words, 2, id))
        return Fail("usage: template EXE ID");
    CProgramTemplate program(words[1], static_cast<int>(id));
    CDialogTemplate parsed;
    if (program.Bytes().empty() || !parsed.Parse(program.Bytes().data(), program.Bytes().size()))
        return Fail("no readable template " + words[2] + " in " + words[1]);
    Print("template " + words[2] + " format=" + (parsed.extended ? "extended" : "classic") +
          " style=" + Hex(parsed.style) + " exstyle=" + Hex(parsed.exStyle) +
          " du=" + std::to_string(parsed.x) + "," + std::to_string(parsed.y) + "," +
          std::to_string(parsed.cx) + "," + std::to_string(parsed.cy) + " caption=" +
          CRobotWords::Quote(parsed.caption) + " font-size=" + std::to_string(parsed.fontSize) +
          " font=" + CRobotWords::Quote(parsed.fontName) +
          " items=" + std::to_string(parsed.items.size()));
    int index = 0;
    for (const auto& item : parsed.items)
        Print("item index=" + std::to_string(index++) + " id=" + std::to_string(item.id) +
              " class=" + CRobotWords::Quote(item.className) + " style=" + Hex(item.style) +
              " exstyle=" + Hex(item.exStyle) + " du=" + std::to_string(item.x) + "," +
              std::to_string(item.y) + "," + std::to_string(item.cx) + "," +
              std::to_string(item.cy) + " text=" + CRobotWords::Quote(item.text));
    return true;
}

bool CRobot::Menu(const Words& /*words*/)
{
    if (!NeedCurrent())
        return false;
    const HMENU menu = GetSystemMenu(m_hCurrent, FALSE);
    const int count = menu != nullptr ? GetMenuItemCount(menu) : -1;
    if (count < 0)
        return Fail("system menu not readable from here");
    for (int position = 0; position < count; ++position)
    {
        char text[256] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info))
            return Fail("menu item " + std::to_string(position) + " not readable");
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        Print("item " + std::to_string(position) + " id=" + std::to_string(info.wID) +
              (separator ? " separator" : " text=" + CRobotWords::Quote(text)));
    }
    return true;
}

bool CRobot::Focus(const Words& /*words*/)
{
    if (!NeedCurrent())
        return false;
    const HWND focus = FocusOfCurrent();
    Print("focus " + HandleText(focus) + " id=" + std::to_string(GetDlgCtrlID(focus)) +
          " class=" + CRobotWords::Quote(ClassOf(focus)));
    return true;
}

bool CRobot::HoldEvent(const Words& words)
{
    if (words.size() < 2)
        return Fail("usage: hold-event NAME");
    const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, words[1].c_str());
    if (event == nullptr)
        return Fail("cannot create event: " + std::to_string(GetLastError()));
    m_heldObjects.push_back(event);
    return true;
}

bool CRobot::Watch(const Words& words)
{
    long long ms = 0;
    if (!Number(words, 1, ms))
        return Fail("usage: watch MS");
    std::vector<HWND> seen;
    for (HWND window : TopLevelWindows())
        if (IsWindowVisible(window))
            seen.push_back(window);
    const DWORD start = GetTickCount();
    do
    {
        for (HWND window : TopLevelWindows())
        {
            if (!IsWindowVisible(window) ||
                std::find(seen.begin(), seen.end(), window) != seen.end())
                continue;
            seen.push_back(window);
            Print(WindowLine("new", window));
        }
        Sleep(kPollMs);
    } while (GetTickCount() - start < static_cast<DWORD>(ms));
    return true;
}

bool CRobot::WaitOwned(const Words& words)
{
    if (!NeedCurrent())
        return false;
    const HWND owner = m_hCurrent;
    const std::string wanted = words.size() > 2 ? words[2] : std::string();
    const HWND found = WaitFor(
        [&](HWND w)
        { return GetWindow(w, GW_OWNER) == owner && (wanted.empty() || ClassOf(w) == wanted); },
        Timeout(words, 1));
    if (found == nullptr)
        return Fail("no window owned by " + HandleText(owner));
    m_hCurrent = found;
    Print(WindowLine("window", found));
    return true;
}

namespace
{
bool AccessFlags(const std::string& word, DWORD& flags)
{
    if (word == "read" || word == "none")
        flags = word == "read" ? GENERIC_READ : 0;
    else if (word == "write")
        flags = GENERIC_WRITE;
    else if (word == "readwrite")
        flags = GENERIC_READ | GENERIC_WRITE;
    else
        return false;
    return true;
}

bool ShareFlags(const std::string& word, DWORD& flags)
{
    if (word == "none")
        flags = 0;
    else if (word == "read")
        flags = FILE_SHARE_READ;
    else if (word == "write")
        flags = FILE_SHARE_WRITE;
    else if (word == "readwrite")
        flags = FILE_SHARE_READ | FILE_SHARE_WRITE;
    else
        return false;
    return true;
}
} // namespace

bool CRobot::OpenFile(const Words& words)
{
    DWORD access = 0;
    DWORD share = 0;
    if (words.size() < 4 || !AccessFlags(words[2], access) || !ShareFlags(words[3], share))
        return Fail("usage: open-file PATH read|write|readwrite none|read|write|readwrite");
    const HANDLE file = CreateFileA(words[1].c_str(), access, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Fail("cannot open " + words[1] + ": " + std::to_string(GetLastError()));
    m_heldObjects.push_back(file);
    Print("opened " + CRobotWords::Quote(words[1]));
    return true;
}

bool CRobot::LockFile(const Words& words)
{
    if (words.size() < 2)
        return Fail("usage: lock-file PATH");
    const HANDLE file =
        CreateFileA(words[1].c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Fail("cannot open " + words[1] + ": " + std::to_string(GetLastError()));
    m_heldObjects.push_back(file);
    if (!::LockFile(file, 0, 0, MAXDWORD, MAXDWORD))
        return Fail("cannot lock " + words[1] + ": " + std::to_string(GetLastError()));
    Print("locked " + CRobotWords::Quote(words[1]));
    return true;
}

bool CRobot::WaitClass(const Words& words)
{
    if (words.size() < 2)
        return Fail("usage: wait-class CLASS [MS]");
    const std::string wanted = words[1];
    const HWND found = WaitFor([&](HWND w) { return ClassOf(w) == wanted; }, Timeout(words, 2));
    if (found == nullptr)
        return Fail("no window of class " + CRobotWords::Quote(wanted));
    Print(WindowLine("window", found));
    return true;
}

bool CRobot::Send(const Words& words)
{
    HWND target = nullptr;
    long long message = 0;
    long long wParam = 0;
    long long lParam = 0;
    if (!Number(words, 2, message) || (words.size() > 3 && !Number(words, 3, wParam)) ||
        (words.size() > 4 && !Number(words, 4, lParam)))
        return Fail("usage: send ID MSG [W] [L]");
    if (!Target(words, 1, target))
        return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                             static_cast<LPARAM>(lParam), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result))
        return Fail("no answer");
    Print("result " + std::to_string(static_cast<long long>(result)));
    return true;
}
