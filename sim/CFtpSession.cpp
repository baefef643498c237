#include "sim/CFtpSession.h"

#include "sim/CAppliance.h"
#include "sim/CFtpCommand.h"

CFtpSession::CFtpSession(CAppliance& appliance, IFtpDataPort& dataPort, int connectionId,
                         std::uint32_t peerAddress)
    : m_appliance(appliance), m_dataPort(dataPort), m_connectionId(connectionId),
      m_peerAddress(peerAddress), m_input(kMaxLineLength)
{
}

CSessionActions CFtpSession::Greet()
{
    CSessionActions actions;
    Reply("220 Corvane FTP server ready", actions);
    return actions;
}

CSessionActions CFtpSession::Receive(const char* data, std::size_t length)
{
    CSessionActions actions;
    if (m_closed)
        return actions;
    if (!m_input.Append(data, length))
    {
        Reply("500 Command line too long", actions);
        Close("line too long", actions);
        return actions;
    }
    TakeLines(actions);
    return actions;
}

CSessionActions CFtpSession::TransferFinished(const CTransferResult& result)
{
    CSessionActions actions;
    const std::string name = m_transferName;
    m_transferName.clear();
    m_dataMode = DataMode::None;
    CTranscript& transcript = m_appliance.Transcript();
    switch (result.outcome)
    {
    case CTransferResult::Outcome::Stored:
        m_appliance.NoteStored(name);
        transcript.Record("ftp", "stored",
                          CJsonLine()
                              .Number("conn", m_connectionId)
                              .Text("name", name)
                              .Number("size", result.size)
                              .Text("sha256", result.sha256));
        Reply("226 Transfer complete", actions);
        break;
    case CTransferResult::Outcome::NoConnection:
        Reply("425 Cannot open data connection", actions);
        break;
    case CTransferResult::Outcome::Dropped:
        Reply("426 Connection closed; transfer aborted", actions);
        break;
    case CTransferResult::Outcome::WriteFailed:
        Reply("451 Local error in processing", actions);
        break;
    case CTransferResult::Outcome::TooLarge:
        Reply("552 Exceeded storage allocation", actions);
        break;
    }
    if (result.outcome != CTransferResult::Outcome::Stored)
        transcript.Record("ftp", "transfer-failed",
                          CJsonLine()
                              .Number("conn", m_connectionId)
                              .Text("name", name)
                              .Number("size", result.size));
    TakeLines(actions);
    return actions;
}

void CFtpSession::TakeLines(CSessionActions& actions)
{
    std::string line;
    while (!m_closed && !IsBusy() && m_input.NextLine(line))
        TakeLine(line, actions);
}

void CFtpSession::TakeLine(const std::string& line, CSessionActions& actions)
{
    m_appliance.Transcript().Record("ftp", "command",
                                    CJsonLine().Number("conn", m_connectionId).Text("text", line));
    const CFtpCommand command(line);
    if (!command.IsValid())
    {
        Reply("500 Syntax error, command unrecognized", actions);
        return;
    }
    TakeCommand(command, actions);
}

namespace
{
bool IsKnownVerb(const std::string& verb)
{
    static const char* const kVerbs[] = {"USER", "PASS", "QUIT", "NOOP", "SYST", "FEAT",
                                         "TYPE", "MODE", "STRU", "PORT", "PASV", "STOR",
                                         "SIZE", "PWD",  "XPWD", "CWD",  "CDUP"};
    for (const char* known : kVerbs)
        if (verb == known)
            return true;
    return false;
}
} // namespace

void CFtpSession::TakeCommand(const CFtpCommand& command, CSessionActions& actions)
{
    const std::string& verb = command.Verb();
    if (!IsKnownVerb(verb))
        return Reply("502 Command not implemented", actions);
    if (verb == "USER")
        return TakeUser(command, actions);
    if (verb == "PASS")
        return TakePass(command, actions);
    if (verb == "QUIT")
    {
        Reply("221 Goodbye", actions);
        return Close("quit", actions);
    }
    if (verb == "NOOP")
        return Reply("200 NOOP ok", actions);
    if (verb == "SYST")
        return Reply("215 UNIX Type: L8", actions);
    if (verb == "FEAT")
        return Reply("211-Features:\r\n SIZE\r\n PASV\r\n211 End", actions);
    if (!m_loggedIn)
        return Reply("530 Please login with USER and PASS", actions);
    if (verb == "TYPE")
        return TakeType(command, actions);
    if (verb == "MODE")
        return Reply(command.Argument() == "S" || command.Argument() == "s"
                         ? "200 Mode set to S"
                         : "504 Command not implemented for that parameter",
                     actions);
    if (verb == "STRU")
        return Reply(command.Argument() == "F" || command.Argument() == "f"
                         ? "200 Structure set to F"
                         : "504 Command not implemented for that parameter",
                     actions);
    if (verb == "PORT")
        return TakePort(command, actions);
    if (verb == "PASV")
        return TakePasv(actions);
    if (verb == "STOR")
        return TakeStor(command, actions);
    if (verb == "SIZE")
        return TakeSize(command, actions);
    if (verb == "PWD" || verb == "XPWD")
        return Reply("257 \"/\" is the current directory", actions);
    TakeCwd(command, actions);
}

