#pragma once
#include <string>

// The version that a system image carries. An image begins with the line
// "CORVANE-SYSTEM-IMAGE", then header lines "Key: value" up to the first empty line; the header
// "Version: TEXT" names the version. Only the first kHeaderLimit bytes are looked at.
class CImageVersion
{
public:
    static constexpr std::size_t kHeaderLimit = 4096;
    static constexpr const char* kMagicLine = "CORVANE-SYSTEM-IMAGE";

    // From the image's first bytes; false when they name no version.
    static bool Parse(const std::string& head, std::string& version);
    static bool ReadFile(const std::string& path, std::string& version);
};
