#pragma once
#include <cstdint>
#include <memory>
#include <string>

// A text file opened for reading with line ends translated: CR LF and a lone LF end a line,
// and a last line without a line end counts as a line.
class ITextFile
{
public:
    enum class ReadResult
    {
        Line,      // line holds the next line, without its line end
        EndOfFile, // no more lines; line is empty
        Error      // the read failed
    };
    virtual ~ITextFile() = default;
    virtual ReadResult ReadLine(std::string& line) = 0;
};

// Files of the working folder. Windows: FindFirstFile and CreateFile; natively POSIX.
class IFileSystem
{
public:
    virtual ~IFileSystem() = default;

    // True when a directory search with name as pattern finds an entry: a folder counts,
    // a wildcard pattern that matches counts, an empty name does not.
    virtual bool Exists(const std::string& name) = 0;

    // The size of the entry that a directory search finds, as a signed 32-bit value.
    virtual bool GetSize(const std::string& name, std::int32_t& size) = 0;

    // Opens name for reading, letting others write but not read it while it is open.
    // Null when it cannot be opened.
    virtual std::unique_ptr<ITextFile> OpenText(const std::string& name) = 0;
};
