#pragma once
#include "platform/ProcessLauncher.h"

// Starts a program with posix_spawnp: the command line is split on blanks, the first word is
// looked up along PATH. Polls until the program has ended.
class CPosixProcessLauncher : public IProcessLauncher
{
public:
    static constexpr int kPollIntervalMs = 5;
    // A program still running after this long is no longer waited for.
    static constexpr int kMaxWaitMs = 60000;

    bool RunAndWait(const std::string& commandLine) override;
};
