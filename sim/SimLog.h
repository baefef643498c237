#pragma once
#include <string>

// Log lines of the simulator go to stderr, one line each, prefixed "corvane-sim: ".
void LogLine(const std::string& text);
// The fuzz targets switch logging off.
void SetLogging(bool enabled);
