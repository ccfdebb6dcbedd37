// The compressor's stages one by one: byte-exact codes and the decoders'
// handling of input that no encoder wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "zlcomp_core.h"
#include "zlcomp_test_data.h"

using namespace zlcomp;
using namespace zlcomp_test;

namespace {

Bytes Rle(const Bytes& in)
{
    Bytes out;
    const size_t written = RLEEncode(in, out);
    EXPECT_EQ(written, out.size());
    return out;
}

Bytes UnRle(const Bytes& in)
{
    Bytes out;
    EXPECT_TRUE(RLEDecode(in, out));
    return out;
}

void PutU32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetU32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

} // namespace

TEST(RunLength, CodesRunsAsByteByteCount)
{
    struct Case {
        Bytes data;
        Bytes code;
    } cases[] = {
        {{}, {}},
        // The byte before the first counts as 0x00.
        {{0x00}, {0x00, 0x00}},
        {{0x00, 0x00, 0x00}, {0x00, 0x02}},
        {FromString("aa"), {0x61, 0x61, 0x00}},
        {FromString("aab"), {0x61, 0x61, 0x00, 0x62}},
        {FromString("abc"), FromString("abc")},
        {Repeat(257, 'a'), {0x61, 0x61, 0xff}},
        // The 258th byte is a literal equal to the repeated byte: a count follows.
        {Repeat(258, 'a'), {0x61, 0x61, 0xff, 0x61, 0x00}},
        {Concat(Repeat(257, 'a'), FromString("b")), {0x61, 0x61, 0xff, 0x62}},
        // A literal after a run is compared with nothing: "bb" after "aa" + 'b'.
        {FromString("aabb"), {0x61, 0x61, 0x00, 0x62, 0x62, 0x00}},
        {FromString("aaab"), {0x61, 0x61, 0x01, 0x62}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Rle(c.data), c.code);
        EXPECT_EQ(UnRle(c.code), c.data);
    }
}

TEST(RunLength, DecoderTakesMissingCountAsZeroAndHonoursLimit)
{
    EXPECT_EQ(UnRle({0x61, 0x61}), FromString("aa"));
    EXPECT_EQ(UnRle({0x00}), Bytes{0x00});
    Bytes out;
    EXPECT_FALSE(RLEDecode(Bytes{0x61, 0x61, 0xff}, out, 100));
    EXPECT_LE(out.size(), 100u);
    out.clear();
    EXPECT_TRUE(RLEDecode(Bytes{0x61, 0x61, 0xff}, out, 257));
    EXPECT_EQ(out.size(), 257u);
}

TEST(RunLength, BoundedDecodingKeepsThePrefixAfterWhatOutHeld)
{
    // Codes that expand far beyond their size (the output grows while it is
    // written) and plain ones; every bound around the full size keeps
    // exactly the leading bytes, after what `out` already held.
    Bytes longRuns;
    for (int i = 0; i < 300; ++i)
        longRuns.insert(longRuns.end(), {static_cast<uint8_t>('a' + i % 3), static_cast<uint8_t>('a' + i % 3), 0xff});
    Bytes text;
    RLEEncode(WordText(20000, 5), text);
    Bytes mixed;
    RLEEncode(Concat(Repeat(5000, 'x'), RandomBytes(3000, 6)), mixed);
    for (const Bytes& code : {longRuns, text, mixed}) {
        const Bytes full = UnRle(code);
        for (const size_t limit : {size_t{0}, size_t{1}, size_t{7}, size_t{100}, full.size() / 2,
                                   full.size() - 1, full.size(), full.size() + 1}) {
            const Bytes held = FromString("held");
            Bytes out = held;
            const bool ok = RLEDecode(code, out, limit);
            EXPECT_EQ(ok, limit >= full.size()) << limit;
            const size_t kept = std::min(limit, full.size());
            ASSERT_EQ(out.size(), held.size() + kept) << limit;
            EXPECT_TRUE(std::equal(held.begin(), held.end(), out.begin())) << limit;
            EXPECT_TRUE(std::equal(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(kept),
                                   out.begin() + static_cast<std::ptrdiff_t>(held.size())))
                << limit;
        }
    }
}

