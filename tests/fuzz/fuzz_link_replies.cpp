// Feeds the command session's exchange with arbitrary replies: the greeting, the replies to the
// credentials and the chunks that ReceiveUntil gathers. The input is a terminator and a list of
// reads; whatever they hold, the exchange must end, keep its reply within bounds, send only
// what the protocol allows and report success only when its condition holds.
#include "link/CSessionProtocol.h"
#include "link/CredentialStore.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "platform/Operator.h"
#include "platform/Socket.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
void Require(bool condition)
{
    if (!condition)
        std::abort();
}

class CNoClock : public IClock
{
public:
    void Sleep(int) override {}
    std::uint32_t TickCount() override { return 0; }
};

class CCountingNotifier : public INotifier
{
public:
    void Post(unsigned, const char*, long) override { ++posted; }
    long posted = 0;
};

// Types the same name and password twice, then cancels.
class CTwoLoginsOperator : public IOperator
{
public:
    int ShowMessage(const std::string&, const std::string&, unsigned) override
    {
        ++boxes;
        return 1;
    }
    void ShowApplicationMessage(const std::string&) override {}
    bool AskAddress(std::string&) override { return false; }
    bool AskLogin(std::string& name, std::string& password) override
    {
        if (++dialogs > 2)
            return false;
        name = "admin";
        password = "pw";
        return true;
    }
    bool ConfirmUpgrade(const std::string&) override { return false; }
    int boxes = 0;
    int dialogs = 0;
};

class CStore : public ICredentialStore
{
public:
    void SetUserName(std::string name) override { userName = std::move(name); }
    void SetPassword(std::string password) override { this->password = std::move(password); }
    void CopyUserName(std::string& name) const override { name = userName; }
    void CopyPassword(std::string& password) const override { password = this->password; }
    std::string userName;
    std::string password;
};

// Each read is a header byte and its bytes: 0xFF fails the read, 0xFE is the peer's close,
// 0xC0 to 0xFD give one of the texts the exchange looks for (so that even plain random input
// reaches the login's every branch), any other value h the next h % 201 bytes of the input.
// Past the input every read fails.
class CInputStream : public IByteStream
{
public:
    CInputStream(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    int Send(const void* data, int length) override
    {
        sent.emplace_back(static_cast<const char*>(data), static_cast<std::size_t>(length));
        return length;
    }
    int Receive(void* buffer, int capacity) override
    {
        Require(capacity == CSessionProtocol::kChunkSize);
        if (m_offset >= m_size)
            return kSocketError;
        const std::uint8_t header = m_data[m_offset++];
        if (header == 0xFF)
            return kSocketError;
        if (header == 0xFE)
            return 0;
        if (header >= 0xC0)
            return Canned(header, static_cast<char*>(buffer));
        std::size_t length = header % (CSessionProtocol::kChunkSize + 1);
        if (length > m_size - m_offset)
            length = m_size - m_offset;
        std::memcpy(buffer, m_data + m_offset, length);
        const std::string bytes(reinterpret_cast<const char*>(m_data + m_offset), length);
        texts.push_back(bytes.substr(0, bytes.find('\0')));
        m_offset += length;
        return static_cast<int>(length);
    }
    std::vector<std::string> sent;
    std::vector<std::string> texts;

private:
    int Canned(std::uint8_t header, char* buffer)
    {
        static const char* const kTexts[] = {"Corvane login: ", "Login failed\n", "x",
                                             "Password: ", "> "};
        const std::string text = kTexts[header % 5];
        std::memcpy(buffer, text.data(), text.size());
        texts.push_back(text);
        return static_cast<int>(text.size());
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

void CheckReceiveUntil(const std::uint8_t* data, std::size_t size, const std::string& terminator)
{
    CNoClock clock;
    CCountingNotifier notifier;
    CTwoLoginsOperator op;
    CInputStream stream(data, size);
    CSessionProtocol protocol(stream, CLinkPorts{clock, notifier, op});
    std::string reply;
    const bool found = protocol.ReceiveUntil(reply, terminator);
    std::string joined;
    for (const auto& text : stream.texts)
        joined += text;
    Require(reply == joined);
    Require(!found || reply.find(terminator) != std::string::npos);
    Require(reply.size() <= CSessionProtocol::kMaxReplyLength + CSessionProtocol::kChunkSize);
    Require(stream.sent.empty());
}

void CheckLogIn(const std::uint8_t* data, std::size_t size, bool stored)
{
    CNoClock clock;
    CCountingNotifier notifier;
    CTwoLoginsOperator op;
    CInputStream stream(data, size);
    CStore store;
    if (stored)
    {
        store.userName = "stored\n";
        store.password = "secret\n";
    }
    CSessionProtocol protocol(stream, CLinkPorts{clock, notifier, op});
    const bool loggedIn = protocol.LogIn(store, store.userName, store.password);

    Require(!stream.sent.empty() && stream.sent[0] == "Z");
    for (std::size_t i = 1; i < stream.sent.size(); ++i)
        Require(!stream.sent[i].empty() && stream.sent[i].back() == '\n');
    // Credentials go in pairs; every refusal shows one box and at most two dialogs are answered.
    Require(op.boxes <= 3 && op.dialogs <= 3);
    Require(stream.sent.size() <= 1 + 2 * static_cast<std::size_t>(op.boxes + 1));
    if (!loggedIn)
        return;
    const bool askedForLogin =
        stream.texts.empty() == false && stream.texts[0].find("login") != std::string::npos;
    if (!askedForLogin)
        Require(stream.sent.size() == 1);
    else
        Require(stream.texts.back().find("Login failed") == std::string::npos);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t mode = data[0];
    const std::size_t terminatorLength = data[1] % 4;
    if (size < 2 + terminatorLength)
        return 0;
    const std::string terminator(reinterpret_cast<const char*>(data + 2), terminatorLength);
    const std::uint8_t* reads = data + 2 + terminatorLength;
    const std::size_t readsSize = size - 2 - terminatorLength;
    switch (mode % 3)
    {
    case 0:
        CheckReceiveUntil(reads, readsSize, terminator);
        break;
    case 1:
        CheckLogIn(reads, readsSize, false);
        break;
    default:
        CheckLogIn(reads, readsSize, true);
        break;
    }
    return 0;
}
