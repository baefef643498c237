#pragma once
#include <string>

class CCommandSocket;

// Asks the appliance for its version: "ver\n" sent raw, the reply read up to a line feed (no
// prompt is awaited) and parsed. Failures show nothing; the caller ends the run quietly.
class CVersionQuery
{
public:
    static bool Ask(CCommandSocket& session, std::string& version);
};