TEST(RunLength, BoundHoldsAcrossDrains)
{
    // Output handed on midway still counts against the bound, whatever room
    // the decoder kept: the code is fed in slices with a drain after each,
    // and exactly the bytes up to the bound come out.
    struct Collect : ByteSink {
        void write(ByteView b) override { bytes.insert(bytes.end(), b.begin(), b.end()); }
        Bytes bytes;
    };
    Bytes text;
    RLEEncode(RandomText(3000, 7, 20), text);
    Bytes runs;
    RLEEncode(Concat(Repeat(900, 'r'), RandomText(600, 8, 5)), runs);
    for (const Bytes& code : {text, runs}) {
        const Bytes full = UnRle(code);
        for (const size_t slice : {size_t{60}, size_t{700}})
            for (const size_t limit : {size_t{100}, full.size() / 2, full.size() - 1, full.size()}) {
                SCOPED_TRACE("slice " + std::to_string(slice) + ", limit " + std::to_string(limit));
                Collect sink;
                Bytes room;
                bool ok = true;
                {
                    RunLengthDecoder decoder(room, limit, 64);
                    for (size_t at = 0; at < code.size() && ok; at += slice) {
                        ok = decoder.feed(ByteView(code).subspan(at, std::min(slice, code.size() - at)));
                        decoder.drain(sink);
                    }
                    decoder.drain(sink);
                }
                EXPECT_EQ(ok, limit >= full.size());
                const size_t kept = std::min(limit, full.size());
                EXPECT_EQ(sink.bytes, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(kept)));
            }
    }
}

TEST(MoveToFront, CodesPositionsInTheMovingTable)
{
    const Bytes data = {0x02, 0x02, 0x00, 0x02, 0xff, 0xff, 0x00};
    const Bytes code = {0x02, 0x00, 0x01, 0x01, 0xff, 0x00, 0x02};
    Bytes out;
    const size_t written = MTFEncode(data, out);
    EXPECT_EQ(written, data.size());
    EXPECT_EQ(out, code);
    Bytes back;
    MTFDecode(code, back);
    EXPECT_EQ(back, data);

    const Bytes random = RandomBytes(5000, 7);
    Bytes c2, d2;
    MTFEncode(random, c2);
    MTFDecode(c2, d2);
    EXPECT_EQ(d2, random);
}

TEST(Arithmetic, EndSymbolAloneIsTwoBytes)
{
    Bytes out;
    const size_t written = ArithEncode(Bytes{}, out);
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(out, (Bytes{0x00, 0x02}));
    Bytes back;
    EXPECT_TRUE(ArithDecode(out, back));
    EXPECT_TRUE(back.empty());
}

TEST(Arithmetic, RoundTripsAndAdaptsToSkewedData)
{
    // Long skewed input passes the model's rescaling many times.
    const Bytes inputs[] = {RandomBytes(20000, 1), Repeat(100000, 0), RandomText(50000, 2, 3),
                            AllByteValues(40)};
    for (const auto& in : inputs) {
        Bytes code, back;
        ArithEncode(in, code);
        ASSERT_TRUE(ArithDecode(code, back));
        EXPECT_EQ(back, in);
    }
    Bytes code;
    ArithEncode(Repeat(100000, 0), code);
    EXPECT_LT(code.size(), 1000u);
}

TEST(Arithmetic, InputEndingTooEarlyIsCorrupt)
{
    // Past the end the decoder reads 1 bits; needing more than 14 such bytes
    // means the stream is corrupt, reported instead of ending the process.
    Bytes out;
    EXPECT_FALSE(ArithDecode(Bytes{}, out));
    EXPECT_LT(out.size(), 10000u);

    Bytes code;
    ArithEncode(WordText(20000, 3), code);
    code.resize(code.size() / 2);
    out.clear();
    EXPECT_FALSE(ArithDecode(code, out));
}

TEST(Arithmetic, BytesAfterTheEndSymbolAreIgnored)
{
    Bytes code;
    ArithEncode(FromString("hello"), code);
    code.push_back(0x55);
    code.push_back(0xAA);
    Bytes back;
    EXPECT_TRUE(ArithDecode(code, back));
    EXPECT_EQ(back, FromString("hello"));
}

