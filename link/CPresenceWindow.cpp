#include "link/CPresenceWindow.h"

#include "platform/Socket.h"

CPresenceWindow::Outcome CPresenceWindow::Take(const unsigned char* data, int length,
                                               std::uint32_t sender)
{
    if (length != 1 || data[0] != kPresenceReply)
        return Outcome::Ignored;
    if (m_bFound)
        return Outcome::TooMany;
    m_bFound = true;
    m_strSender = FormatIpv4Address(sender);
    return Outcome::Found;
}