void CFtpSession::TakeUser(const CFtpCommand& command, CSessionActions& actions)
{
    if (command.Argument().empty())
        return Reply("501 Syntax error in parameters or arguments", actions);
    m_userName = command.Argument();
    m_userGiven = true;
    m_loggedIn = false;
    Reply("331 Password required for " + m_userName, actions);
}

void CFtpSession::TakePass(const CFtpCommand& command, CSessionActions& actions)
{
    if (!m_userGiven)
        return Reply("503 Login with USER first", actions);
    m_userGiven = false;
    const CScenario& scenario = m_appliance.Scenario();
    m_loggedIn = m_userName == scenario.user && command.Argument() == scenario.password;
    m_appliance.Transcript().Record("ftp", "login",
                                    CJsonLine()
                                        .Number("conn", m_connectionId)
                                        .Text("user", m_userName)
                                        .Flag("accepted", m_loggedIn));
    Reply(m_loggedIn ? "230 User logged in" : "530 Login incorrect", actions);
}

void CFtpSession::TakeType(const CFtpCommand& command, CSessionActions& actions)
{
    const std::string& type = command.Argument();
    if (type == "I" || type == "i" || type == "L 8")
    {
        m_ascii = false;
        return Reply("200 Type set to I", actions);
    }
    if (type == "A" || type == "a" || type == "A N" || type == "a n")
    {
        m_ascii = true;
        return Reply("200 Type set to A", actions);
    }
    if (type.empty())
        return Reply("501 Syntax error in parameters or arguments", actions);
    Reply("504 Command not implemented for that parameter", actions);
}

// Active mode may connect only back to the client itself: a PORT naming another host would
// turn the server into a relay for third parties.
void CFtpSession::TakePort(const CFtpCommand& command, CSessionActions& actions)
{
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    if (!CFtpCommand::ParseHostPort(command.Argument(), address, port) || port == 0)
        return Reply("501 Syntax error in parameters or arguments", actions);
    if (address != m_peerAddress)
        return Reply("500 Illegal PORT command", actions);
    m_dataPort.ClosePassive();
    m_dataMode = DataMode::Active;
    m_activeAddress = address;
    m_activePort = port;
    Reply("200 PORT command successful", actions);
}

void CFtpSession::TakePasv(CSessionActions& actions)
{
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    if (!m_dataPort.OpenPassive(address, port))
    {
        m_dataMode = DataMode::None;
        return Reply("425 Cannot open passive connection", actions);
    }
    m_dataMode = DataMode::Passive;
    Reply("227 Entering Passive Mode (" + CFtpCommand::FormatHostPort(address, port) + ")",
          actions);
}

void CFtpSession::TakeStor(const CFtpCommand& command, CSessionActions& actions)
{
    std::string name = command.Argument();
    if (!name.empty() && name[0] == '/')
        name.erase(0, 1);
    if (name.empty())
        return Reply("501 Syntax error in parameters or arguments", actions);
    if (!CAppliance::IsAcceptableFileName(name))
        return Reply("553 File name not allowed", actions);
    if (m_dataMode == DataMode::None)
        return Reply("425 Use PORT or PASV first", actions);
    const CScenario& scenario = m_appliance.Scenario();
    if (scenario.ftpRefuseStore.MatchesName(name))
    {
        m_appliance.Transcript().Record(
            "ftp", "refused", CJsonLine().Number("conn", m_connectionId).Text("name", name));
        return Reply("553 Could not create file", actions);
    }
    Reply(std::string("150 Opening ") + (m_ascii ? "ASCII" : "BINARY") +
              " mode data connection for " + name,
          actions);
    m_transferName = name;
    m_dataPort.StartStore(
        name,
        m_dataMode == DataMode::Active ? IFtpDataPort::Mode::Active : IFtpDataPort::Mode::Passive,
        m_activeAddress, m_activePort, m_ascii, scenario.ftpDropTransfer.MatchesName(name));
}

void CFtpSession::TakeSize(const CFtpCommand& command, CSessionActions& actions)
{
    std::string name = command.Argument();
    if (!name.empty() && name[0] == '/')
        name.erase(0, 1);
    const long long size = m_appliance.FileSize(name);
    if (size < 0)
        return Reply("550 Could not get file size", actions);
    Reply("213 " + std::to_string(size), actions);
}

// The server has one flat folder: the root.
void CFtpSession::TakeCwd(const CFtpCommand& command, CSessionActions& actions)
{
    const std::string& folder = command.Argument();
    if (command.Verb() == "CDUP" || folder == "/" || folder == "." || folder.empty())
        return Reply("250 Directory successfully changed", actions);
    Reply("550 Failed to change directory", actions);
}

void CFtpSession::Reply(const std::string& text, CSessionActions& actions)
{
    actions.push_back(CSessionAction::Send(text + "\r\n", "reply"));
}

void CFtpSession::Close(const std::string& reason, CSessionActions& actions)
{
    actions.push_back(CSessionAction::Close(reason));
    m_closed = true;
}
