#pragma once
#include <cstddef>
#include <cstdint>

// Reading texts that came out of the registry, which may hold anything: values without a
// terminator, numbers of any length.
namespace registry_text
{
// Terminates the bytes that a read stored at the start of buffer (bufferBytes long). False when
// they fill the whole buffer without a terminator, so the text does not fit.
bool Terminate(char* buffer, std::size_t bufferBytes, std::uint32_t stored);

// The capacity offered for a caller's buffer of size bytes: nothing for a size below 1.
std::uint32_t Capacity(std::int32_t size);

// The leading decimal integer as atol reads it (white space, sign, digits), held to the 32-bit
// range instead of overflowing.
std::int32_t LeadingInteger(const char* text);

// The leading decimal number as atof reads it.
double LeadingNumber(const char* text);
} // namespace registry_text
