#pragma once
#include "link/CProgressPause.h"
#include "link/LinkPorts.h"

#include <cstddef>
#include <string>

class IByteStream;
class ICredentialStore;

// The command session's exchange over a connected byte stream: the opening byte, the greeting,
// the login with its refused-login loop, and replies read in paced chunks until a terminator
// text shows up. Knows nothing of how the stream was opened, so it runs over any stream.
class CSessionProtocol
{
public:
    // Every read takes at most this many bytes.
    static constexpr int kChunkSize = 200;
    // Every read is preceded by a pause of this length, drawn as progress.
    static constexpr int kReplyPauseMs = 3000;
    // A reply that grows past this length without its terminator is given up: a peer that
    // keeps talking must not hold the run for ever.
    static constexpr std::size_t kMaxReplyLength = 64 * 1024;

    CSessionProtocol(IByteStream& stream, const CLinkPorts& ports);

    // From the opening byte to a logged-in session. userName and password are the store's
    // copies (empty when the operator has not typed them yet); the login dialog fills the store.
    bool LogIn(ICredentialStore& store, std::string userName, std::string password);

    // Sends text whole in one transmission.
    bool SendText(const std::string& text);

    // Reads until reply contains terminator. A read error or time-out, and the peer closing the
    // connection before the terminator came, give false; reply keeps what was read.
    bool ReceiveUntil(std::string& reply, const std::string& terminator);

    void WaitWithProgress(int ms);

private:
    // One read into text (up to its first zero byte): the bytes read, or kSocketError.
    int ReadChunk(std::string& text);
    // A reply to a credential; a lone first byte is dropped and the next read taken instead.
    bool ReadCredentialReply(std::string& reply);
    bool AskForCredentials(ICredentialStore& store, std::string& userName, std::string& password);
    bool SendCredentials(const std::string& userName, const std::string& password,
                         std::string& verdict);

    IByteStream& m_stream;
    CLinkPorts m_ports;
    CProgressPause m_pause;
};
