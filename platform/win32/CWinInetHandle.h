#pragma once
#include <windows.h>
#include <wininet.h>

#include <string>

// Owns one WinInet handle (session, connection) and closes it when it goes.
class CWinInetHandle
{
public:
    explicit CWinInetHandle(HINTERNET handle = nullptr) : m_handle(handle) {}
    ~CWinInetHandle() { Reset(); }
    CWinInetHandle(const CWinInetHandle&) = delete;
    CWinInetHandle& operator=(const CWinInetHandle&) = delete;

    HINTERNET Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    // The text of a CInternetError: which WinInet call failed and with which error code.
    static std::string FailureText(const char* call)
    {
        const DWORD error = GetLastError();
        return std::string(call) + " failed with error " + std::to_string(error);
    }

    void Reset()
    {
        if (m_handle != nullptr)
            InternetCloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HINTERNET m_handle;
};
