#pragma once
#include <memory>
#include <stdexcept>
#include <string>

// Opening an Internet session or an FTP connection reports failure by this exception.
class CInternetError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One FTP connection (active mode, default port 21). Windows: WinInet; natively libcurl.
class IFtpConnection
{
public:
    virtual ~IFtpConnection() = default;
    // Binary upload of a local file of the working folder; true on success.
    virtual bool PutFile(const std::string& localName, const std::string& remoteName) = 0;
    virtual void Close() = 0;
};

class IInternetSession
{
public:
    virtual ~IInternetSession() = default;
    // Connects and logs in; throws CInternetError when the server cannot be reached or refuses.
    virtual std::unique_ptr<IFtpConnection> OpenFtp(const std::string& server,
                                                    const std::string& user,
                                                    const std::string& password) = 0;
};

// Opens the run's Internet session; throws CInternetError when it cannot be opened.
class IInternet
{
public:
    virtual ~IInternet() = default;
    virtual std::unique_ptr<IInternetSession> OpenSession(const std::string& agentName) = 0;
};
