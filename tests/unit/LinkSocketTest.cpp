#include "platform/Socket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <vector>

namespace
{
// A loopback TCP listener owned by the test; accept is left to the test.
class CLoopbackListener
{
public:
    explicit CLoopbackListener(int backlog = 4)
    {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(listen(m_fd, backlog), 0);
        socklen_t length = sizeof address;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~CLoopbackListener()
    {
        for (int fd : m_accepted)
            close(fd);
        close(m_fd);
    }
    int Accept()
    {
        const int fd = accept(m_fd, nullptr, nullptr);
        m_accepted.push_back(fd);
        return fd;
    }
    unsigned short port = 0;

private:
    int m_fd;
    std::vector<int> m_accepted;
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(LinkSocket, StreamCarriesBytesBothWaysAndSeesThePeerClose)
{
    CLoopbackListener listener;
    CStreamSocket client;
    ASSERT_TRUE(client.Create());
    ASSERT_TRUE(client.Connect("127.0.0.1", listener.port));
    const int peer = listener.Accept();
    EXPECT_EQ(client.Send("Z", 1), 1);
    char byte = 0;
    ASSERT_EQ(recv(peer, &byte, 1, 0), 1);
    EXPECT_EQ(byte, 'Z');
    ASSERT_EQ(send(peer, "hello", 5, 0), 5);
    char buffer[16] = {};
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "hello");
    shutdown(peer, SHUT_RDWR);
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 0);
}

TEST(LinkSocket, ReadWithNothingToReadFailsAfterTheReadTimeout)
{
    CLoopbackListener listener;
    CStreamSocket client;
    client.SetTimeouts(CStreamSocket::kConnectTimeoutMs, 300);
    ASSERT_TRUE(client.Create());
    ASSERT_TRUE(client.Connect("127.0.0.1", listener.port));
    listener.Accept();
    const auto start = std::chrono::steady_clock::now();
    char buffer[8];
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), kSocketError);
    EXPECT_GE(SecondsSince(start), 0.25);
    EXPECT_LT(SecondsSince(start), 5.0);
}

TEST(LinkSocket, RefusedConnectFailsAndSendAfterCloseFails)
{
    unsigned short unusedPort;
    {
        CLoopbackListener listener;
        unusedPort = listener.port;
    }
    CStreamSocket client;
    ASSERT_TRUE(client.Create());
    EXPECT_FALSE(client.Connect("127.0.0.1", unusedPort));
    client.Close();
    EXPECT_FALSE(client.IsOpen());
    EXPECT_EQ(client.Send("x", 1), kSocketError);
    EXPECT_FALSE(client.Connect("127.0.0.1", unusedPort));
}

TEST(LinkSocket, UnansweredConnectFailsAfterTheConnectTimeout)
{
    // A listener whose queue is full drops further connection requests unanswered.
    CLoopbackListener listener(0);
    std::array<CStreamSocket, 3> fillers;
    for (auto& filler : fillers)
    {
        filler.SetTimeouts(200, 200);
        ASSERT_TRUE(filler.Create());
        filler.Connect("127.0.0.1", listener.port);
    }
    CStreamSocket client;
    client.SetTimeouts(400, 400);
    ASSERT_TRUE(client.Create());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.Connect("127.0.0.1", listener.port));
    EXPECT_GE(SecondsSince(start), 0.35);
    EXPECT_LT(SecondsSince(start), 5.0);
}

TEST(LinkSocket, DatagramsArriveWithTheirSenderAndTooLongOnesAreDropped)
{
    // The peer is a plain socket, so the test knows its port.
    const int sender = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in senderAddress{};
    senderAddress.sin_family = AF_INET;
    senderAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(sender, reinterpret_cast<sockaddr*>(&senderAddress), sizeof senderAddress), 0);
    socklen_t length = sizeof senderAddress;
    getsockname(sender, reinterpret_cast<sockaddr*>(&senderAddress), &length);

    CDatagramSocket probe;
    ASSERT_TRUE(probe.Create());
    ASSERT_TRUE(probe.AllowBroadcast());
    unsigned char buffer[12];
    std::uint32_t from = 0;
    unsigned short port = 0;
    EXPECT_EQ(probe.ReceiveFrom(buffer, sizeof buffer, from, port), kSocketError);
    EXPECT_EQ(probe.SendTo("\x02", 1, htonl(INADDR_LOOPBACK), ntohs(senderAddress.sin_port)), 1);
    char received[4] = {};
    sockaddr_in probeAddress{};
    length = sizeof probeAddress;
    ASSERT_EQ(recvfrom(sender, received, sizeof received, 0,
                       reinterpret_cast<sockaddr*>(&probeAddress), &length),
              1);
    EXPECT_EQ(received[0], 2);

    // Reply to the probe: first too long for a one-byte buffer, then one that fits.
    sendto(sender, "\x02\x02", 2, 0, reinterpret_cast<sockaddr*>(&probeAddress), length);
    sendto(sender, "\x02", 1, 0, reinterpret_cast<sockaddr*>(&probeAddress), length);
    usleep(50000);
    EXPECT_EQ(probe.ReceiveFrom(buffer, 1, from, port), kSocketError);
    EXPECT_EQ(probe.ReceiveFrom(buffer, 1, from, port), 1);
    EXPECT_EQ(FormatIpv4Address(from), "127.0.0.1");
    EXPECT_EQ(port, ntohs(senderAddress.sin_port));
    EXPECT_EQ(probe.ReceiveFrom(buffer, 1, from, port), kSocketError);
    close(sender);
}
} // namespace
