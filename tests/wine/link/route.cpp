// Stands in for the system's route program under Wine, which has none: appends its whole
// command line, one line per call, to route-calls.txt beside its own program file, so that a
// test can check the exact words the upgrade utility started it with.
#include <windows.h>

#include <cstdio>
#include <string>

namespace
{
std::string RecordPath()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return "route-calls.txt";
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    return folder + "route-calls.txt";
}
} // namespace

int main()
{
    std::FILE* record = std::fopen(RecordPath().c_str(), "ab");
    if (record == nullptr)
        return 1;
    std::fprintf(record, "%s\n", GetCommandLineA());
    std::fclose(record);
    return 0;
}
