#include "platform/posix/CPosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace
{
constexpr size_t kBufferSize = 4096;

// A text file open for reading; see ITextFile for the line rules.
class CPosixTextFile : public ITextFile
{
public:
    explicit CPosixTextFile(int descriptor) : m_descriptor(descriptor), m_buffer(kBufferSize) {}
    ~CPosixTextFile() override { close(m_descriptor); }
    CPosixTextFile(const CPosixTextFile&) = delete;
    CPosixTextFile& operator=(const CPosixTextFile&) = delete;

    ReadResult ReadLine(std::string& line) override
    {
        line.clear();
        bool anyByte = false;
        for (;;)
        {
            if (m_next == m_end)
            {
                if (!Fill())
                    return ReadResult::Error;
                if (m_end == 0)
                    return anyByte ? ReadResult::Line : ReadResult::EndOfFile;
            }
            const char byte = m_buffer[m_next++];
            anyByte = true;
            if (byte == '\n')
            {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                return ReadResult::Line;
            }
            line.push_back(byte);
        }
    }

private:
    bool Fill()
    {
        m_next = 0;
        m_end = 0;
        ssize_t got;
        do
            got = read(m_descriptor, m_buffer.data(), m_buffer.size());
        while (got < 0 && errno == EINTR);
        if (got < 0)
            return false;
        m_end = static_cast<size_t>(got);
        return true;
    }

    int m_descriptor;
    std::vector<char> m_buffer;
    size_t m_next = 0;
    size_t m_end = 0;
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
