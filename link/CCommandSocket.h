#pragma once
#include "link/LinkPorts.h"
#include "platform/Socket.h"

#include <string>

class ICredentialStore;

// One TCP connection to the appliance's command service: opening byte, greeting, login,
// commands answered by a terminator text, restart, and the close message on destruction.
// Every read takes at most 200 bytes and follows a 3-second pause drawn as progress.
class CCommandSocket
{
public:
    CCommandSocket(const char* host, unsigned port, const CLinkPorts& ports);
    ~CCommandSocket();
    CCommandSocket(const CCommandSocket&) = delete;
    CCommandSocket& operator=(const CCommandSocket&) = delete;

    bool Login(ICredentialStore& upgrader);
    bool SendCommand(std::string command, std::string terminator);
    bool ReceiveUntil(std::string& reply, std::string terminator);
    bool Reboot(int waitMs, ICredentialStore& upgrader);
    bool IsConnected();
    void WaitWithProgress(int ms);

    // The raw socket operations that callers use around ReceiveUntil.
    int Send(const void* data, int length);
    void Close();

private:
    void SendCloseMessage();

    bool m_bConnected = false;
    unsigned short m_nPort;
    std::string m_strHost;
    CLinkPorts m_ports;
    CStreamSocket m_socket;
};
