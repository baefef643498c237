#include "platform/posix/CPosixProcessLauncher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace
{
std::vector<std::string> SplitOnBlanks(const std::string& commandLine)
{
    std::vector<std::string> words;
    std::string word;
    for (const char character : commandLine)
    {
        if (character != ' ')
        {
            word += character;
            continue;
        }
        if (!word.empty())
            words.push_back(word);
        word.clear();
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

bool HasEnded(pid_t child)
{
    int status = 0;
    const pid_t result = waitpid(child, &status, WNOHANG);
    return result != 0;
}
} // namespace

bool CPosixProcessLauncher::RunAndWait(const std::string& commandLine)
{
    std::vector<std::string> words = SplitOnBlanks(commandLine);
    if (words.empty())
        return false;
    std::vector<char*> arguments;
    for (auto& word : words)
        arguments.push_back(word.data());
    arguments.push_back(nullptr);

    pid_t child = 0;
    if (posix_spawnp(&child, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0)
        return false;

    for (int waited = 0; waited < kMaxWaitMs && !HasEnded(child); waited += kPollIntervalMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollIntervalMs));
    return true;
}
