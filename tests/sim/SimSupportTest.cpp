#include "sim/CApplianceDatabase.h"
#include "sim/CImageVersion.h"
#include "sim/CJsonLine.h"
#include "sim/CSha256.h"
#include "tests/support/CTranscriptRecord.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{
std::string Sha(const std::string& text)
{
    CSha256 hash;
    hash.Update(text.data(), text.size());
    return hash.FinishHex();
}

TEST(Sha256Test, MatchesThePublishedVectors)
{
    EXPECT_EQ(Sha(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256Test, PiecesGiveTheSameDigestAsOneUpdate)
{
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += static_cast<char>(i * 7);
    for (std::size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 999u})
    {
        CSha256 hash;
        for (std::size_t at = 0; at < text.size(); at += piece)
            hash.Update(text.data() + at, std::min(piece, text.size() - at));
        EXPECT_EQ(hash.FinishHex(), Sha(text)) << piece;
    }
}

TEST(TranscriptTextTest, EveryByteRoundTripsThroughTheRecordReader)
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    const std::string line =
        CJsonLine().Text("service", "cmd").Text("text", all).Number("conn", -3).Line();
    for (unsigned char c : line)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << int(c);
    CTranscriptRecord record;
    ASSERT_TRUE(CTranscriptRecord::Parse(line, record));
    EXPECT_EQ(record.Text(), all);
    EXPECT_EQ(record.Service(), "cmd");
    EXPECT_EQ(record.Connection(), -3);
}

TEST(TranscriptTextTest, RecordReaderRefusesBrokenLines)
{
    CTranscriptRecord record;
    for (const char* line : {"", "{", "{\"a\":}", "{\"a\" 1}", "{\"a\":\"x}", "[1]",
                             "{\"a\":1} trailing", "{\"a\":\"\\u12\"}", "{\"a\":\"\\q\"}"})
        EXPECT_FALSE(CTranscriptRecord::Parse(line, record)) << line;
    ASSERT_TRUE(CTranscriptRecord::Parse("{}", record));
    ASSERT_TRUE(CTranscriptRecord::Parse("{\"t\":1.5,\"ok\":true,\"s\":\"a\\/b\\n\"}", record));
    EXPECT_TRUE(record.Flag("ok"));
    EXPECT_EQ(record.Get("s"), "a/b\n");
    EXPECT_EQ(record.Get("missing"), "");
}

struct CImageCase
{
    std::string head;
    bool named;
    std::string version;
};

class ImageVersionTest : public ::testing::TestWithParam<CImageCase>
{
};

TEST_P(ImageVersionTest, ReadsTheVersionHeader)
{
    std::string version = "unchanged";
    EXPECT_EQ(CImageVersion::Parse(GetParam().head, version), GetParam().named);
    if (GetParam().named)
    {
        EXPECT_EQ(version, GetParam().version);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Heads, ImageVersionTest,
    ::testing::Values(CImageCase{"CORVANE-SYSTEM-IMAGE\nVersion: 4.3.0\n\n\x7f\x01", true, "4.3.0"},
                      CImageCase{"CORVANE-SYSTEM-IMAGE\r\nBuilt: x\r\nVersion:  5.0 beta  \r\n\r\n",
                                 true, "5.0 beta"},
                      CImageCase{"CORVANE-SYSTEM-IMAGE\n\nVersion: 4.3.0\n", false, ""},
                      CImageCase{"corvane-system-image\nVersion: 4.3.0\n\n", false, ""},
                      CImageCase{"CORVANE-SYSTEM-IMAGE\nVersion:\n\n", false, ""},
                      CImageCase{"CORVANE-SYSTEM-IMAGE\nVersion: 4\x01\n\n", false, ""},
                      CImageCase{"CORVANE-SYSTEM-IMAGE\nVersion: 4.3.0", false, ""},
                      CImageCase{"CORVANE-SYSTEM-IMAGE\n" + std::string(5000, 'x') +
                                     "\nVersion: 1\n\n",
                                 false, ""},
                      CImageCase{"", false, ""}));

TEST(ApplianceDatabaseTest, SaveAndLoadKeepEveryVariable)
{
    CApplianceDatabase database;
    database.Set("system", "alertdata", "/etc/admin/open/alerts.shtml");
    database.Set("system", "NewUserGreeting", "Welcome to Corvane!");
    char path[] = "/tmp/sim-db.XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_TRUE(database.Save(path));
    CApplianceDatabase loaded;
    ASSERT_TRUE(loaded.Load(path));
    std::remove(path);
    EXPECT_EQ(loaded.Variables(), database.Variables());
}

TEST(ApplianceDatabaseTest, MalformedLinesOfTheFileAreSkipped)
{
    CApplianceDatabase database;
    EXPECT_EQ(database.Parse("system mailcheck 0\nlonely\n\xff\xfe bad\nsmtp QueueSize 4\n"), 2);
    EXPECT_EQ(database.Variables().size(), 2u);
}
} // namespace
