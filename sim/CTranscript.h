#pragma once
#include "sim/CJsonLine.h"

#include <chrono>
#include <cstdio>
#include <string>

// The simulator's record of everything it receives and sends: one JSON object a line, each with
// the seconds since start ("t"), the service ("cmd", "udp", "ftp", "sim") and the kind, then the
// fields of the record. Every line is flushed at once so readers see it while the run goes on.
class CTranscript
{
public:
    // Without a file (nullptr) records are dropped; the fuzz targets use that.
    explicit CTranscript(std::FILE* file);
    void Record(const std::string& service, const std::string& kind, const CJsonLine& fields);
    void Record(const std::string& service, const std::string& kind);

private:
    std::FILE* m_file;
    std::chrono::steady_clock::time_point m_start;
};
