// Discovery against one or two simulated appliances over real broadcasts in the test bed: the
// datagrams each appliance received, the prompt for more than one appliance, the replies that
// must be ignored and the route command for an appliance in another subnet.
#include "link/CApplianceFinder.h"
#include "platform/MessageBoxStyle.h"
#include "platform/posix/CPosixProcessLauncher.h"
#include "tests/integration/LinkTestRig.h"

namespace
{
using namespace link_test;

const char kTooManyText[] = "You have more than one Corvane on this network. Power off all except "
                            "the one you want to upgrade and click OK. If you want to stop the "
                            "upgrade utility click cancel.";
const char kCannotStartText[] = "Cannot create this process. Your computer memory may be low. "
                                "Restart the computer and run the Corvane upgrade utility again.";

const std::string kProbe = "00";
const std::string kQuery = "02";

class LinkDiscoveryTest : public ::testing::Test
{
protected:
    int Find()
    {
        CApplianceFinder finder(clock, op, launcher);
        const std::uint32_t start = clock.TickCount();
        const int result = finder.FindAppliance(address, sizeof address);
        elapsedTicks = clock.TickCount() - start;
        return result;
    }
    std::unique_ptr<CSimulatorProcess> Start(const std::string& scenario,
                                             const std::string& appliance = "app1")
    {
        return std::make_unique<CSimulatorProcess>(scenario, SimulatorOptions(appliance));
    }

    CSteadyClock clock{kTimeScale};
    CScriptedOperator op;
    CPosixProcessLauncher launcher;
    CRoutePath route{true};
    char address[256] = {};
    std::uint32_t elapsedTicks = 0;
};

TEST_F(LinkDiscoveryTest, NoPresenceReplyFindsNothingAfterOneWindowAndSendsNoQuery)
{
    auto sim = Start("presence = none\n");
    EXPECT_EQ(Find(), CApplianceFinder::kNotFound);
    EXPECT_GE(elapsedTicks, CApplianceFinder::kWindowMs);
    EXPECT_LT(elapsedTicks, 2 * CApplianceFinder::kWindowMs);
    EXPECT_EQ(DatagramsReceived(*sim), std::vector<std::string>{kProbe});
    EXPECT_STREQ(address, "");
    EXPECT_TRUE(op.History().empty());
}

TEST_F(LinkDiscoveryTest, OneApplianceInTheSubnetIsFoundWithoutRoute)
{
    auto sim = Start("");
    EXPECT_EQ(Find(), CApplianceFinder::kFound);
    EXPECT_STREQ(address, "192.168.42.253");
    // The probe window always runs to its end; the query ends at its reply.
    EXPECT_GE(elapsedTicks, CApplianceFinder::kWindowMs);
    EXPECT_LT(elapsedTicks, 2 * CApplianceFinder::kWindowMs);
    EXPECT_EQ(DatagramsReceived(*sim), (std::vector<std::string>{kProbe, kQuery}));
    EXPECT_TRUE(route.Calls().empty());
    EXPECT_TRUE(op.History().empty());
}

TEST_F(LinkDiscoveryTest, TheAddressInsideTheReplyIsTheOneUsed)
{
    auto sim = Start("reply_address = 192.168.42.77\n");
    EXPECT_EQ(Find(), CApplianceFinder::kFound);
    EXPECT_STREQ(address, "192.168.42.77");
}

TEST_F(LinkDiscoveryTest, RepliesToIgnoreLeaveNothingFound)
{
    struct Case
    {
        const char* scenario;
        std::vector<std::string> datagrams;
    };
    const std::vector<Case> cases = {
        {"presence = wrong\n", {kProbe}},
        {"presence = long\n", {kProbe}},
        {"address_reply = other-sender\n", {kProbe, kQuery}},
        {"address_reply = short\n", {kProbe, kQuery}},
        {"address_reply = long\n", {kProbe, kQuery}},
        {"address_reply = none\n", {kProbe, kQuery}},
    };
    for (const Case& c : cases)
    {
        auto sim = Start(c.scenario);
        EXPECT_EQ(Find(), CApplianceFinder::kNotFound) << c.scenario;
        EXPECT_EQ(DatagramsReceived(*sim), c.datagrams) << c.scenario;
        EXPECT_TRUE(op.History().empty()) << c.scenario;
        EXPECT_TRUE(route.Calls().empty()) << c.scenario;
    }
}

TEST_F(LinkDiscoveryTest, TwoAppliancesRaiseThePromptOkStartsOverAndCancelStops)
{
    auto first = Start("");
    auto second = Start("", "app2");
    op.AnswerBox(box::kIdOk);
    op.AnswerBox(box::kIdCancel);
    EXPECT_EQ(Find(), CApplianceFinder::kStop);
    const auto boxes = op.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& shown : boxes)
    {
        EXPECT_EQ(shown.text, kTooManyText);
        EXPECT_EQ(shown.title, "Corvane upgrade utility - Too many Corvanes");
        EXPECT_EQ(shown.style, box::kOkCancel | box::kSetForeground);
    }
    // OK sent a new probe; nobody was asked for an address.
    EXPECT_EQ(DatagramsReceived(*first), (std::vector<std::string>{kProbe, kProbe}));
    EXPECT_EQ(DatagramsReceived(*second), (std::vector<std::string>{kProbe, kProbe}));
    const auto probes = first->Records("udp", "datagram");
    EXPECT_NE(probes[0].Get("from"), probes[1].Get("from"));
}