TEST(Arithmetic, DecoderHonoursLimit)
{
    Bytes code;
    ArithEncode(Repeat(5000, 'x'), code);
    Bytes out;
    EXPECT_FALSE(ArithDecode(code, out, 4999));
    EXPECT_EQ(out.size(), 4999u);
}

namespace {

// Order of the rows: bytes unsigned, a suffix that is a prefix of another
// ranks above it (the end of the block is above every byte).
std::vector<int32_t> NaiveSort(const Bytes& b)
{
    std::vector<int32_t> sa(b.size() + 1);
    std::iota(sa.begin(), sa.end(), 0);
    std::sort(sa.begin(), sa.end(), [&](int32_t x, int32_t y) {
        const size_t n = b.size();
        size_t i = x, j = y;
        while (i < n && j < n) {
            if (b[i] != b[j])
                return b[i] < b[j];
            ++i, ++j;
        }
        return i < n && j == n ? true : false;
    });
    return sa;
}

} // namespace

TEST(BlockSort, SuffixOrderMatchesDirectComparison)
{
    const Bytes inputs[] = {
        {},
        {0x00},
        {0xff},
        FromString("abc"),
        FromString("banana"),
        FromString("mississippi"),
        Repeat(1000, 'a'),
        Repeat(300, 0xff),
        Repeat(300, 0x00),
        Concat(Repeat(500, 'a'), Repeat(500, 'b')),
        RandomText(3000, 4, 2),
        RandomText(3000, 5, 4),
        RandomBytes(3000, 6),
        AllByteValues(4),
        WordText(4000, 8),
    };
    for (const auto& in : inputs) {
        std::vector<int32_t> sa;
        SortSuffixes(in, sa);
        EXPECT_EQ(sa, NaiveSort(in)) << "size " << in.size();
    }
    // Periodic data, the case where a comparison sort is slowest.
    Bytes periodic;
    for (int i = 0; i < 4000; ++i)
        periodic.push_back("abcab"[i % 5]);
    std::vector<int32_t> sa;
    SortSuffixes(periodic, sa);
    EXPECT_EQ(sa, NaiveSort(periodic));
}

TEST(BlockSort, BlockLayout)
{
    // "abc": rows abc, bc, c, (empty): last column ?, a, b, c.
    Bytes out;
    BWTEncode(FromString("abc"), out);
    const Bytes expected = {0x04, 0, 0, 0, 0x3f, 'a', 'b', 'c', 0x01, 0, 0, 0, 0x00, 0, 0, 0};
    EXPECT_EQ(out, expected);
    Bytes back;
    EXPECT_TRUE(BWTDecode(out, back));
    EXPECT_EQ(back, FromString("abc"));

    // No data, no block.
    out.clear();
    BWTEncode(Bytes{}, out);
    EXPECT_TRUE(out.empty());
}

TEST(BlockSort, BlocksOf64KBytes)
{
    struct Case {
        size_t size;
        std::vector<uint32_t> lengths;
    } cases[] = {
        {1, {2}},
        {65535, {65536}},
        {65536, {65537}},
        {65537, {65537, 2}},
        {3 * 65536 + 10, {65537, 65537, 65537, 11}},
    };
    for (const auto& c : cases) {
        const Bytes data = RandomBytes(c.size, static_cast<uint32_t>(c.size));
        Bytes out;
        BWTEncode(data, out);
        size_t at = 0;
        for (uint32_t len : c.lengths) {
            ASSERT_LE(at + 4, out.size());
            EXPECT_EQ(GetU32(out, at), len);
            at += 4 + len + 8;
        }
        EXPECT_EQ(at, out.size());
        Bytes back;
        EXPECT_TRUE(BWTDecode(out, back));
        EXPECT_EQ(back, data);
    }
}

