#pragma once
#include <cstdint>
#include <memory>
#include <string>

class CCommandSocket;
class CUpgrader;
class IFtpConnection;
class IInternetSession;

// The file transfer: from the operator's confirmation on a cancel request is possible; the
// system image and then the user-interface archive go to the appliance by FTP, each under a
// timed step estimated from its size. The run's Internet session is opened here too.
class CTransferPhase
{
public:
    static constexpr char kAgentName[] = "Veltrix Olvana Corvane upgrade utility";

    // Opens the run's Internet session; null, after a box, when it cannot be opened.
    static std::unique_ptr<IInternetSession> OpenInternetSession(CUpgrader& upgrader);

    CTransferPhase(CUpgrader& upgrader, IInternetSession& internet);
    ~CTransferPhase();
    CTransferPhase(const CTransferPhase&) = delete;
    CTransferPhase& operator=(const CTransferPhase&) = delete;

    // True when both files are on the appliance. A cancel request ends it quietly.
    bool Run(CCommandSocket& session);

    int CopySystemImage();
    int PostCopyEstimate(const char* localName, const char* statusText);
    int PostExplodeEstimate(const char* localName, const char* statusText);

private:
    bool EndsOnCancelRequest();
    std::unique_ptr<IFtpConnection> OpenConnection(const char* fileName);
    bool GetSize(const char* localName, std::int32_t& size);
    bool Put(IFtpConnection& connection, const char* fileName);

    CUpgrader& m_upgrader;
    IInternetSession& m_internet;
    // Connections that the run leaves open until its end: the archive's, and the system
    // image's when its copy did not take place.
    std::unique_ptr<IFtpConnection> m_pSystemImageConnection;
    std::unique_ptr<IFtpConnection> m_pArchiveConnection;
};
