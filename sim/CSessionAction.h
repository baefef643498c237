#pragma once
#include <string>
#include <vector>

// What a session asks of the server after some input: send bytes (after a pause, in scenario
// milliseconds, counted from the previous action), close the connection once everything before
// has gone out, or restart the appliance. Send actions name the transcript kind they are
// recorded under when they go out; a Close carries its reason (for the log) in bytes.
struct CSessionAction
{
    enum class Kind
    {
        Send,
        Close,
        Reboot
    };

    Kind kind = Kind::Send;
    std::string bytes;
    std::string recordKind;
    int delayMs = 0;

    static CSessionAction Send(std::string bytes, std::string recordKind, int delayMs = 0)
    {
        return {Kind::Send, std::move(bytes), std::move(recordKind), delayMs};
    }
    static CSessionAction Close(std::string reason)
    {
        return {Kind::Close, std::move(reason), "", 0};
    }
    static CSessionAction Reboot() { return {Kind::Reboot, "", "", 0}; }
};

using CSessionActions = std::vector<CSessionAction>;
