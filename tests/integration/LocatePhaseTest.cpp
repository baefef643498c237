// Locating the appliance and logging in, through the real worker, against simulated appliances
// in the test bed: discovery, the factory address, the address the operator types, and how
// each way ends.
#include "engine/CLocatePhase.h"
#include "engine/CUpgrader.h"
#include "platform/MessageBoxStyle.h"
#include "platform/posix/CCurlInternet.h"
#include "platform/posix/CMemoryRegistry.h"
#include "platform/posix/CPosixFileSystem.h"
#include "platform/posix/CPosixProcessLauncher.h"
#include "tests/integration/LinkTestRig.h"

#include <atomic>
#include <chrono>
#include <optional>

namespace
{
using namespace link_test;

const char kCannotConnect[] = "Cannot establish a connection to the Corvane. Check the cables and "
                              "try running the Corvane upgrade utility again.";

class LocatePhaseTest : public ::testing::Test
{
protected:
    std::unique_ptr<CCommandSocket> Locate() { return CLocatePhase(upgrader).Run(); }
    std::unique_ptr<CSimulatorProcess> Start(const std::string& scenario,
                                             const std::string& appliance = "app1")
    {
        return std::make_unique<CSimulatorProcess>(scenario, SimulatorOptions(appliance));
    }
    void AnswerLogin()
    {
        op.AnswerLogin(std::make_pair(std::string("admin"), std::string("corvane")));
    }
    std::string Address() const { return upgrader.m_szAddress; }

    CSteadyClock clock{kTimeScale};
    CRecordingNotifier notifier;
    CScriptedOperator op;
    CPosixFileSystem files;
    CCurlInternet internet;
    CPosixProcessLauncher processes;
    CMemoryRegistry registry;
    std::atomic<int> cancel{0};
    CUpgrader upgrader{
        CUpgraderPorts{clock, notifier, op, files, internet, processes, registry, cancel}};
};

TEST_F(LocatePhaseTest, AnApplianceFoundByDiscoveryIsNeverProbedAtTheFactoryAddress)
{
    auto sim = Start("reply_address = 192.168.42.243\n");
    AnswerLogin();
    auto session = Locate();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(Address(), "192.168.42.243");
    EXPECT_EQ(sim->Records("cmd", "connect").size(), 1u);
    EXPECT_EQ(ShownKinds(op), std::vector<std::string>{"login"});
    const auto texts = notifier.StatusTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "Finding Corvane");
}

TEST_F(LocatePhaseTest, WithoutDiscoveryTheFactoryAddressIsLoggedInTwiceAndAsksOnce)
{
    auto sim = Start("presence = none\n");
    AnswerLogin();
    auto session = Locate();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(Address(), "192.168.42.253");
    EXPECT_EQ(ShownKinds(op), std::vector<std::string>{"login"});
    EXPECT_EQ(CommandTexts(*sim, "login"), (std::vector<std::string>{"accepted", "accepted"}));
    // The probe session was closed without the close message; the run's session sends it when
    // it is released.
    ASSERT_TRUE(sim->WaitForRecords("cmd", "disconnect", 1, 5000));
    EXPECT_TRUE(sim->Records("cmd", "close-message").empty());
    session.reset();
    ASSERT_TRUE(sim->WaitForRecords("cmd", "close-message", 1, 5000));
    EXPECT_EQ(sim->Records("cmd", "close-message")[0].Connection(),
              sim->Records("cmd", "connect")[1].Connection());
}

TEST_F(LocatePhaseTest, NothingAtTheFactoryAddressAsksForTheAddressAndUsesIt)
{
    auto sim = Start("presence = none\n", "app2");
    AnswerLogin();
    op.AnswerAddress(std::string("192.168.42.252"));
    auto session = Locate();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(Address(), "192.168.42.252");
    EXPECT_EQ(ShownKinds(op), (std::vector<std::string>{"address", "login"}));
}

TEST_F(LocatePhaseTest, AnAddressThatDoesNotAnswerEndsWithTheConnectionBox)
{
    op.AnswerAddress(std::string("192.168.42.99"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Locate(), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(CStreamSocket::kConnectTimeoutMs + 10000));
    EXPECT_EQ(ShownKinds(op), (std::vector<std::string>{"address", "box"}));
    const auto boxes = op.Boxes();
    EXPECT_EQ(boxes[0].text, kCannotConnect);
    EXPECT_EQ(boxes[0].title, "Corvane upgrade utility - Internal error");
    EXPECT_EQ(boxes[0].style, box::kSetForeground);
    EXPECT_EQ(Address(), "192.168.42.99");
}

TEST_F(LocatePhaseTest, CancelInTheLoginDialogOfTheProbeLeadsToTheAddressDialog)
{
    auto sim = Start("presence = none\n");
    op.AnswerLogin(std::nullopt);
    op.AnswerAddress(std::nullopt);
    EXPECT_EQ(Locate(), nullptr);
    // Cancelling the address dialog ends the run without a box.
    EXPECT_EQ(ShownKinds(op), (std::vector<std::string>{"login", "address"}));
}

TEST_F(LocatePhaseTest, StopAtTheTooManyPromptEndsWithoutConnecting)
{
    auto first = Start("");
    auto second = Start("", "app2");
    op.AnswerBox(box::kIdCancel);
    EXPECT_EQ(Locate(), nullptr);
    EXPECT_EQ(ShownKinds(op), std::vector<std::string>{"box"});
    EXPECT_TRUE(first->Records("cmd", "connect").empty());
    EXPECT_TRUE(second->Records("cmd", "connect").empty());
}

TEST_F(LocatePhaseTest, ATypedAddressTooLongForTheBufferIsRefusedNotCut)
{
    op.AnswerAddress(std::string(CUpgrader::kAddressCapacity, '1'));
    EXPECT_EQ(Locate(), nullptr);
    const auto boxes = op.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Corvane upgrade utility - Address too long");
    EXPECT_NE(boxes[0].text.find("255 characters"), std::string::npos);
    EXPECT_EQ(boxes[0].style, box::kSetForeground);
    // The factory address stays; nothing of the typed text went in.
    EXPECT_EQ(Address(), "192.168.42.253");
}

TEST_F(LocatePhaseTest, ATypedAddressThatJustFitsIsTriedWhole)
{
    const std::string longest(CUpgrader::kAddressCapacity - 1, '1');
    op.AnswerAddress(longest);
    EXPECT_EQ(Locate(), nullptr);
    EXPECT_EQ(Address(), longest);
    ASSERT_EQ(op.Boxes().size(), 1u);
    EXPECT_EQ(op.Boxes()[0].text, kCannotConnect);
}
} // namespace
