#include "platform/win32/CMessageBox.h"

#include "platform/win32/CWorkerThread.h"

int CMessageBox::Show(HWND owner, const std::string& text, const std::string& title, UINT style)
{
    return MessageBoxA(owner, text.c_str(), title.c_str(), style);
}

int CMessageBox::ShowApplication(const std::string& text, UINT style)
{
    return Show(CWorkerThread::CurrentMainWindow(), text, ProgramName(), style);
}

std::string CMessageBox::ProgramName()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string name(path, length);
    const std::string::size_type folderEnd = name.find_last_of("\\/:");
    if (folderEnd != std::string::npos)
        name.erase(0, folderEnd + 1);
    const std::string::size_type extension = name.rfind('.');
    if (extension != std::string::npos && extension > 0)
        name.erase(extension);
    return name;
}