TEST(BlockSort, DecoderRejectsBlocksNoEncoderWrites)
{
    Bytes good;
    BWTEncode(FromString("hello, world"), good);  // 13 rows
    auto with = [&](size_t at, uint32_t v) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
        return b;
    };
    const size_t firstAt = 4 + 13;
    const size_t lastAt = firstAt + 4;
    Bytes empty0, empty1, tooLong;
    PutU32(empty0, 0);
    PutU32(empty1, 1);
    empty1.push_back('?');
    PutU32(empty1, 0);
    PutU32(empty1, 0);
    PutU32(tooLong, 65538);
    tooLong.resize(tooLong.size() + 65538 + 8);
    Bytes cyclic = good;  // a last column whose walk misses `last`
    std::swap(cyclic[4 + 1], cyclic[4 + 2]);
    const Bytes bad[] = {
        with(firstAt, 13),          // first out of range
        with(firstAt, 0xffffffff),  // first far out of range
        with(lastAt, 13),           // last out of range
        with(lastAt, GetU32(good, firstAt)),  // first == last
        with(0, 14),                // longer than what follows
        empty0,                     // empty blocks
        empty1,
        tooLong,
        Bytes(good.begin(), good.end() - 1),  // cut in the row numbers
        Bytes(good.begin(), good.begin() + 3),  // cut in the length
        cyclic,
    };
    for (size_t i = 0; i < std::size(bad); ++i) {
        Bytes out;
        EXPECT_FALSE(BWTDecode(bad[i], out)) << "case " << i;
    }

    // A good block before a bad one is kept.
    Bytes two = Concat(good, with(firstAt, 99));
    Bytes out;
    EXPECT_FALSE(BWTDecode(two, out));
    EXPECT_EQ(out, FromString("hello, world"));
}

TEST(BlockSort, DecoderAcceptsExactlyTheBlocksTheEncoderWrites)
{
    // Every small block (all last columns over three symbols, every pair of
    // row numbers): it decodes exactly when the encoder writes it for some
    // data (the byte in row `last` is not read), and then to that data.
    const uint8_t symbols[] = {'?', 'a', 'b'};
    std::map<Bytes, Bytes> written;  // block, with '?' in row `last` -> data
    for (size_t length = 1, count = 3; length <= 5; ++length, count *= 3)
        for (size_t n = 0; n < count; ++n) {
            Bytes data(length);
            for (size_t i = 0, v = n; i < length; ++i, v /= 3)
                data[i] = symbols[v % 3];
            Bytes block;
            BWTEncode(data, block);
            written[block] = data;
        }
    for (uint32_t rows = 2; rows <= 6; ++rows) {
        uint32_t columns = 1;
        for (uint32_t i = 0; i < rows; ++i)
            columns *= 3;
        for (uint32_t col = 0; col < columns; ++col)
            for (uint32_t first = 0; first < rows; ++first)
                for (uint32_t last = 0; last < rows; ++last) {
                    Bytes block;
                    PutU32(block, rows);
                    for (uint32_t i = 0, v = col; i < rows; ++i, v /= 3)
                        block.push_back(symbols[v % 3]);
                    PutU32(block, first);
                    PutU32(block, last);
                    Bytes canonical = block;
                    if (last < rows)
                        canonical[4 + last] = '?';
                    const auto found = written.find(canonical);
                    Bytes out;
                    const bool ok = BWTDecode(block, out);
                    ASSERT_EQ(ok, found != written.end())
                        << "rows " << rows << " column " << col << " first " << first << " last " << last;
                    if (ok)
                        EXPECT_EQ(out, found->second);
                    else
                        EXPECT_TRUE(out.empty());
                }
    }
}

