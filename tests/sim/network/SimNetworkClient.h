#pragma once
#include <chrono>
#include <string>

// Plain socket clients for the simulator's network tests, every wait bounded.
class CSimTcpClient
{
public:
    CSimTcpClient() = default;
    ~CSimTcpClient();
    CSimTcpClient(const CSimTcpClient&) = delete;
    CSimTcpClient& operator=(const CSimTcpClient&) = delete;

    // False when the connection is refused or does not come within the time.
    bool Connect(const std::string& address, int port, int timeoutMs = 3000);
    bool Send(const std::string& bytes);
    // Reads until the text holds terminator, the peer closes, or the time is up.
    std::string ReceiveUntil(const std::string& terminator, int timeoutMs = 3000);
    // True when the peer has closed the connection (within the time).
    bool WaitForClose(int timeoutMs = 3000);
    void Close();

private:
    int m_fd = -1;
};

class CSimUdpClient
{
public:
    CSimUdpClient();
    ~CSimUdpClient();
    CSimUdpClient(const CSimUdpClient&) = delete;
    CSimUdpClient& operator=(const CSimUdpClient&) = delete;

    bool Broadcast(const std::string& bytes, int port = 244);
    // The next datagram within the time, with its sender's address; false on time-out.
    bool Receive(std::string& bytes, std::string& sender, int timeoutMs = 1000);

private:
    int m_fd = -1;
};
