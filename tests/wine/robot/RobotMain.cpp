// The test robot: runs the commands given as arguments (one command an argument; it stops at the
// first that fails, with exit code 1) or, without arguments, the command lines read from its
// standard input until "quit" or the end of input.
#include "CRobot.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    CRobot robot;
    if (argc > 1)
    {
        for (int i = 1; i < argc; ++i)
            if (!robot.Execute(argv[i]))
                return 1;
        return 0;
    }
    std::string line;
    int c;
    while ((c = std::getchar()) != EOF)
    {
        if (c != '\n')
        {
            line += static_cast<char>(c);
            continue;
        }
        if (line == "quit" || line == "quit\r")
            return 0;
        robot.Execute(line);
        line.clear();
    }
    if (!line.empty())
        robot.Execute(line);
    return 0;
}