TEST(BlockSort, OnePassWithRunLengthMatchesTheStages)
{
    // The decompressor decodes each block and its run-length code together;
    // runs whose count lies in the next block, bounds and bad blocks must
    // come out as from the two stages one after the other.
    auto staged = [](const Bytes& in, Bytes& out, size_t limit) {
        Bytes blocks;
        bool ok = BWTDecode(in, blocks);
        return RLEDecode(blocks, out, limit) && ok;
    };
    std::vector<Bytes> codes;
    for (const size_t split : {kBlockSize - 2, kBlockSize - 1, kBlockSize, kBlockSize + 1}) {
        Bytes code(split);
        for (size_t i = 0; i < split; ++i)
            code[i] = (i % 2) ? 'x' : 'y';
        code.insert(code.end(), {'a', 'a', 5, 'b', 'b', 0xff});
        codes.push_back(code);
    }
    {
        Bytes code;
        RLEEncode(Concat(WordText(100000, 81), Repeat(40000, 'z')), code);
        codes.push_back(code);
    }
    std::vector<Bytes> inputs;
    for (const Bytes& code : codes) {
        Bytes blocks;
        BWTEncode(code, blocks);
        inputs.push_back(blocks);
        Bytes broken = blocks;  // the second block's first row out of range
        const size_t firstAt = 4 + GetU32(blocks, 0);
        const size_t secondFirstAt = firstAt + 8 + 4 + GetU32(blocks, firstAt + 8);
        broken[secondFirstAt + 3] = 0x7f;
        inputs.push_back(broken);
    }
    for (const Bytes& in : inputs) {
        Bytes full;
        staged(in, full, kNoLimit);
        for (const size_t limit : {kNoLimit, full.size(), full.size() - 1, kBlockSize, size_t{10}}) {
            Bytes one = FromString("held"), two = FromString("held");
            const bool okOne = BWTRLEDecode(in, one, limit);
            const bool okTwo = staged(in, two, limit);
            EXPECT_EQ(okOne, okTwo) << limit;
            EXPECT_EQ(one, two) << limit;
        }
    }
}

#include "arith_reference.h"

TEST(Arithmetic, MatchesThePlainBitAtATimeCoder)
{
    // The library moves settled and pending bits in runs; every output byte
    // must equal what the one-bit-at-a-time coder writes.
    Bytes mtfText;
    {
        Bytes rle, bwt;
        RLEEncode(WordText(200000, 41), rle);
        BWTEncode(rle, bwt);
        MTFEncode(bwt, mtfText);
    }
    const Bytes inputs[] = {{}, {0x00}, {0xff}, FromString("abc"), RandomBytes(30000, 42),
                            Repeat(70000, 0), Repeat(70000, 0xff), RandomText(50000, 43, 2),
                            AllByteValues(30), mtfText};
    for (const auto& in : inputs) {
        Bytes fast, ref;
        ArithEncode(in, fast);
        zlcomp_ref::ArithEncode(in, ref);
        ASSERT_EQ(fast, ref) << "size " << in.size();
        Bytes back;
        EXPECT_TRUE(ArithDecode(ref, back));
        EXPECT_EQ(back, in);
    }
    // Garbage decodes alike in both, up to the point where both give up.
    for (uint32_t seed = 0; seed < 40; ++seed) {
        const Bytes junk = RandomBytes(seed * 7, seed);
        Bytes fast, ref;
        const bool okFast = ArithDecode(junk, fast, 100000);
        const bool okRef = zlcomp_ref::ArithDecode(junk, ref, 100000);
        EXPECT_EQ(okFast, okRef) << seed;
        if (okFast && okRef) {
            EXPECT_EQ(fast, ref) << seed;
        }
    }
}

namespace {

// Block-sort payloads from the encoder, then garbage.
std::vector<Bytes> BlockCodePayloads()
{
    std::vector<Bytes> payloads;
    for (const Bytes& data : {Bytes{}, FromString("abc"), WordText(90000, 61), Repeat(100000, 0),
                              RandomBytes(5000, 62)}) {
        Bytes rle, bwt, mtf, rle2, payload;
        RLEEncode(data, rle);
        BWTEncode(rle, bwt);
        MTFEncode(bwt, mtf);
        RLEEncode(mtf, rle2);
        ArithEncode(rle2, payload);
        payloads.push_back(payload);
    }
    for (uint32_t seed = 0; seed < 30; ++seed)
        payloads.push_back(RandomBytes(seed * 13, seed + 100));
    return payloads;
}

class ViewSource : public ByteSource {
public:
    explicit ViewSource(ByteView data) : m_rest(data) {}
    size_t read(uint8_t* buffer, size_t size) override
    {
        const size_t n = std::min(size, m_rest.size());
        std::copy_n(m_rest.begin(), n, buffer);
        m_rest = m_rest.subspan(n);
        return n;
    }

private:
    ByteView m_rest;
};

// Takes every byte of a full window.
class TakeAll : public DecodedBytesTaker {
public:
    bool take(ByteView bytes, size_t& taken) override
    {
        all.insert(all.end(), bytes.begin(), bytes.end());
        taken = bytes.size();
        return true;
    }
    Bytes all;
};

} // namespace

