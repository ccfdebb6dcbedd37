// Whole ZLComp streams: the exact bytes the compressor writes, round trips
// over a table of inputs, the header rules, corrupt streams and threads.
#include <gtest/gtest.h>

#include <thread>

#include "zlcomp_core.h"
#include "zlcomp_test_data.h"

using namespace zlcomp;
using namespace zlcomp_test;

namespace {

Bytes Header(uint8_t method)
{
    Bytes b = FromString("ZLComp");
    b.push_back(method);
    return b;
}

} // namespace

TEST(ZLCompStream, ExactBytesOfSmallInputs)
{
    EXPECT_EQ(Compress(Bytes{}), Concat(Header(0x42), {0x00, 0x02}));
    EXPECT_EQ(Compress(FromString("abc")),
              Concat(Header(0x42), {0x3f, 0x00, 0x7f, 0x24, 0x34, 0x91, 0x84, 0x09, 0x3f, 0x2c, 0x3b,
                                    0xf8, 0x3f, 0xb7, 0x02}));
    Bytes out;
    EXPECT_TRUE(Decompress(Concat(Header(0x42), {0x00, 0x02}), out));
    EXPECT_TRUE(out.empty());
}

TEST(ZLCompStream, RoundTripsEveryKindOfInput)
{
    struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"empty", {}},
        {"one byte", {0x41}},
        {"one zero byte", {0x00}},
        {"one 0xff byte", {0xff}},
        {"all byte values", AllByteValues(3)},
        {"run of 257", Repeat(257, 'a')},
        {"run of 258", Repeat(258, 'a')},
        {"long run of zeros", Repeat(300000, 0)},
        {"long run of 0xff", Repeat(200000, 0xff)},
        {"runs of every value", [] {
             Bytes b;
             for (int c = 0; c < 256; ++c)
                 b.insert(b.end(), 100 + c * 3, static_cast<uint8_t>(c));
             return b;
         }()},
        {"random", RandomBytes(100000, 11)},
        {"two-letter text", RandomText(100000, 12, 2)},
        {"words", WordText(150000, 13)},
        {"block boundary - 1", RandomBytes(65535, 14)},
        {"block boundary", RandomBytes(65536, 15)},
        {"block boundary + 1", RandomBytes(65537, 16)},
        {"several blocks", Concat(WordText(200000, 17), RandomBytes(70000, 18))},
        {"periodic", [] {
             Bytes b;
             for (int i = 0; i < 200000; ++i)
                 b.push_back("abcdefg"[i % 7]);
             return b;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes stream = Compress(c.data);
        ASSERT_GE(stream.size(), 9u);
        EXPECT_EQ(Bytes(stream.begin(), stream.begin() + 7), Header(0x42));
        Bytes back;
        EXPECT_TRUE(Decompress(stream, back));
        EXPECT_TRUE(back == c.data) << "sizes " << back.size() << " " << c.data.size();
    }
}

TEST(ZLCompStream, RepetitiveDataCompressesWell)
{
    EXPECT_LT(Compress(Repeat(300000, 0)).size(), 200u);
    EXPECT_LT(Compress(WordText(150000, 13)).size(), 150000u / 8);
}

TEST(ZLCompStream, DataWithoutCompleteHeaderIsStored)
{
    const Bytes inputs[] = {
        {},
        FromString("Z"),
        FromString("ZLComp"),  // the signature without a method byte
        FromString("ZLCom"),
        FromString("zlcompB payload"),
        FromString("plain text, not a stream"),
        RandomBytes(1000, 3),
    };
    for (const auto& in : inputs) {
        Bytes out = FromString("kept:");
        EXPECT_TRUE(Decompress(in, out));
        EXPECT_EQ(out, Concat(FromString("kept:"), in));
    }
}

