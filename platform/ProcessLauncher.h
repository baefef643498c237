#pragma once
#include <string>

// Starts a program by command line, searched along the system's search path, and waits until
// it has ended. Windows: CreateProcess; natively posix_spawn.
class IProcessLauncher
{
public:
    virtual ~IProcessLauncher() = default;
    // False when the process cannot be started. Its exit code is not reported.
    virtual bool RunAndWait(const std::string& commandLine) = 0;
};
