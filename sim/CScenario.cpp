#include "sim/CScenario.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace
{
std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseInt(const std::string& value, int low, int high, int& out)
{
    if (value.empty() || value.size() > 12)
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(value.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    out = static_cast<int>(parsed);
    return true;
}

bool ParseSeconds(const std::string& value, double& out)
{
    if (value.empty() || value.size() > 20)
        return false;
    char* end = nullptr;
    const double parsed = std::strtod(value.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed < 0 || parsed > 86400)
        return false;
    out = parsed;
    return true;
}

bool ParseYesNo(const std::string& value, bool& out)
{
    if (value == "yes" || value == "true" || value == "1")
        out = true;
    else if (value == "no" || value == "false" || value == "0")
        out = false;
    else
        return false;
    return true;
}

bool IsAddressOrAuto(const std::string& value)
{
    in_addr address{};
    return value == "auto" || inet_pton(AF_INET, value.c_str(), &address) == 1;
}

bool IsAddress(const std::string& value)
{
    in_addr address{};
    return inet_pton(AF_INET, value.c_str(), &address) == 1;
}

// none | all | a comma-separated list of items (prefixes of commands or exact file names).
bool ParseMatch(const std::string& value, CScenarioMatch& out)
{
    out = CScenarioMatch();
    if (value == "none" || value.empty())
        return true;
    if (value == "all")
    {
        out.mode = CScenarioMatch::Mode::All;
        return true;
    }
    out.mode = CScenarioMatch::Mode::Some;
    std::string::size_type start = 0;
    while (start <= value.size())
    {
        const auto comma = value.find(',', start);
        const std::string item = Trim(
            value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (item.empty())
            return false;
        out.items.push_back(item);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return true;
}

template <typename Enum>
bool ParseChoice(const std::string& value, const std::map<std::string, Enum>& choices, Enum& out)
{
    const auto found = choices.find(value);
    if (found == choices.end())
        return false;
    out = found->second;
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

bool CScenarioMatch::MatchesPrefixOf(const std::string& text) const
{
    if (mode == Mode::All)
        return true;
    for (const auto& item : items)
        if (text.compare(0, item.size(), item) == 0)
            return true;
    return false;
}

bool CScenarioMatch::MatchesName(const std::string& name) const
{
    if (mode == Mode::All)
        return true;
    for (const auto& item : items)
        if (item == name)
            return true;
    return false;
}

bool CScenarioReader::Unescape(const std::string& value, std::string& bytes)
{
    bytes.clear();
    for (std::size_t i = 0; i < value.size(); ++i)
    {
        if (value[i] != '\\')
        {
            bytes += value[i];
            continue;
        }
        if (++i == value.size())
            return false;
        switch (value[i])
        {
        case 'r':
            bytes += '\r';
            break;
        case 'n':
            bytes += '\n';
            break;
        case 't':
            bytes += '\t';
            break;
        case '\\':
            bytes += '\\';
            break;
        case 'x':
        {
            if (i + 2 >= value.size())
                return false;
            const int high = HexDigit(value[i + 1]);
            const int low = HexDigit(value[i + 2]);
            if (high < 0 || low < 0)
                return false;
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

bool CScenarioReader::Read(const std::string& text, CScenario& scenario)
{
    m_errors.clear();
    m_lineNumber = 0;
    std::string::size_type start = 0;
    while (start < text.size())
    {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++m_lineNumber;
        ReadLine(text.substr(start, end - start), scenario);
        start = end + 1;
    }
    return m_errors.empty();
}

bool CScenarioReader::ReadLine(const std::string& line, CScenario& scenario)
{
    auto fail = [this](const std::string& what)
    {
        m_errors.push_back("line " + std::to_string(m_lineNumber) + ": " + what);
        return false;
    };
    if (line.size() > kMaxLineLength)
        return fail("line too long");
    if (line.find('\0') != std::string::npos)
        return fail("zero byte in line");
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#')
        return true;
    const auto equals = trimmed.find('=');
    if (equals == std::string::npos)
        return fail("expected 'key = value'");
    const std::string key = Trim(trimmed.substr(0, equals));
    const std::string value = Trim(trimmed.substr(equals + 1));
    switch (Apply(key, value, scenario))
    {
    case Outcome::UnknownKey:
        return fail("unknown key '" + key + "'");
    case Outcome::BadValue:
        return fail("bad value '" + value + "' for key '" + key + "'");
    case Outcome::Applied:
        break;
    }
    return true;
}

CScenarioReader::Outcome CScenarioReader::Apply(const std::string& key, const std::string& value,
                                                CScenario& s)
{
    using Setter = std::function<bool(const std::string&, CScenario&)>;
    auto text = [](std::string CScenario::*field) -> Setter
    { return [field](const std::string& v, CScenario& sc) { return Unescape(v, sc.*field); }; };
    auto number = [](int CScenario::*field, int low, int high) -> Setter {
        return [=](const std::string& v, CScenario& sc)
        { return ParseInt(v, low, high, sc.*field); };
    };
    auto flag = [](bool CScenario::*field) -> Setter
    { return [field](const std::string& v, CScenario& sc) { return ParseYesNo(v, sc.*field); }; };
    auto match = [](CScenarioMatch CScenario::*field) -> Setter
    { return [field](const std::string& v, CScenario& sc) { return ParseMatch(v, sc.*field); }; };
    auto address = [](std::string CScenario::*field, bool allowAuto) -> Setter
    {
        return [=](const std::string& v, CScenario& sc)
        {
            if (!(allowAuto ? IsAddressOrAuto(v) : IsAddress(v)))
                return false;
            sc.*field = v;
            return true;
        };
    };
    constexpr int kMaxMs = 3600 * 1000;
    static const std::map<std::string, Setter> setters = {
        {"version", text(&CScenario::version)},
        {"version_after", text(&CScenario::versionAfter)},
        {"greeting_login", flag(&CScenario::greetingLogin)},
        {"greeting", text(&CScenario::greeting)},
        {"user", text(&CScenario::user)},
        {"password", text(&CScenario::password)},
        {"refuse_logins", number(&CScenario::refuseLogins, 0, 1000)},
        {"single_byte_reply",
         [](const std::string& v, CScenario& sc)
         {
             return ParseChoice<CScenario::SingleByte>(
                 v,
                 {{"none", CScenario::SingleByte::None},
                  {"username", CScenario::SingleByte::UserName},
                  {"password", CScenario::SingleByte::Password},
                  {"both", CScenario::SingleByte::Both}},
                 sc.singleByteReply);
         }},
        {"single_byte_delay_ms", number(&CScenario::singleByteDelayMs, 0, kMaxMs)},
        {"zero_byte_chunk", match(&CScenario::zeroByteChunk)},
        {"drop_at_command", number(&CScenario::dropAtCommand, 0, 1000000)},
        {"drop_on", text(&CScenario::dropOn)},
        {"fail_command", number(&CScenario::failCommand, 0, 1000000)},
        {"fail_on", text(&CScenario::failOn)},
        {"slow_reply_ms", number(&CScenario::slowReplyMs, 0, kMaxMs)},
        {"huge_reply", match(&CScenario::hugeReply)},
        {"huge_reply_bytes", number(&CScenario::hugeReplyBytes, 1, kMaxHugeReplyBytes)},
        {"down_seconds",
         [](const std::string& v, CScenario& sc) { return ParseSeconds(v, sc.downSeconds); }},
        {"never_back", flag(&CScenario::neverBack)},
        {"welcome",
         [](const std::string& v, CScenario& sc) {
             return ParseChoice<bool>(v, {{"present", true}, {"missing", false}},
                                      sc.welcomePresent);
         }},
        {"ver_reply",
         [](const std::string& v, CScenario& sc)
         {
             sc.hasVerReply = true;
             return Unescape(v, sc.verReply);
         }},
        {"presence",
         [](const std::string& v, CScenario& sc)
         {
             return ParseChoice<CScenario::Presence>(v,
                                                     {{"normal", CScenario::Presence::Normal},
                                                      {"none", CScenario::Presence::None},
                                                      {"twice", CScenario::Presence::Twice},
                                                      {"wrong", CScenario::Presence::Wrong},
                                                      {"long", CScenario::Presence::Long}},
                                                     sc.presence);
         }},
        {"address_reply",
         [](const std::string& v, CScenario& sc)
         {
             return ParseChoice<CScenario::AddressReply>(
                 v,
                 {{"normal", CScenario::AddressReply::Normal},
                  {"none", CScenario::AddressReply::None},
                  {"short", CScenario::AddressReply::Short},
                  {"long", CScenario::AddressReply::Long},
                  {"other-sender", CScenario::AddressReply::OtherSender}},
                 sc.addressReply);
         }},
        {"reply_address", address(&CScenario::replyAddress, true)},
        {"gateway", address(&CScenario::gateway, false)},
        {"mask", address(&CScenario::mask, false)},
        {"other_sender", address(&CScenario::otherSender, true)},
        {"ftp_refuse_store", match(&CScenario::ftpRefuseStore)},
        {"ftp_drop_transfer", match(&CScenario::ftpDropTransfer)},
    };
    const auto setter = setters.find(key);
    if (setter == setters.end())
        return Outcome::UnknownKey;
    return setter->second(value, s) ? Outcome::Applied : Outcome::BadValue;
}
