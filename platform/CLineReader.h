#pragma once
#include "platform/FileSystem.h"

#include <cstddef>
#include <string>
#include <vector>

// Splits the bytes of a file into text lines for both platforms' text files: CR LF and a lone
// LF end a line (a lone CR is kept as data), and a last line without a line end counts.
class CLineReader : public ITextFile
{
public:
    ReadResult ReadLine(std::string& line) override;

protected:
    CLineReader();
    // Reads up to size bytes of the file into buffer: the count read, 0 at the end of the file,
    // or a negative value when the read fails.
    virtual long ReadBytes(char* buffer, std::size_t size) = 0;

private:
    bool Fill();

    std::vector<char> m_buffer;
    std::size_t m_nNext = 0;
    std::size_t m_nEnd = 0;
};
