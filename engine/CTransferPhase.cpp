#include "engine/CTransferPhase.h"

#include "engine/CCopyEstimate.h"
#include "engine/CUpgrader.h"
#include "engine/RunMessages.h"
#include "engine/UpgradeMessages.h"
#include "link/CCommandSocket.h"
#include "platform/FileSystem.h"
#include "platform/FtpClient.h"

#include <cstdint>

namespace
{
const char kSystemImage[] = "corvane.sys";
const char kArchive[] = "cui.tar";
const char kCopyingSystemImage[] = "Copying file corvane.sys to Corvane";
const char kCheckingFiles[] = "Checking files after copying";
const char kExplodingArchive[] = "Exploding file cui.tar on Corvane";
constexpr int kCheckPauseMs = 3000;

const char kFileStatusMissing[] = "Cannot find a file, because the file status is missing. "
                                  "Restart your computer and run the Corvane upgrade utility "
                                  "again.";
const char kCannotPut[] = "Cannot put the file. Try running the Corvane upgrade utility again.";
const char kCannotOpenSession[] =
    "Cannot open an Internet session for copying files to the Corvane. Restart your computer "
    "and run the Corvane upgrade utility again.";

std::string CannotConnectFtpText(const char* fileName)
{
    return std::string("Cannot open an FTP connection to the Corvane to copy the file ") +
           fileName + ". Check the cables and try running the Corvane upgrade utility again.";
}

// The FTP logins take the command session's credentials without their line feed.
std::string WithoutTrailingWhiteSpace(std::string text)
{
    text.erase(text.find_last_not_of(" \t\n\v\f\r") + 1);
    return text;
}
} // namespace

std::unique_ptr<IInternetSession> CTransferPhase::OpenInternetSession(CUpgrader& upgrader)
{
    try
    {
        return upgrader.Ports().internet.OpenSession(kAgentName);
    }
    catch (const CInternetError&)
    {
        upgrader.ShowFailure(kCannotOpenSession, run_messages::kInternalError);
        return nullptr;
    }
}

CTransferPhase::CTransferPhase(CUpgrader& upgrader, IInternetSession& internet)
    : m_upgrader(upgrader), m_internet(internet)
{
}

CTransferPhase::~CTransferPhase() = default;

bool CTransferPhase::Run(CCommandSocket& session)
{
    m_upgrader.Post(WM_UPGRADE_SHOW);
    if (EndsOnCancelRequest())
        return false;
    // An empty line brings the command session back in step; whatever it answers, go on.
    session.SendCommand("\n", ">");
    if (EndsOnCancelRequest())
        return false;
    m_upgrader.PostStep(nullptr, 1);
    if (CopySystemImage() != 1)
        return false;
    m_upgrader.PostStep(kCheckingFiles, 0);
    session.WaitWithProgress(kCheckPauseMs);
    // The last look at the cancel request: from the archive on the run goes to its end.
    if (EndsOnCancelRequest())
        return false;
    m_pArchiveConnection = OpenConnection(kArchive);
    if (!m_pArchiveConnection)
        return false;
    if (PostExplodeEstimate(kArchive, kExplodingArchive) == 0)
        return false;
    return Put(*m_pArchiveConnection, kArchive);
}

int CTransferPhase::CopySystemImage()
{
    m_pSystemImageConnection = OpenConnection(kSystemImage);
    if (!m_pSystemImageConnection)
        return 0;
    if (PostCopyEstimate(kSystemImage, kCopyingSystemImage) == 0)
        return 0;
    if (!Put(*m_pSystemImageConnection, kSystemImage))
        return 0;
    m_upgrader.PostStep(nullptr, 1);
    m_pSystemImageConnection->Close();
    m_pSystemImageConnection.reset();
    return 1;
}

int CTransferPhase::PostCopyEstimate(const char* localName, const char* statusText)
{
    std::int32_t size = 0;
    if (!GetSize(localName, size))
        return 0;
    m_upgrader.PostTimedStep(statusText, CCopyEstimate::CopySeconds(size));
    return 1;
}

int CTransferPhase::PostExplodeEstimate(const char* localName, const char* statusText)
{
    std::int32_t size = 0;
    if (!GetSize(localName, size))
        return 0;
    m_upgrader.PostTimedStep(statusText, CCopyEstimate::ExplodeSeconds(size));
    return 1;
}

bool CTransferPhase::EndsOnCancelRequest()
{
    if (m_upgrader.Ports().cancelRequested.load() == 0)
        return false;
    m_upgrader.Post(WM_UPGRADE_FAILED);
    return true;
}

std::unique_ptr<IFtpConnection> CTransferPhase::OpenConnection(const char* fileName)
{
    std::string user;
    std::string password;
    m_upgrader.CopyUserName(user);
    m_upgrader.CopyPassword(password);
    try
    {
        return m_internet.OpenFtp(m_upgrader.m_szAddress, WithoutTrailingWhiteSpace(user),
                                  WithoutTrailingWhiteSpace(password));
    }
    catch (const CInternetError&)
    {
        m_upgrader.ShowFailure(CannotConnectFtpText(fileName).c_str(),
                               run_messages::kInternalError);
        return nullptr;
    }
}

bool CTransferPhase::GetSize(const char* localName, std::int32_t& size)
{
    if (m_upgrader.Ports().files.GetSize(localName, size))
        return true;
    m_upgrader.ShowFailure(kFileStatusMissing, run_messages::kInternalError);
    return false;
}

bool CTransferPhase::Put(IFtpConnection& connection, const char* fileName)
{
    if (connection.PutFile(fileName, fileName))
        return true;
    m_upgrader.ShowFailure(kCannotPut, run_messages::kInternalError);
    return false;
}