// An operator who powers the second appliance off before clicking OK at the prompt.
class CPowerOffOperator : public CScriptedOperator
{
public:
    explicit CPowerOffOperator(CSimulatorProcess& appliance) : m_appliance(appliance) {}
    int ShowMessage(const std::string& text, const std::string& title, unsigned style) override
    {
        m_appliance.Stop();
        return CScriptedOperator::ShowMessage(text, title, style);
    }

private:
    CSimulatorProcess& m_appliance;
};

TEST_F(LinkDiscoveryTest, OkAfterTheSecondApplianceWentAwayFindsTheRemainingOne)
{
    auto first = Start("");
    auto second = Start("", "app2");
    CPowerOffOperator powerOff(*second);
    powerOff.AnswerBox(box::kIdOk);
    CApplianceFinder finder(clock, powerOff, launcher);
    EXPECT_EQ(finder.FindAppliance(address, sizeof address), CApplianceFinder::kFound);
    EXPECT_EQ(powerOff.Boxes().size(), 1u);
    EXPECT_STREQ(address, "192.168.42.253");
    EXPECT_EQ(DatagramsReceived(*first), (std::vector<std::string>{kProbe, kProbe, kQuery}));
}

TEST_F(LinkDiscoveryTest, TheSameApplianceAnsweringTwiceRaisesThePrompt)
{
    auto sim = Start("presence = twice\n");
    op.AnswerBox(box::kIdCancel);
    EXPECT_EQ(Find(), CApplianceFinder::kStop);
    ASSERT_EQ(op.Boxes().size(), 1u);
    EXPECT_EQ(op.Boxes()[0].text, kTooManyText);
    EXPECT_EQ(DatagramsReceived(*sim), std::vector<std::string>{kProbe});
}

TEST_F(LinkDiscoveryTest, AnApplianceInAnotherSubnetGetsAHostRouteThroughTheGateway)
{
    auto sim = Start("gateway = 10.20.30.1\n");
    // The route program's error exit code does not matter.
    EXPECT_EQ(Find(), CApplianceFinder::kFound);
    EXPECT_STREQ(address, "192.168.42.253");
    EXPECT_EQ(route.Calls(), std::vector<std::string>{"add 192.168.42.253 10.20.30.1"});
    EXPECT_TRUE(op.History().empty());
}

TEST_F(LinkDiscoveryTest, ARouteCommandThatCannotStartShowsTheBoxAndFindsNothing)
{
    auto sim = Start("gateway = 10.20.30.1\n");
    CRoutePath noRoute(false);
    EXPECT_EQ(Find(), CApplianceFinder::kNotFound);
    // The address was written before the route was tried.
    EXPECT_STREQ(address, "192.168.42.253");
    const auto boxes = op.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kCannotStartText);
    EXPECT_EQ(boxes[0].title, "Corvane upgrade utility - Internal error");
    EXPECT_EQ(boxes[0].style, box::kSetForeground);
}
} // namespace
