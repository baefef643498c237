#include "platform/win32/CThreadNotifier.h"

#include <windows.h>

namespace
{
// A full queue refuses a post; the UI thread empties it quickly, so a few retries suffice and
// the final notification of a run is not lost to a moment of congestion.
constexpr int kPostAttempts = 50;
constexpr DWORD kRetryPauseMs = 20;
} // namespace

CThreadNotifier::CThreadNotifier(unsigned long uiThreadId) : m_nThreadId(uiThreadId) {}

void CThreadNotifier::Post(unsigned message, const char* text, long amount)
{
    for (int attempt = 0; attempt < kPostAttempts; ++attempt)
    {
        if (PostThreadMessageA(m_nThreadId, message, reinterpret_cast<WPARAM>(text),
                               static_cast<LPARAM>(amount)))
            return;
        Sleep(kRetryPauseMs);
    }
}
