#pragma once
#include <string>
#include <vector>

// The robot's command language: a line is words separated by blanks; a word in double quotes may
// hold blanks and the escapes \" \\ \r \n \t \xHH. Output quotes texts the same way, so a driver
// reads back exactly the bytes the windows hold.
class CRobotWords
{
public:
    // False when a quote is not closed or an escape is malformed.
    static bool Split(const std::string& line, std::vector<std::string>& words);
    static std::string Quote(const std::string& text);
    // Decimal, or hexadecimal with 0x; false when it is no number.
    static bool ToNumber(const std::string& word, long long& value);
};
