#pragma once
#include <cstdint>

// How long a copy to the appliance is expected to take, from the file's size, at an assumed
// rate of about 31,608 bytes a second.
class CCopyEstimate
{
public:
    static constexpr double kSecondsPerByte = 3.163774210063103e-05;

    // Whole seconds to copy a file of size bytes (truncated).
    static long CopySeconds(std::int32_t size);

    // The archive is also unpacked on the appliance: twice the truncated copy time.
    static long ExplodeSeconds(std::int32_t size);
};
