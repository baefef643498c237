#pragma once
#include "platform/ProcessLauncher.h"

// Starts a program with CreateProcess, found along the search path from the first word of its
// command line, and polls until it has ended.
class CWin32ProcessLauncher : public IProcessLauncher
{
public:
    // The exit code is polled at this interval...
    static constexpr unsigned kPollIntervalMs = 20;
    // ...for at most this long; a program still running then is left to run on its own.
    static constexpr unsigned kMaxWaitMs = 60000;

    bool RunAndWait(const std::string& commandLine) override;
};
