// Transfer encodings, charsets and encoded words.
#include <gtest/gtest.h>

#include "core/charset.h"
#include "core/encoded_words.h"
#include "core/transfer_encoding.h"

using namespace vxmail;

TEST(Base64, RoundTripsEveryLengthAndByte) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += char(i);
    for (size_t n = 0; n <= all.size(); n += 37) {
        std::string s = all.substr(0, n);
        EXPECT_EQ(DecodeBase64(EncodeBase64(s)), s);
        EXPECT_EQ(DecodeBase64(EncodeBase64Lines(s)), s);
    }
    std::string lines = EncodeBase64Lines(all);
    for (size_t pos = 0; pos < lines.size();) {
        size_t end = lines.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - pos, 76u);
        pos = end + 2;
    }
}

TEST(Base64, DamagedInputDecodesWhatIsThere) {
    EXPECT_EQ(DecodeBase64("aGVs\r\nbG8=\r\n"), "hello");
    EXPECT_EQ(DecodeBase64("aGV*sb!G8"), "hello");            // stray characters skipped
    EXPECT_EQ(DecodeBase64("aGVsbG8"), "hello");              // padding missing
    EXPECT_EQ(DecodeBase64("aGk=aGk="), "hihi");              // concatenated encodings
    EXPECT_EQ(DecodeBase64("===="), "");
}

TEST(QuotedPrintable, DecodesSoftBreaksAndKeepsBrokenEscapes) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"caf=E9", "caf\xE9"},
        {"long=\r\nline", "longline"},
        {"long= \t\nline", "longline"},
        {"a=4", "a=4"},
        {"a=ZZb", "a=ZZb"},
        {"end=", "end"},
        {"x=3d", "x="},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeQuotedPrintable(c.in), c.out) << c.in;
    EXPECT_EQ(DecodeQuotedPrintable("a_b=5F", true), "a b_");
}

TEST(QuotedPrintable, EncodesWithinLineLimitsAndRoundTrips) {
    std::string text = "Voil\xC3\xA0 = trailing blank \r\n.dot line\r\nFrom here\r\n" + std::string(200, 'x') + "\r\nend ";
    std::string qp = EncodeQuotedPrintable(text);
    for (size_t pos = 0; pos < qp.size();) {
        size_t end = qp.find("\r\n", pos);
        if (end == std::string::npos) end = qp.size();
        EXPECT_LE(end - pos, 76u);
        EXPECT_NE(qp[pos], '.');
        pos = end + 2;
    }
    EXPECT_EQ(qp.find(" \r\n"), std::string::npos);
    EXPECT_EQ(DecodeQuotedPrintable(qp), text);
}

TEST(Charset, ConvertsCommonSetsToUtf8) {
    struct Case { const char* charset; std::string in; std::string out; } cases[] = {
        {"iso-8859-1", "caf\xE9", "caf\xC3\xA9"},
        {"ISO-8859-15", "\xA4", "\xE2\x82\xAC"},
        {"windows-1252", "\x93q\x94", "\xE2\x80\x9Cq\xE2\x80\x9D"},
        {"utf-8", "\xC3\xA9", "\xC3\xA9"},
        {"us-ascii", "plain", "plain"},
        {"\"UTF-8\"", "\xC3\xA9", "\xC3\xA9"},
        {"utf-8", "caf\xE9", "caf\xC3\xA9"},          // mislabelled Latin-1
        {"x-unknown", "\xC3\xA9", "\xC3\xA9"},        // unknown but valid UTF-8
        {"", "\xE9", "\xC3\xA9"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToUtf8(c.charset, c.in), c.out) << c.charset;
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));   // surrogate
    EXPECT_FALSE(IsValidUtf8("\xC3"));
}

TEST(EncodedWords, DecodesRfc2047Forms) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"=?utf-8?q?J=C3=BCrgen_M=C3=BCller?=", "J\xC3\xBCrgen M\xC3\xBCller"},
        {"=?ISO-8859-1?B?Y2Fm6Q==?=", "caf\xC3\xA9"},
        {"=?utf-8?q?a?= =?utf-8?q?b?=", "ab"},                 // blank between words dropped
        {"=?utf-8?q?a?=\r\n =?utf-8?q?b?=", "ab"},
        {"x =?utf-8?q?a?= y", "x a y"},
        {"=?utf-8*en?q?lang?=", "lang"},
        {"=?utf-8?x?bad?=", "=?utf-8?x?bad?="},                 // unknown encoding kept
        {"=?utf-8?q?open", "=?utf-8?q?open"},
        {"Gr\xC3\xBC\xC3\x9F" "e", "Gr\xC3\xBC\xC3\x9F" "e"},   // raw UTF-8
        {"caf\xE9", "caf\xC3\xA9"},                              // raw Latin-1
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeHeaderText(c.in), c.out) << c.in;
}

TEST(EncodedWords, EncodesOnlyWhatNeedsItWithinLineLimits) {
    EXPECT_EQ(EncodeHeaderText("Plain subject", 9), "Plain subject");
    std::string umlauts;
    for (int i = 0; i < 40; ++i) umlauts += "\xC3\xBC ";
    std::string enc = EncodeHeaderText(umlauts, 9);
    EXPECT_EQ(DecodeHeaderText(enc), umlauts.substr(0, umlauts.size()));
    size_t start = 0;
    while (start < enc.size()) {
        size_t end = enc.find("\r\n", start);
        if (end == std::string::npos) end = enc.size();
        EXPECT_LE(end - start + (start == 0 ? 9 : 0), 78u);
        start = end + 2;
    }
    EXPECT_EQ(EncodeDisplayName("Smith, Anna"), "\"Smith, Anna\"");
    EXPECT_EQ(DecodeHeaderText(EncodeDisplayName("J\xC3\xBCrgen")), "J\xC3\xBCrgen");
    // A literal "=?" must not be read back as an encoded word.
    EXPECT_EQ(DecodeHeaderText(EncodeHeaderText("=?utf-8?q?x?=", 0)), "=?utf-8?q?x?=");
}
