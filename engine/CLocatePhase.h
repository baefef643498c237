#pragma once
#include "link/CCommandSocket.h"

#include <memory>

class CUpgrader;

// Settles which address the run talks to and opens the run's logged-in command session there:
// discovery first, then the factory address, and only when nothing answers there the address
// the operator types.
class CLocatePhase
{
public:
    static constexpr char kFactoryAddress[] = "192.168.42.253";
    static constexpr unsigned kCommandPort = 244;

    explicit CLocatePhase(CUpgrader& upgrader);

    // The run's logged-in session to the upgrader's m_szAddress; null when the run ends here
    // (its box, if any, has been shown).
    std::unique_ptr<CCommandSocket> Run();

private:
    enum class AddressOutcome
    {
        Known,
        Stop
    };

    AddressOutcome UseFactoryAddress();
    AddressOutcome AskForAddress();
    void StoreAddress(const std::string& address);
    CLinkPorts LinkPorts() const;

    CUpgrader& m_upgrader;
};
