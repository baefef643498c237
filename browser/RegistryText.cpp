#include "browser/RegistryText.h"

#include <cstdlib>
#include <limits>

namespace registry_text
{
bool Terminate(char* buffer, std::size_t bufferBytes, std::uint32_t stored)
{
    if (stored < bufferBytes)
    {
        buffer[stored] = '\0';
        return true;
    }
    return stored == bufferBytes && stored > 0 && buffer[stored - 1] == '\0';
}

std::uint32_t Capacity(std::int32_t size)
{
    return size > 0 ? static_cast<std::uint32_t>(size) : 0;
}

std::int32_t LeadingInteger(const char* text)
{
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

double LeadingNumber(const char* text)
{
    return std::strtod(text, nullptr);
}
} // namespace registry_text
