#pragma once
#include <string>

class CCommandSocket;
class CUpgrader;

// One command of the run answered by the appliance's prompt; a failed exchange shows the run's
// "Cannot send the command" box.
class CCommandStep
{
public:
    static bool Send(CUpgrader& upgrader, CCommandSocket& session, const std::string& command);
};
