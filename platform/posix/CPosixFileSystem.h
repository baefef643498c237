#pragma once
#include "platform/FileSystem.h"

// Files of the working folder over POSIX, with the meaning the Windows directory search gives:
// a folder counts as existing, a name with the wildcards * and ? exists when an entry of its
// folder matches it, an empty name does not exist. Text files are read with CR LF and LF both
// ending a line. (POSIX has no sharing modes; the file is simply opened for reading.)
class CPosixFileSystem : public IFileSystem
{
public:
    bool Exists(const std::string& name) override;
    bool GetSize(const std::string& name, std::int32_t& size) override;
    std::unique_ptr<ITextFile> OpenText(const std::string& name) override;

    // The directory search's pattern match: * any run of characters, ? any one character.
    static bool MatchesPattern(const std::string& pattern, const std::string& name);
};
