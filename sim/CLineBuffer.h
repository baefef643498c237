#pragma once
#include <cstddef>
#include <string>

// Collects bytes from a connection and hands them out as lines ending in a line feed. It never
// holds more than its limit: a line that grows past it is reported as an overflow.
class CLineBuffer
{
public:
    explicit CLineBuffer(std::size_t maxLineLength);

    // Adds bytes; false when the unfinished line would exceed the limit (nothing is added then).
    bool Append(const char* data, std::size_t length);
    // Takes the next whole line, its line feed included.
    bool NextLine(std::string& line);
    const std::string& Pending() const { return m_pending; }
    void Consume(std::size_t count);

private:
    std::size_t m_maxLineLength;
    std::string m_pending;
};
