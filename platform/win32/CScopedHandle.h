#pragma once
#include <windows.h>

// Owns one Windows handle and gives it back to the system with Close when it goes. Null and
// INVALID_HANDLE_VALUE both mean "no handle", since Win32 calls report failure with either.
template <typename Handle, BOOL(WINAPI* Close)(Handle)> class CScopedHandle
{
public:
    CScopedHandle() = default;
    explicit CScopedHandle(Handle handle) : m_handle(handle) {}
    ~CScopedHandle() { Reset(); }

    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    CScopedHandle(CScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    CScopedHandle& operator=(CScopedHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Handle Get() const { return m_handle; }
    bool IsValid() const
    {
        return m_handle != nullptr && reinterpret_cast<HANDLE>(m_handle) != INVALID_HANDLE_VALUE;
    }

    void Reset(Handle handle = nullptr)
    {
        if (IsValid())
            Close(m_handle);
        m_handle = handle;
    }

    Handle Release()
    {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

private:
    Handle m_handle = nullptr;
};

using CKernelHandle = CScopedHandle<HANDLE, CloseHandle>;
using CFindHandle = CScopedHandle<HANDLE, FindClose>;
using CHookHandle = CScopedHandle<HHOOK, UnhookWindowsHookEx>;
