// Streams read and written piece by piece on worker threads: the same bytes
// as the stages run one after another over whole buffers, for every stream
// ever committed, any piece size and any number of threads; and the data is
// streamed, not gathered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "zlcomp_core.h"
#include "zlcomp_test_data.h"

using namespace zlcomp;
using namespace zlcomp_test;

namespace {

// Hands out the data in pieces of at most `piece` bytes.
class PieceSource : public ByteSource {
public:
    PieceSource(ByteView data, size_t piece) : m_data(data), m_piece(piece) {}
    size_t read(uint8_t* buffer, size_t size) override
    {
        const size_t n = std::min({size, m_piece, m_data.size() - m_pos});
        if (n > 0)
            std::memcpy(buffer, m_data.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    size_t delivered() const { return m_pos; }

private:
    ByteView m_data;
    size_t m_piece;
    size_t m_pos = 0;
};

class CollectSink : public ByteSink {
public:
    void start(uint8_t method) override
    {
        EXPECT_FALSE(m_started);
        EXPECT_TRUE(bytes.empty());
        m_started = true;
        this->method = method;
    }
    void write(ByteView b) override
    {
        EXPECT_TRUE(m_started);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    Bytes bytes;
    int method = -1;

private:
    bool m_started = false;
};

Bytes StagedCompress(const Bytes& data)
{
    Bytes runs, sorted;
    RLEEncode(data, runs);
    BWTEncode(runs, sorted);
    Bytes stream = FromString("ZLCompB");
    MTFRLEArithEncode(sorted, stream);
    return stream;
}

Bytes StreamCompress(const Bytes& data, size_t piece, unsigned threads)
{
    PieceSource in(data, piece);
    CollectSink out;
    CompressStream(in, out, threads);
    EXPECT_EQ(out.method, kMethodBlock);
    return out.bytes;
}

struct Decoded {
    bool ok;
    Bytes bytes;
    bool operator==(const Decoded&) const = default;
};

Decoded StreamDecompress(const Bytes& stream, size_t limit, size_t piece, unsigned threads)
{
    PieceSource in(stream, piece);
    CollectSink out;
    const bool ok = DecompressStream(in, out, limit, threads);
    return {ok, out.bytes};
}

Decoded BufferDecompress(const Bytes& stream, size_t limit)
{
    Bytes out;
    const bool ok = Decompress(stream, out, limit);
    return {ok, out};
}

uint64_t Fnv1a(const Bytes& b)
{
    uint64_t h = 1469598103934665603ull;
    for (const uint8_t c : b) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// Inputs around the block size, where the stream is cut into blocks.
std::vector<std::pair<const char*, Bytes>> Inputs()
{
    return {
        {"empty", {}},
        {"one byte", FromString("x")},
        {"words, one block less one", WordText(kBlockSize - 1, 1)},
        {"words, one block", WordText(kBlockSize, 2)},
        {"words, one block and one", WordText(kBlockSize + 1, 3)},
        {"words, seven blocks and a bit", WordText(7 * kBlockSize + 1234, 4)},
        {"random bytes, three blocks", RandomBytes(3 * kBlockSize + 17, 5)},
        {"long runs", Concat(Repeat(300000, 'a'), Concat(Repeat(70000, 0), Repeat(513, 'b')))},
        {"runs and words", Concat(WordText(100000, 6), Concat(Repeat(200000, ' '), WordText(90000, 7)))},
        {"all byte values", AllByteValues(700)},
    };
}

} // namespace

TEST(ZLCompPipeline, CompressesToTheBytesOfTheStages)
{
    for (const auto& [name, data] : Inputs()) {
        const Bytes expected = StagedCompress(data);
        EXPECT_EQ(Compress(data), expected) << name;
        for (const unsigned threads : {1u, 2u, 3u})
            for (const size_t piece : {size_t{1000}, size_t{65536}, size_t{1} << 20}) {
                SCOPED_TRACE(std::string(name) + ", threads " + std::to_string(threads) + ", piece " +
                             std::to_string(piece));
                EXPECT_EQ(StreamCompress(data, piece, threads), expected);
            }
    }
}

TEST(ZLCompPipeline, DecodesLikeTheWholeBufferDecoderWhateverTheStream)
{
    // Good streams, streams cut short or damaged anywhere, and bounds: the
    // same bytes and the same verdict.
    for (const auto& [name, data] : Inputs()) {
        const Bytes stream = Compress(data);
        std::vector<std::pair<std::string, Bytes>> streams = {{"whole", stream}};
        for (const size_t cut : {size_t{7}, size_t{9}, stream.size() / 3, stream.size() / 2, stream.size() - 1})
            if (cut < stream.size())
                streams.push_back({"cut at " + std::to_string(cut), Bytes(stream.begin(), stream.begin() + cut)});
        for (const size_t at : {size_t{8}, stream.size() / 4, stream.size() / 2, stream.size() - 2}) {
            if (at < 7 || at >= stream.size())
                continue;
            Bytes damaged = stream;
            damaged[at] ^= 0x5A;
            streams.push_back({"damaged at " + std::to_string(at), damaged});
        }
        for (const auto& [how, s] : streams)
            for (const size_t limit : {kNoLimit, data.size() / 2, size_t{100000}})
                for (const unsigned threads : {1u, 2u, 3u}) {
                    SCOPED_TRACE(std::string(name) + ", " + how + ", limit " + std::to_string(limit) + ", threads " +
                                 std::to_string(threads));
                    const Decoded expected = BufferDecompress(s, limit);
                    EXPECT_EQ(StreamDecompress(s, limit, 4096, threads), expected);
                    if (how == "whole" && limit == kNoLimit) {
                        EXPECT_EQ(expected, (Decoded{true, data}));
                    }
                }
    }
}

TEST(ZLCompPipeline, OtherMethodsAndStoredDataAsTheBufferDecoder)
{
    const Bytes words = WordText(5000, 8);
    struct Case {
        const char* name;
        Bytes stream;
        int method;
    } cases[] = {
        {"no header", FromString("plain text"), kMethodStored},
        {"short", FromString("ZLCom"), kMethodStored},
        {"empty", {}, kMethodStored},
        {"stored behind a header", Concat(FromString("ZLComp"), Concat({0x00}, words)), kMethodStored},
        {"stored header twice", Concat(FromString("ZLComp"), Concat({0x00}, Concat(FromString("ZLCompQ"), words))),
         kMethodStored},
        {"run-length", Concat(FromString("ZLCompR"), words), kMethodRLE},
        {"move-to-front", Concat(FromString("ZLCompM"), words), kMethodMTF},
        {"arithmetic", [&] {
             Bytes s = FromString("ZLCompA");
             ArithEncode(words, s);
             return s;
         }(), kMethodArith},
        {"unknown method", FromString("ZLCompZ payload"), 'Z'},
    };
    for (const auto& c : cases)
        for (const size_t limit : {kNoLimit, size_t{100}}) {
            SCOPED_TRACE(std::string(c.name) + ", limit " + std::to_string(limit));
            PieceSource in(c.stream, 3);
            CollectSink out;
            const bool ok = DecompressStream(in, out, limit, 2);
            EXPECT_EQ((Decoded{ok, out.bytes}), BufferDecompress(c.stream, limit));
            EXPECT_EQ(out.method, c.method);
        }
}

TEST(ZLCompPipeline, EveryCommittedStreamDecodesAsItAlwaysDid)
{
    std::ifstream list(VX_ZLCOMP_DIGESTS);
    ASSERT_TRUE(list) << VX_ZLCOMP_DIGESTS;
    std::string line;
    bool any = false;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string name, hash;
        int ok = 0;
        size_t size = 0;
        fields >> name >> ok >> size >> hash;
        SCOPED_TRACE(name);
        std::ifstream f(std::string(VX_ZLCOMP_CORPUS) + "/" + name, std::ios::binary);
        ASSERT_TRUE(f);
        const Bytes stream{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
        const size_t limit = size_t{64} << 20;
        for (const Decoded& d : {BufferDecompress(stream, limit), StreamDecompress(stream, limit, 65536, 1),
                                 StreamDecompress(stream, limit, 777, 2), StreamDecompress(stream, limit, 777, 3),
                                 StreamDecompress(stream, limit, 65536, 4)}) {
            char digest[17];
            std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(Fnv1a(d.bytes)));
            EXPECT_EQ(d.ok, ok != 0);
            EXPECT_EQ(d.bytes.size(), size);
            EXPECT_EQ(digest, hash);
        }
        any = true;
    }
    EXPECT_TRUE(any);
}

TEST(ZLCompPipeline, DataIsStreamedNotGathered)
{
    // Output goes out while most of the input is still unread, both ways:
    // memory follows the blocks in flight, not the size of the data.
    const Bytes data = WordText(48 * kBlockSize, 9);
    const Bytes stream = Compress(data);

    class Watch : public ByteSink {
    public:
        explicit Watch(const PieceSource& in) : m_in(in) {}
        void write(ByteView b) override
        {
            if (m_firstAt == 0 && !b.empty())
                m_firstAt = m_in.delivered();
            m_size += b.size();
        }
        size_t m_firstAt = 0;
        size_t m_size = 0;

    private:
        const PieceSource& m_in;
    };
    for (const unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        PieceSource in(data, 65536);
        Watch out(in);
        CompressStream(in, out, threads);
        EXPECT_EQ(out.m_size, stream.size());
        EXPECT_LT(out.m_firstAt, data.size() / 2);

        PieceSource packed(stream, 65536);
        Watch back(packed);
        EXPECT_TRUE(DecompressStream(packed, back, kNoLimit, threads));
        EXPECT_EQ(back.m_size, data.size());
        EXPECT_LT(back.m_firstAt, stream.size() / 2);
    }
}

TEST(ZLCompPipeline, ExceptionsOfTheFilesPassThroughAndStopTheWorkers)
{
    struct Failing : ByteSink {
        void write(ByteView) override
        {
            if (++calls == 2)
                throw std::runtime_error("disk full");
        }
        int calls = 0;
    };
    // The input failing midway, while blocks are still being decoded.
    struct FailingSource : PieceSource {
        using PieceSource::PieceSource;
        size_t read(uint8_t* buffer, size_t size) override
        {
            if (delivered() > 40000)
                throw std::runtime_error("read error");
            return PieceSource::read(buffer, size);
        }
    };
    const Bytes data = WordText(20 * kBlockSize, 10);
    const Bytes stream = Compress(data);
    for (const unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        PieceSource in(data, 65536);
        Failing out;
        EXPECT_THROW(CompressStream(in, out, threads), std::runtime_error);
        PieceSource packed(stream, 65536);
        Failing back;
        EXPECT_THROW(DecompressStream(packed, back, kNoLimit, threads), std::runtime_error);
        FailingSource broken(stream, 1000);
        CollectSink some;
        EXPECT_THROW(DecompressStream(broken, some, kNoLimit, threads), std::runtime_error);
    }
}

TEST(ZLCompPipeline, LongRunsComeOutInBoundedPieces)
{
    // A block of run-length code expands up to a hundredfold: its data goes
    // out piece by piece, never gathered whole.
    const Bytes data = Concat(Repeat(8 << 20, 'x'), Concat(WordText(5000, 11), Repeat(3 << 20, 0)));
    const Bytes stream = Compress(data);
    struct Largest : ByteSink {
        void write(ByteView b) override
        {
            largest = std::max(largest, b.size());
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        size_t largest = 0;
        Bytes bytes;
    };
    for (const unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        PieceSource in(stream, 65536);
        Largest out;
        EXPECT_TRUE(DecompressStream(in, out, kNoLimit, threads));
        EXPECT_EQ(out.bytes, data);
        EXPECT_LE(out.largest, size_t{1} << 20);
    }
}
