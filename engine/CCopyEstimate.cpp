#include "engine/CCopyEstimate.h"

long CCopyEstimate::CopySeconds(std::int32_t size)
{
    // A size that wrapped to a negative 32-bit value would give a negative duration.
    if (size <= 0)
        return 0;
    return static_cast<long>(size * kSecondsPerByte);
}

long CCopyEstimate::ExplodeSeconds(std::int32_t size)
{
    return 2 * CopySeconds(size);
}
