#include "platform/posix/CPosixFileSystem.h"

#include "platform/CLineReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace
{
// A text file open for reading; see ITextFile for the line rules.
class CPosixTextFile : public CLineReader
{
public:
    explicit CPosixTextFile(int descriptor) : m_descriptor(descriptor) {}
    ~CPosixTextFile() override { close(m_descriptor); }
    CPosixTextFile(const CPosixTextFile&) = delete;
    CPosixTextFile& operator=(const CPosixTextFile&) = delete;

private:
    long ReadBytes(char* buffer, std::size_t size) override
    {
        ssize_t got;
        do
            got = read(m_descriptor, buffer, size);
        while (got < 0 && errno == EINTR);
        return static_cast<long>(got);
    }

    int m_descriptor;
};

bool HasWildcard(const std::string& name)
{
    return name.find_first_of("*?") != std::string::npos;
}

// The entry a directory search for name finds: its full path, or empty when there is none.
std::string FindEntry(const std::string& name)
{
    if (name.empty())
        return std::string();
    const std::string::size_type slash = name.rfind('/');
    const std::string pattern = slash == std::string::npos ? name : name.substr(slash + 1);
    if (!HasWildcard(pattern))
    {
        struct stat status;
        return stat(name.c_str(), &status) == 0 ? name : std::string();
    }
    const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr)
        return std::string();
    std::string found;
    while (const dirent* entry = readdir(directory))
    {
        if (CPosixFileSystem::MatchesPattern(pattern, entry->d_name))
        {
            found = (slash == std::string::npos ? std::string() : folder) + entry->d_name;
            break;
        }
    }
    closedir(directory);
    return found;
}
} // namespace

bool CPosixFileSystem::MatchesPattern(const std::string& pattern, const std::string& name)
{
    // Greedy match with one back-track point for the last star seen.
    size_t p = 0;
    size_t n = 0;
    size_t starAt = std::string::npos;
    size_t starMatched = 0;
    while (n < name.size())
    {
        if (p < pattern.size() && pattern[p] == '*')
        {
            starAt = p++;
            starMatched = n;
        }
        else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n]))
        {
            ++p;
            ++n;
        }
        else if (starAt != std::string::npos)
        {
            p = starAt + 1;
            n = ++starMatched;
        }
        else
        {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool CPosixFileSystem::Exists(const std::string& name)
{
    return !FindEntry(name).empty();
}

bool CPosixFileSystem::GetSize(const std::string& name, std::int32_t& size)
{
    const std::string entry = FindEntry(name);
    struct stat status;
    if (entry.empty() || stat(entry.c_str(), &status) != 0)
        return false;
    // The low 32 bits, as the directory search reports them.
    size = static_cast<std::int32_t>(static_cast<std::uint32_t>(status.st_size));
    return true;
}

std::unique_ptr<ITextFile> CPosixFileSystem::OpenText(const std::string& name)
{
    const int descriptor = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    auto file = std::make_unique<CPosixTextFile>(descriptor);
    // A folder opens on POSIX but is no file to read, as on Windows.
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode))
        return nullptr;
    return file;
}