TEST(Arithmetic, OnePassDecodingMatchesTheStages)
{
    // The decompressor runs the arithmetic, run-length and move-to-front
    // decoders as one pass; it must agree with the three stages one by one,
    // on streams from the encoder and on garbage alike.
    auto staged = [](const Bytes& payload, Bytes& out) {
        Bytes a, r;
        bool ok = ArithDecode(payload, a);
        ok = RLEDecode(a, r) && ok;
        MTFDecode(r, out);
        return ok;
    };
    const std::vector<Bytes> payloads = BlockCodePayloads();
    for (const auto& payload : payloads) {
        Bytes one, three;
        const bool okOne = ArithRLEMTFDecode(payload, one);
        const bool okThree = staged(payload, three);
        EXPECT_EQ(okOne, okThree);
        if (okOne && okThree) {
            EXPECT_EQ(one, three);
        }
    }
    // The bound applies to the final bytes.
    Bytes out;
    EXPECT_FALSE(ArithRLEMTFDecode(payloads[2], out, 1000));
    EXPECT_LE(out.size(), 1000u);
}

TEST(Arithmetic, OnePassEncodingMatchesTheStages)
{
    Bytes runs;  // runs of every length around the cap, of index 0 and others
    for (int len : {1, 2, 3, 255, 256, 257, 258, 259, 600})
        for (uint8_t c : {uint8_t{0}, uint8_t{'a'}, uint8_t{'b'}})
            runs.insert(runs.end(), len, c);
    const Bytes inputs[] = {{}, {0x00}, {0x00, 0x00}, FromString("abc"), runs, RandomBytes(20000, 71),
                            Repeat(70000, 0), WordText(100000, 72), AllByteValues(20)};
    for (const auto& in : inputs) {
        Bytes mtf, rle, staged, one;
        MTFEncode(in, mtf);
        RLEEncode(mtf, rle);
        ArithEncode(rle, staged);
        MTFRLEArithEncode(in, one);
        EXPECT_EQ(one, staged) << "size " << in.size();
    }
}

TEST(Arithmetic, TwoStageDecodingMatchesOnePass)
{
    // Arithmetic decoding handing on pieces of any size, and the run-length
    // and move-to-front decoder fed with them: the same bytes and verdict as
    // the one pass, also when the bound stops it midway.
    struct Pieces : DecodedPieceTaker {
        explicit Pieces(BlockCodeDecoder& d) : decoder(d) {}
        bool take(ByteView piece) override { return decoder.feed(piece); }
        BlockCodeDecoder& decoder;
    };
    for (const auto& payload : BlockCodePayloads())
        for (const size_t limit : {kNoLimit, size_t{1000}}) {
            ViewSource onePassIn(payload);
            TakeAll onePass;
            Bytes onePassWindow;
            const bool onePassOk = ArithRLEMTFDecode(onePassIn, onePassWindow, limit, onePass);
            onePass.all.insert(onePass.all.end(), onePassWindow.begin(), onePassWindow.end());
            for (const size_t piece : {size_t{1}, size_t{7}, size_t{4096}, size_t{1} << 20}) {
                SCOPED_TRACE("payload of " + std::to_string(payload.size()) + ", limit " + std::to_string(limit) +
                             ", piece " + std::to_string(piece));
                ViewSource in(payload);
                TakeAll twoStage;
                Bytes window;
                bool ok = false;
                {
                    BlockCodeDecoder decoder(window, limit, twoStage);
                    Pieces pieces(decoder);
                    ok = ArithDecode(in, piece, pieces);
                }
                twoStage.all.insert(twoStage.all.end(), window.begin(), window.end());
                EXPECT_EQ(ok, onePassOk);
                EXPECT_EQ(twoStage.all, onePass.all);
            }
        }
}
