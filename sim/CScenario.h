#pragma once
#include <set>
#include <string>
#include <vector>

// Which commands (or file names) a fault applies to: none, every one, or those whose text begins
// with a given prefix (for file names: one of a list of exact names).
struct CScenarioMatch
{
    enum class Mode
    {
        None,
        All,
        Some
    };
    Mode mode = Mode::None;
    std::vector<std::string> items;

    bool MatchesPrefixOf(const std::string& text) const;
    bool MatchesName(const std::string& name) const;
};

// How the simulated appliance behaves in one run. Defaults describe a healthy appliance that asks
// for a login; README.md lists every key.
struct CScenario
{
    enum class SingleByte
    {
        None,
        UserName,
        Password,
        Both
    };
    enum class Presence
    {
        Normal,
        None,
        Twice,
        Wrong,
        Long
    };
    enum class AddressReply
    {
        Normal,
        None,
        Short,
        Long,
        OtherSender
    };

    std::string version = "4.2.1";
    std::string versionAfter; // empty: the version named by the received image
    bool greetingLogin = true;
    std::string greeting; // empty: the standard greeting for greetingLogin
    std::string user = "admin";
    std::string password = "corvane";
    int refuseLogins = 0;
    SingleByte singleByteReply = SingleByte::None;
    int singleByteDelayMs = 4000;
    CScenarioMatch zeroByteChunk;
    int dropAtCommand = 0;
    std::string dropOn;
    int failCommand = 0;
    std::string failOn;
    int slowReplyMs = 0;
    CScenarioMatch hugeReply;
    int hugeReplyBytes = 4000;
    double downSeconds = 30;
    bool neverBack = false;
    bool welcomePresent = true;
    bool hasVerReply = false;
    std::string verReply;
    Presence presence = Presence::Normal;
    AddressReply addressReply = AddressReply::Normal;
    std::string replyAddress = "auto";
    std::string gateway = "192.168.42.1";
    std::string mask = "255.255.255.0";
    std::string otherSender = "auto";
    CScenarioMatch ftpRefuseStore;
    CScenarioMatch ftpDropTransfer;
};

// Reads the scenario text: "key = value" lines, '#' comments, blank lines. Values of text keys may
// use the escapes \r \n \t \\ \xHH. Every fault is reported with its line number.
class CScenarioReader
{
public:
    static constexpr std::size_t kMaxLineLength = 4096;
    static constexpr int kMaxHugeReplyBytes = 1 << 20;

    bool Read(const std::string& text, CScenario& scenario);
    const std::vector<std::string>& Errors() const { return m_errors; }

    static bool Unescape(const std::string& value, std::string& bytes);

private:
    bool ReadLine(const std::string& line, CScenario& scenario);
    enum class Outcome
    {
        Applied,
        UnknownKey,
        BadValue
    };
    Outcome Apply(const std::string& key, const std::string& value, CScenario& scenario);

    std::vector<std::string> m_errors;
    int m_lineNumber = 0;
};
