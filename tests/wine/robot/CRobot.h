#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Works the windows of other programs from outside, as an operator would, and prints what it
// saw. One command a line (see Help()); every command ends with a line "ok" or "fail <reason>".
// Commands act on the current window, which the finding commands set.
class CRobot
{
public:
    CRobot();
    ~CRobot();
    CRobot(const CRobot&) = delete;
    CRobot& operator=(const CRobot&) = delete;

    // Runs one command line; false when it failed.
    bool Execute(const std::string& line);

    static const char* Help();

private:
    using Words = std::vector<std::string>;

    bool Dispatch(const Words& words);
    bool Fail(const std::string& reason);

    bool WaitWindow(const Words& words);
    bool WaitBox(const Words& words);
    bool NoWindow(const Words& words);
    bool WaitGone(const Words& words);
    bool Use(const Words& words);
    bool Windows(const Words& words);
    bool State(const Words& words);
    bool Text(const Words& words);
    bool WaitText(const Words& words);
    bool SetText(const Words& words);
    bool Type(const Words& words);
    bool Paste(const Words& words);
    bool Press(const Words& words);
    bool Command(const Words& words);
    bool Key(const Words& words);
    bool Char(const Words& words);
    bool Click(const Words& words);
    bool Post(const Words& words, bool toThread);
    bool Send(const Words& words);
    bool Progress(const Words& words);
    bool Controls(const Words& words);
    bool Template(const Words& words);
    bool Menu(const Words& words);
    bool Focus(const Words& words);
    bool HoldEvent(const Words& words);
    bool Watch(const Words& words);
    bool WaitOwned(const Words& words);
    bool OpenFile(const Words& words);
    bool LockFile(const Words& words);
    bool WaitClass(const Words& words);

    // The control of the current window named by words[index] ("window" or 0: the window itself).
    bool Target(const Words& words, size_t index, HWND& target);
    bool NeedCurrent();
    HWND FocusOfCurrent();

    HWND m_hCurrent = nullptr;
    std::vector<HANDLE> m_heldObjects;
};
