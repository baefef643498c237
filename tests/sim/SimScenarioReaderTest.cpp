#include "sim/CScenario.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(ScenarioReaderTest, EmptyTextGivesTheHealthyDefaults)
{
    CScenario scenario;
    CScenarioReader reader;
    ASSERT_TRUE(reader.Read("", scenario));
    EXPECT_EQ(scenario.version, "4.2.1");
    EXPECT_TRUE(scenario.greetingLogin);
    EXPECT_EQ(scenario.user, "admin");
    EXPECT_EQ(scenario.password, "corvane");
    EXPECT_EQ(scenario.presence, CScenario::Presence::Normal);
    EXPECT_EQ(scenario.addressReply, CScenario::AddressReply::Normal);
    EXPECT_TRUE(scenario.welcomePresent);
    EXPECT_FALSE(scenario.hasVerReply);
}

TEST(ScenarioReaderTest, ReadsEveryKindOfValue)
{
    const std::string text = "# a comment\n"
                             "\n"
                             "version = 4.3.0 beta\n"
                             "version_after=5.0\r\n"
                             "greeting_login = no\n"
                             "user = root\n"
                             "password = s3cret word\n"
                             "refuse_logins = 2\n"
                             "single_byte_reply = both\n"
                             "zero_byte_chunk = ver, ls\n"
                             "huge_reply = all\n"
                             "huge_reply_bytes = 9000\n"
                             "drop_at_command = 12\n"
                             "fail_on = wdb\n"
                             "down_seconds = 2.5\n"
                             "never_back = yes\n"
                             "welcome = missing\n"
                             "ver_reply = \\r\\nver The version\\x21\\r\\n>\n"
                             "presence = twice\n"
                             "address_reply = other-sender\n"
                             "reply_address = 10.0.0.7\n"
                             "gateway = 10.0.0.1\n"
                             "ftp_refuse_store = cui.tar\n"
                             "ftp_drop_transfer = all\n";
    CScenario s;
    CScenarioReader reader;
    ASSERT_TRUE(reader.Read(text, s)) << (reader.Errors().empty() ? "" : reader.Errors()[0]);
    EXPECT_EQ(s.version, "4.3.0 beta");
    EXPECT_EQ(s.versionAfter, "5.0");
    EXPECT_FALSE(s.greetingLogin);
    EXPECT_EQ(s.user, "root");
    EXPECT_EQ(s.password, "s3cret word");
    EXPECT_EQ(s.refuseLogins, 2);
    EXPECT_EQ(s.singleByteReply, CScenario::SingleByte::Both);
    EXPECT_TRUE(s.zeroByteChunk.MatchesPrefixOf("ver"));
    EXPECT_TRUE(s.zeroByteChunk.MatchesPrefixOf("ls welcome.msg"));
    EXPECT_FALSE(s.zeroByteChunk.MatchesPrefixOf("cdb general"));
    EXPECT_TRUE(s.hugeReply.MatchesPrefixOf("anything"));
    EXPECT_EQ(s.hugeReplyBytes, 9000);
    EXPECT_EQ(s.dropAtCommand, 12);
    EXPECT_EQ(s.failOn, "wdb");
    EXPECT_DOUBLE_EQ(s.downSeconds, 2.5);
    EXPECT_TRUE(s.neverBack);
    EXPECT_FALSE(s.welcomePresent);
    EXPECT_TRUE(s.hasVerReply);
    EXPECT_EQ(s.verReply, "\r\nver The version!\r\n>");
    EXPECT_EQ(s.presence, CScenario::Presence::Twice);
    EXPECT_EQ(s.addressReply, CScenario::AddressReply::OtherSender);
    EXPECT_EQ(s.replyAddress, "10.0.0.7");
    EXPECT_EQ(s.gateway, "10.0.0.1");
    EXPECT_TRUE(s.ftpRefuseStore.MatchesName("cui.tar"));
    EXPECT_FALSE(s.ftpRefuseStore.MatchesName("corvane.sys"));
    EXPECT_TRUE(s.ftpDropTransfer.MatchesName("corvane.sys"));
}

struct CBadCase
{
    std::string text;
    std::string error;
};

class ScenarioReaderErrorTest : public ::testing::TestWithParam<CBadCase>
{
};

TEST_P(ScenarioReaderErrorTest, RefusesMalformedInputWithItsLine)
{
    CScenario scenario;
    CScenarioReader reader;
    EXPECT_FALSE(reader.Read(GetParam().text, scenario));
    ASSERT_FALSE(reader.Errors().empty());
    EXPECT_NE(reader.Errors()[0].find(GetParam().error), std::string::npos) << reader.Errors()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ScenarioReaderErrorTest,
    ::testing::Values(CBadCase{"no equals sign\n", "line 1: expected"},
                      CBadCase{"\nvesion = 1\n", "line 2: unknown key 'vesion'"},
                      CBadCase{"refuse_logins = many\n", "bad value"},
                      CBadCase{"refuse_logins = -1\n", "bad value"},
                      CBadCase{"refuse_logins = 99999999999999999999\n", "bad value"},
                      CBadCase{"down_seconds = nan\n", "bad value"},
                      CBadCase{"down_seconds = 1e9\n", "bad value"},
                      CBadCase{"greeting_login = perhaps\n", "bad value"},
                      CBadCase{"presence = sometimes\n", "bad value"},
                      CBadCase{"gateway = 300.1.1.1\n", "bad value"},
                      CBadCase{"mask = auto\n", "bad value"},
                      CBadCase{"ver_reply = ends in \\\n", "bad value"},
                      CBadCase{"ver_reply = \\x4\n", "bad value"},
                      CBadCase{"ver_reply = \\q\n", "bad value"},
                      CBadCase{"huge_reply_bytes = 2000000\n", "bad value"},
                      CBadCase{"zero_byte_chunk = ver,,ls\n", "bad value"},
                      CBadCase{std::string("version = 1\0\n", 13), "zero byte"},
                      CBadCase{"version = " + std::string(5000, 'x') + "\n", "line too long"},
                      CBadCase{"\x7f\x45\x4c\x46\x02\x01\x01\xff\xfe\n", "expected"}));

TEST(ScenarioReaderTest, ReportsEveryBadLine)
{
    CScenario scenario;
    CScenarioReader reader;
    EXPECT_FALSE(reader.Read("a = 1\nversion = ok\nb = 2\n", scenario));
    ASSERT_EQ(reader.Errors().size(), 2u);
    EXPECT_NE(reader.Errors()[1].find("line 3"), std::string::npos);
}

TEST(ScenarioReaderTest, SurvivesBinaryJunk)
{
    std::string junk;
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i)
    {
        state = state * 1103515245 + 12345;
        junk += static_cast<char>(state >> 16);
    }
    CScenario scenario;
    CScenarioReader reader;
    EXPECT_FALSE(reader.Read(junk, scenario));
    EXPECT_FALSE(reader.Errors().empty());
    EXPECT_EQ(scenario.version, "4.2.1");
}
} // namespace
