#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256 of a byte stream fed in pieces; the digest of a stored file goes into the transcript.
class CSha256
{
public:
    CSha256();
    void Update(const void* data, std::size_t length);
    // Ends the stream and returns the digest as 64 lower-case hex digits.
    std::string FinishHex();

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_blockUsed = 0;
    std::uint64_t m_totalBytes = 0;
};
