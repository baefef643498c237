#include "sim/SimLog.h"

#include <cstdio>

namespace
{
bool g_loggingEnabled = true;
}

void LogLine(const std::string& text)
{
    if (g_loggingEnabled)
        std::fprintf(stderr, "corvane-sim: %s\n", text.c_str());
}

void SetLogging(bool enabled)
{
    g_loggingEnabled = enabled;
}
