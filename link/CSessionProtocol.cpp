#include "link/CSessionProtocol.h"

#include "engine/UpgradeMessages.h"
#include "link/CredentialStore.h"
#include "platform/MessageBoxStyle.h"
#include "platform/Notifier.h"
#include "platform/Operator.h"
#include "platform/Socket.h"

#include <cstring>

namespace
{
const char kOpeningByte[] = "Z";
const char kLoginRequest[] = "login";
const char kLoginRefused[] = "Login failed";

const char kReceivingConnectionData[] = "Receiving connection data";
const char kReceivingLoginData[] = "Receiving login data";
const char kValidatingLogin[] = "Validating username and password";

const char kWrongCredentialsText[] = "Either the username or password entered is incorrect. Make "
                                     "sure you login as administrator.";
const char kWrongCredentialsTitle[] = "Corvane upgrade utility - Incorrect login username/password";
} // namespace

CSessionProtocol::CSessionProtocol(IByteStream& stream, const CLinkPorts& ports)
    : m_stream(stream), m_ports(ports), m_pause(ports.clock, ports.notifier)
{
}

bool CSessionProtocol::LogIn(ICredentialStore& store, std::string userName, std::string password)
{
    if (!SendText(kOpeningByte))
        return false;
    m_ports.notifier.Post(WM_UPGRADE_STEP, kReceivingConnectionData, 0);
    WaitWithProgress(kReplyPauseMs);
    std::string greeting;
    if (ReadChunk(greeting) == kSocketError)
        return false;
    if (greeting.find(kLoginRequest) == std::string::npos)
        return true;

    // Only Cancel in the login dialog ends this loop: refused attempts are not counted.
    for (;;)
    {
        if (userName.empty() && !AskForCredentials(store, userName, password))
            return false;
        std::string verdict;
        if (!SendCredentials(userName, password, verdict))
            return false;
        if (verdict.find(kLoginRefused) == std::string::npos)
            return true;
        m_ports.op.ShowMessage(kWrongCredentialsText, kWrongCredentialsTitle, box::kSetForeground);
        userName.clear();
        password.clear();
    }
}

bool CSessionProtocol::SendCredentials(const std::string& userName, const std::string& password,
                                       std::string& verdict)
{
    if (!SendText(userName))
        return false;
    m_ports.notifier.Post(WM_UPGRADE_STEP, kReceivingLoginData, 0);
    WaitWithProgress(kReplyPauseMs);
    std::string ignored;
    if (!ReadCredentialReply(ignored))
        return false;

    if (!SendText(password))
        return false;
    m_ports.notifier.Post(WM_UPGRADE_STEP, kValidatingLogin, 0);
    WaitWithProgress(kReplyPauseMs);
    return ReadCredentialReply(verdict);
}

bool CSessionProtocol::AskForCredentials(ICredentialStore& store, std::string& userName,
                                         std::string& password)
{
    std::string typedName;
    std::string typedPassword;
    if (!m_ports.op.AskLogin(typedName, typedPassword))
        return false;
    userName = typedName + "\n";
    password = typedPassword + "\n";
    store.SetUserName(userName);
    store.SetPassword(password);
    return true;
}

bool CSessionProtocol::ReadCredentialReply(std::string& reply)
{
    int length = ReadChunk(reply);
    if (length == 1)
        length = ReadChunk(reply);
    // A closed connection cannot carry a login on; it must not pass for an accepted one.
    return length != kSocketError && length != 0;
}

bool CSessionProtocol::SendText(const std::string& text)
{
    const int length = static_cast<int>(text.size());
    return m_stream.Send(text.data(), length) == length;
}

bool CSessionProtocol::ReceiveUntil(std::string& reply, const std::string& terminator)
{
    reply.clear();
    for (;;)
    {
        WaitWithProgress(kReplyPauseMs);
        std::string chunk;
        const int length = ReadChunk(chunk);
        if (length == kSocketError)
            return false;
        reply += chunk;
        if (reply.find(terminator) != std::string::npos)
            return true;
        // Nothing more comes once the peer has closed, and no reply grows without bound.
        if (length == 0 || reply.size() > kMaxReplyLength)
            return false;
    }
}

void CSessionProtocol::WaitWithProgress(int ms)
{
    m_pause.Wait(ms);
}

int CSessionProtocol::ReadChunk(std::string& text)
{
    char buffer[kChunkSize + 1] = {};
    const int length = m_stream.Receive(buffer, kChunkSize);
    // A chunk counts as text: it ends at its first zero byte.
    const std::size_t received = length > 0 ? static_cast<std::size_t>(length) : 0;
    const void* zero = std::memchr(buffer, 0, received);
    text.assign(buffer, zero ? static_cast<const char*>(zero) - buffer : received);
    return length;
}
