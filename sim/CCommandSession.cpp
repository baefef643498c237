#include "sim/CCommandSession.h"

#include "sim/CAppliance.h"
#include "sim/CCommandLine.h"

const std::string CCommandSession::kCloseMessage("\0\0\0\2\0\0\0\0", 8);

namespace
{
const char kLoginGreeting[] = "\r\nVeltrix Olvana Corvane mail server\r\nlogin: ";
const char kOpenGreeting[] = "\r\nVeltrix Olvana Corvane mail server\r\n>";
const char kPasswordPrompt[] = "\r\npassword: ";
const char kLoginAccepted[] = "\r\nLogin successful\r\n>";
const char kLoginFailed[] = "\r\nLogin failed\r\nlogin: ";
const char kRebooting[] = "\r\nRebooting...\r\n";
const char kCommandFailed[] = "\r\nError: command failed\r\n";
const char kLineTooLong[] = "\r\nCommand line too long\r\n";
const char kFillerLine[] = "................................................................\r\n";

std::string WithoutLineEnd(const std::string& line)
{
    std::string text = line;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string PromptlessPart(const std::string& reply)
{
    if (!reply.empty() && reply.back() == '>')
        return reply.substr(0, reply.size() - 1);
    return reply;
}
} // namespace

CCommandSession::CCommandSession(CAppliance& appliance, int connectionId)
    : m_appliance(appliance), m_connectionId(connectionId), m_input(kMaxLineLength)
{
}

std::string CCommandSession::Reply(const std::string& output)
{
    return output.empty() ? "\r\n>" : "\r\n" + output + "\r\n>";
}

CSessionActions CCommandSession::Receive(const char* data, std::size_t length)
{
    CSessionActions actions;
    if (m_state == State::Closed || length == 0)
        return actions;
    std::size_t used = 0;
    if (m_state == State::Opening)
    {
        TakeOpeningByte(data[0], actions);
        used = 1;
    }
    if (m_state == State::Closed)
        return actions;
    if (!m_input.Append(data + used, length - used))
    {
        Record("line-too-long", m_input.Pending().substr(0, 64));
        actions.push_back(CSessionAction::Send(kLineTooLong, "reply"));
        Close("line too long", actions);
        return actions;
    }
    std::string line;
    while (m_state != State::Closed)
    {
        if (!m_input.Pending().empty() && m_input.Pending()[0] == '\0')
        {
            if (!TakeBinaryMessage(actions))
                break;
            continue;
        }
        if (!m_input.NextLine(line))
            break;
        TakeLine(line, actions);
    }
    return actions;
}

void CCommandSession::TakeOpeningByte(char byte, CSessionActions& actions)
{
    const bool accepted = byte == kOpeningByte;
    m_appliance.Transcript().Record("cmd", "opening",
                                    CJsonLine()
                                        .Number("conn", m_connectionId)
                                        .Text("hex", CJsonLine::Hex(std::string(1, byte)))
                                        .Flag("accepted", accepted));
    if (!accepted)
    {
        Close("wrong opening byte", actions);
        return;
    }
    const CScenario& scenario = m_appliance.Scenario();
    std::string greeting = scenario.greeting;
    if (greeting.empty())
        greeting = scenario.greetingLogin ? kLoginGreeting : kOpenGreeting;
    actions.push_back(CSessionAction::Send(greeting, "greeting", scenario.slowReplyMs));
    m_state = scenario.greetingLogin ? State::UserName : State::Commands;
}

// A connection's binary data begins with a zero byte, which no text line does. The client's
// close message is the only binary item; anything else ends the connection.
bool CCommandSession::TakeBinaryMessage(CSessionActions& actions)
{
    const std::string& pending = m_input.Pending();
    if (pending.size() < kCloseMessage.size())
        return false;
    const std::string message = pending.substr(0, kCloseMessage.size());
    m_input.Consume(kCloseMessage.size());
    const bool isClose = message == kCloseMessage;
    m_appliance.Transcript().Record(
        "cmd", isClose ? "close-message" : "binary",
        CJsonLine().Number("conn", m_connectionId).Text("hex", CJsonLine::Hex(message)));
    Close(isClose ? "close message" : "unexpected binary data", actions);
    return true;
}

void CCommandSession::TakeLine(const std::string& line, CSessionActions& actions)
{
    switch (m_state)
    {
    case State::UserName:
        TakeUserName(line, actions);
        break;
    case State::Password:
        TakePassword(line, actions);
        break;
    case State::Commands:
        TakeCommand(line, actions);
        break;
    case State::Opening:
    case State::Closed:
        break;
    }
}

void CCommandSession::TakeUserName(const std::string& line, CSessionActions& actions)
{
    Record("username", line);
    m_userName = WithoutLineEnd(line);
    const auto single = m_appliance.Scenario().singleByteReply;
    SendLoginReply(kPasswordPrompt,
                   single == CScenario::SingleByte::UserName ||
                       single == CScenario::SingleByte::Both,
                   actions);
    m_state = State::Password;
}

void CCommandSession::TakePassword(const std::string& line, CSessionActions& actions)
{
    Record("password", line);
    const CScenario& scenario = m_appliance.Scenario();
    const bool correct = m_userName == scenario.user && WithoutLineEnd(line) == scenario.password;
    const bool refused = correct && m_appliance.TakeLoginRefusal();
    const bool accepted = correct && !refused;
    Record("login", accepted ? "accepted" : (refused ? "refused" : "wrong"));
    const auto single = scenario.singleByteReply;
    SendLoginReply(accepted ? kLoginAccepted : kLoginFailed,
                   single == CScenario::SingleByte::Password ||
                       single == CScenario::SingleByte::Both,
                   actions);
    m_state = accepted ? State::Commands : State::UserName;
}

// A single-byte reply is the reply's first byte alone, then the rest after a pause, so that a
// reader that reads soon after sending sees exactly one byte first.
void CCommandSession::SendLoginReply(const std::string& text, bool singleByte,
                                     CSessionActions& actions)
{
    const CScenario& scenario = m_appliance.Scenario();
    if (!singleByte || text.size() < 2)
    {
        actions.push_back(CSessionAction::Send(text, "login-reply", scenario.slowReplyMs));
        return;
    }
    actions.push_back(CSessionAction::Send(text.substr(0, 1), "login-reply", scenario.slowReplyMs));
    actions.push_back(
        CSessionAction::Send(text.substr(1), "login-reply", scenario.singleByteDelayMs));
}

void CCommandSession::TakeCommand(const std::string& line, CSessionActions& actions)
{
    const int number = m_appliance.NextCommandNumber();
    m_appliance.Transcript().Record(
        "cmd", "command",
        CJsonLine().Number("conn", m_connectionId).Number("number", number).Text("text", line));
    const CScenario& scenario = m_appliance.Scenario();
    const CCommandLine command(line);
    if (number == scenario.dropAtCommand || StartsWith(command.Body(), scenario.dropOn))
    {
        Close("dropped by the scenario", actions);
        return;
    }
    if (number == scenario.failCommand || StartsWith(command.Body(), scenario.failOn))
    {
        actions.push_back(CSessionAction::Send(kCommandFailed, "reply", scenario.slowReplyMs));
        Close("failed by the scenario", actions);
        return;
    }
    bool reboot = false;
    std::string reply = Answer(command, reboot);
    if (reboot)
    {
        actions.push_back(CSessionAction::Send(reply, "reply", scenario.slowReplyMs));
        actions.push_back(CSessionAction::Reboot());
        m_state = State::Closed;
        return;
    }
    SendCommandReply(command, std::move(reply), actions);
}

void CCommandSession::SendCommandReply(const CCommandLine& command, std::string reply,
                                       CSessionActions& actions)
{
    const CScenario& scenario = m_appliance.Scenario();
    if (scenario.hugeReply.MatchesPrefixOf(command.Body()))
    {
        const bool prompted = !reply.empty() && reply.back() == '>';
        std::string body = PromptlessPart(reply);
        const std::size_t target = static_cast<std::size_t>(scenario.hugeReplyBytes);
        while (body.size() < target)
            body += kFillerLine;
        reply = body + (prompted ? ">" : "");
    }
    if (scenario.zeroByteChunk.MatchesPrefixOf(command.Body()))
    {
        // The first chunk hides its prompt behind a zero byte; the prompt follows on its own.
        const std::string first = PromptlessPart(reply) + std::string(1, '\0') + ">";
        actions.push_back(CSessionAction::Send(first, "reply", scenario.slowReplyMs));
        actions.push_back(CSessionAction::Send(">", "reply", scenario.singleByteDelayMs));
        return;
    }
    actions.push_back(CSessionAction::Send(reply, "reply", scenario.slowReplyMs));
}

std::string CCommandSession::Answer(const CCommandLine& command, bool& reboot)
{
    if (!command.IsValid())
        return Reply("Invalid characters in command");
    if (command.IsEmpty())
        return Reply("");
    const std::string& verb = command.Verb();
    if (verb == "ver")
    {
        const CScenario& scenario = m_appliance.Scenario();
        return scenario.hasVerReply ? scenario.verReply
                                    : Reply("Corvane ver " + m_appliance.Version());
    }
    if (verb == "ls")
        return AnswerList(command);
    if (verb == "cdb" || verb == "ddb" || verb == "wdb" || verb == "pdb")
        return AnswerDatabase(command);
    if (verb == "reboot")
    {
        reboot = true;
        return kRebooting;
    }
    return Reply("Unknown command: " + verb);
}

std::string CCommandSession::AnswerDatabase(const CCommandLine& command)
{
    const std::string& verb = command.Verb();
    static const std::size_t kMinimumWords[] = {5, 4, 2, 2}; // cdb, ddb, wdb, pdb
    const std::size_t index = verb == "cdb" ? 0 : verb == "ddb" ? 1 : verb == "wdb" ? 2 : 3;
    if (command.WordCount() < kMinimumWords[index])
    {
        static const char* const kUsage[] = {"Usage: cdb DATABASE GROUP NAME VALUE",
                                             "Usage: ddb DATABASE GROUP NAME [VALUE]",
                                             "Usage: wdb DATABASE", "Usage: pdb DATABASE"};
        return Reply(kUsage[index]);
    }
    if (command.Word(1) != "general")
        return Reply("Unknown database " + command.Word(1));
    CApplianceDatabase& database = m_appliance.Database();
    const std::string& group = command.Word(2);
    const std::string& name = command.Word(3);
    const std::string value = command.RestAfter(4);
    switch (index)
    {
    case 0:
        database.Set(group, name, value);
        return Reply(group + " " + name + " = " + value);
    case 1:
        if (!value.empty())
        {
            database.Set(group, name, value);
            return Reply(group + " " + name + " reset to " + value);
        }
        return Reply(group + " " + name + (database.Delete(group, name) ? " deleted" : " not set"));
    case 2:
        return Reply(m_appliance.WriteDatabase() ? "Database general written"
                                                 : "Cannot write database general");
    default:
    {
        std::string listing;
        for (const auto& [key, variable] : database.Variables())
            listing +=
                (listing.empty() ? "" : "\r\n") + key.first + " " + key.second + " = " + variable;
        return Reply(listing);
    }
    }
}

std::string CCommandSession::AnswerList(const CCommandLine& command)
{
    if (command.WordCount() == 1)
        return Reply(m_appliance.WelcomePresent() ? "welcome.msg" : "");
    std::string listing;
    for (std::size_t i = 1; i < command.WordCount(); ++i)
    {
        const std::string& name = command.Word(i);
        const bool exists =
            name == "welcome.msg" ? m_appliance.WelcomePresent() : m_appliance.FileSize(name) >= 0;
        listing += (listing.empty() ? "" : "\r\n") + (exists ? name : "Can't open " + name);
    }
    return Reply(listing);
}

void CCommandSession::Close(const std::string& reason, CSessionActions& actions)
{
    actions.push_back(CSessionAction::Close(reason));
    m_state = State::Closed;
}

void CCommandSession::Record(const std::string& kind, const std::string& text)
{
    m_appliance.Transcript().Record("cmd", kind,
                                    CJsonLine().Number("conn", m_connectionId).Text("text", text));
}
