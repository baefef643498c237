#pragma once
#include "sim/CLineBuffer.h"
#include "sim/CSessionAction.h"

#include <cstddef>
#include <string>

class CAppliance;
class CCommandLine;

// One connection to the command service, as a state machine over the bytes received: the
// opening byte "Z", the greeting, the login (user name line, password line), then command lines
// each answered by text ending in the prompt ">". It does no I/O: it tells the server what to send.
class CCommandSession
{
public:
    static constexpr std::size_t kMaxLineLength = 1024;
    static constexpr char kOpeningByte = 'Z';
    static const std::string kCloseMessage;

    CCommandSession(CAppliance& appliance, int connectionId);

    CSessionActions Receive(const char* data, std::size_t length);
    bool IsClosed() const { return m_state == State::Closed; }

    // The framing of every answer: a line end, the output lines, a line end and the prompt.
    static std::string Reply(const std::string& output);

private:
    enum class State
    {
        Opening,
        UserName,
        Password,
        Commands,
        Closed
    };

    void TakeOpeningByte(char byte, CSessionActions& actions);
    bool TakeBinaryMessage(CSessionActions& actions);
    void TakeLine(const std::string& line, CSessionActions& actions);
    void TakeUserName(const std::string& line, CSessionActions& actions);
    void TakePassword(const std::string& line, CSessionActions& actions);
    void TakeCommand(const std::string& line, CSessionActions& actions);
    void SendLoginReply(const std::string& text, bool singleByte, CSessionActions& actions);
    void SendCommandReply(const CCommandLine& command, std::string reply, CSessionActions& actions);
    std::string Answer(const CCommandLine& command, bool& reboot);
    std::string AnswerDatabase(const CCommandLine& command);
    std::string AnswerList(const CCommandLine& command);
    void Close(const std::string& reason, CSessionActions& actions);
    void Record(const std::string& kind, const std::string& text);

    CAppliance& m_appliance;
    int m_connectionId;
    State m_state = State::Opening;
    CLineBuffer m_input;
    std::string m_userName;
};
