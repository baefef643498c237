#include "link/CCommandSocket.h"

#include "engine/UpgradeMessages.h"
#include "link/CSessionProtocol.h"
#include "link/CredentialStore.h"
#include "platform/Notifier.h"
#include "platform/Operator.h"

namespace
{
const char kRebootCommand[] = "reboot\n";
const char kRebooting[] = "Rebooting Corvane";
const char kCannotReboot[] = "Cannot reboot Corvane";

// Two 32-bit integers in network byte order: 2, then 0.
const unsigned char kCloseMessage[8] = {0, 0, 0, 2, 0, 0, 0, 0};
} // namespace

CCommandSocket::CCommandSocket(const char* host, unsigned port, const CLinkPorts& ports)
    : m_nPort(static_cast<unsigned short>(port & 0xFFFFu)), m_strHost(host ? host : ""),
      m_ports(ports)
{
}

CCommandSocket::~CCommandSocket()
{
    SendCloseMessage();
}

bool CCommandSocket::Login(ICredentialStore& upgrader)
{
    std::string userName;
    std::string password;
    upgrader.CopyUserName(userName);
    upgrader.CopyPassword(password);
    if (!m_socket.Create() || !m_socket.Connect(m_strHost, m_nPort))
        return false;
    if (!CSessionProtocol(m_socket, m_ports).LogIn(upgrader, userName, password))
        return false;
    m_bConnected = true;
    return true;
}

bool CCommandSocket::SendCommand(std::string command, std::string terminator)
{
    CSessionProtocol protocol(m_socket, m_ports);
    std::string reply;
    return protocol.SendText(command) && protocol.ReceiveUntil(reply, terminator);
}

bool CCommandSocket::ReceiveUntil(std::string& reply, std::string terminator)
{
    return CSessionProtocol(m_socket, m_ports).ReceiveUntil(reply, terminator);
}

bool CCommandSocket::Reboot(int waitMs, ICredentialStore&)
{
    m_ports.notifier.Post(WM_UPGRADE_TICK, nullptr, 1);
    if (!SendCommand(kRebootCommand, ""))
    {
        m_ports.op.ShowApplicationMessage(kCannotReboot);
        return false;
    }
    m_socket.Close();
    m_ports.notifier.Post(WM_UPGRADE_STEP, kRebooting, 1);
    WaitWithProgress(waitMs);
    m_ports.notifier.Post(WM_UPGRADE_STEP, nullptr, 1);
    return true;
}

bool CCommandSocket::IsConnected()
{
    m_bConnected = m_socket.IsOpen();
    return m_bConnected;
}

void CCommandSocket::WaitWithProgress(int ms)
{
    CProgressPause(m_ports.clock, m_ports.notifier).Wait(ms);
}

int CCommandSocket::Send(const void* data, int length)
{
    return m_socket.Send(data, length);
}

void CCommandSocket::Close()
{
    m_socket.Close();
}

void CCommandSocket::SendCloseMessage()
{
    if (!m_bConnected)
        return;
    m_socket.Send(kCloseMessage, sizeof kCloseMessage);
    m_bConnected = false;
}