TEST(ZLCompStream, MethodByteSelectsTheStages)
{
    struct Case {
        const char* name;
        Bytes stream;
        Bytes data;
    } cases[] = {
        // Data that starts with the signature is taken for a stream.
        {"run-length", Concat(Header('R'), {0x61, 0x61, 0x02, 0x62}), FromString("aaaab")},
        {"move-to-front", Concat(Header('M'), {0x61, 0x00, 0x62}), FromString("aab")},
        {"arithmetic", [] {
             Bytes b = Header('A');
             ArithEncode(FromString("arith only"), b);
             return b;
         }(),
         FromString("arith only")},
        // Method 0 holds stored data, which is checked for a header once more.
        {"stored", Concat(Header(0), FromString("as is")), FromString("as is")},
        {"stored with inner header", Concat(Header(0), Concat(Header('X'), FromString("tail"))),
         FromString("tail")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out;
        EXPECT_TRUE(Decompress(c.stream, out));
        EXPECT_EQ(out, c.data);
    }
}

TEST(ZLCompStream, UnknownMethodDecodesNothingAndFails)
{
    for (uint8_t method : {uint8_t{0x01}, uint8_t{0x43}, uint8_t{0x62}, uint8_t{0xC2}, uint8_t{0xff}}) {
        Bytes out = FromString("before");
        EXPECT_FALSE(Decompress(Concat(Header(method), FromString("payload")), out));
        EXPECT_EQ(out, FromString("before"));
    }
}

TEST(ZLCompStream, TruncatedStreamFailsWithoutEndingTheProcess)
{
    const Bytes data = WordText(100000, 21);
    const Bytes stream = Compress(data);
    // Cut anywhere: either the cut only lost bits that decode the same, or
    // the result says the stream is corrupt. Never a crash, never a hang.
    for (size_t keep = 7; keep < stream.size(); keep += 1 + keep / 8) {
        Bytes out;
        const bool ok = Decompress(Bytes(stream.begin(), stream.begin() + keep), out);
        if (stream.size() - keep > 2) {
            EXPECT_FALSE(ok) << "kept " << keep << " of " << stream.size();
        } else if (ok) {
            EXPECT_EQ(out, data);
        }
    }
}

TEST(ZLCompStream, CorruptPayloadIsReported)
{
    const Bytes data = WordText(30000, 22);
    const Bytes stream = Compress(data);
    int reported = 0;
    for (size_t at = 7; at < stream.size(); at += 97) {
        Bytes bad = stream;
        bad[at] ^= 0x5A;
        Bytes out;
        if (!Decompress(bad, out))
            ++reported;
        else
            EXPECT_NE(out, data) << "a changed byte at " << at << " decoded the same";
    }
    EXPECT_GT(reported, 0);
}

TEST(ZLCompStream, LimitBoundsTheDecodedSize)
{
    const Bytes stream = Compress(Repeat(1000000, 'z'));
    Bytes out;
    EXPECT_FALSE(Decompress(stream, out, 100000));
    EXPECT_LE(out.size(), 100000u);
    out.clear();
    EXPECT_TRUE(Decompress(stream, out, 2000000));
    EXPECT_EQ(out.size(), 1000000u);
}

TEST(ZLCompStream, ThreadsDecompressAtTheSameTime)
{
    // Each call has its own stage tables: two threads must not disturb each other.
    const Bytes a = WordText(150000, 31);
    const Bytes b = Concat(RandomBytes(80000, 32), Repeat(50000, 7));
    const Bytes sa = Compress(a);
    const Bytes sb = Compress(b);
    bool okA = true, okB = true;
    auto worker = [](const Bytes& stream, const Bytes& expected, bool& ok) {
        for (int i = 0; i < 6 && ok; ++i) {
            Bytes out;
            ok = Decompress(stream, out) && out == expected;
            ok = ok && Compress(expected) == stream;
        }
    };
    std::thread t1(worker, std::cref(sa), std::cref(a), std::ref(okA));
    std::thread t2(worker, std::cref(sb), std::cref(b), std::ref(okB));
    t1.join();
    t2.join();
    EXPECT_TRUE(okA);
    EXPECT_TRUE(okB);
}
