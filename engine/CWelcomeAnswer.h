#pragma once
#include <string>

// The appliance's answer to "ls welcome.msg": the line after the echo (or after a prompt) tells
// whether the welcome file is there.
class CWelcomeAnswer
{
public:
    enum class Result
    {
        Unreadable, // no answer line can be cut out of the reply
        Missing,    // the answer line begins with "Can't open"
        Present     // any other answer line
    };

    static Result Parse(const std::string& reply);

    // The answer line of a reply; false when there is none.
    static bool AnswerLine(const std::string& reply, std::string& line);
};
