#include "platform/win32/CWin32ProcessLauncher.h"

#include <windows.h>

#include <vector>

namespace
{
// Owns one kernel handle of the started process.
class CProcessHandle
{
public:
    explicit CProcessHandle(HANDLE handle) : m_handle(handle) {}
    ~CProcessHandle()
    {
        if (m_handle != nullptr)
            CloseHandle(m_handle);
    }
    CProcessHandle(const CProcessHandle&) = delete;
    CProcessHandle& operator=(const CProcessHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// True once the process has an exit code; a failed query ends the wait as well, since asking
// again would not succeed either.
bool HasEnded(HANDLE process)
{
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode))
        return true;
    return exitCode != STILL_ACTIVE;
}
} // namespace

bool CWin32ProcessLauncher::RunAndWait(const std::string& commandLine)
{
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started;
    ZeroMemory(&started, sizeof started);

    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return false;
    const CProcessHandle process(started.hProcess);
    const CProcessHandle thread(started.hThread);

    for (unsigned waited = 0; waited < kMaxWaitMs && !HasEnded(process.Get());
         waited += kPollIntervalMs)
        Sleep(kPollIntervalMs);
    return true;
}
