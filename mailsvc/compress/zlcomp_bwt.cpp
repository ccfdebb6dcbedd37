// Block sort (Burrows-Wheeler transform) stage of the ZLComp compressor.
//
// The suffixes are sorted with induced sorting (SA-IS), which takes linear
// time on any data; a comparison sort degrades to quadratic time on runs and
// repeated phrases, exactly what grammar files and updates are full of.
#include "zlcomp_core.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace zlcomp {

namespace {

// Suffix array of s[0..n-1], where s[n-1] is a unique sentinel smaller than
// every other symbol and all symbols are below k. sa must hold n entries.
// The top level sorts 16-bit symbols (bytes, the end mark and the sentinel),
// the reduced strings of the deeper levels 32-bit names.
template <typename Symbol>
class InducedSort {
public:
    InducedSort(const Symbol* s, int32_t* sa, int32_t n, int32_t k)
        : m_s(s), m_sa(sa), m_n(n), m_k(k), m_stype(n), m_bucket(k), m_count(k)
    {}

    void run()
    {
        const int32_t n = m_n;
        const Symbol* s = m_s;
        int32_t* sa = m_sa;
        if (n == 1) {
            sa[0] = 0;
            return;
        }
        classify();
        for (int32_t i = 0; i < n; ++i)
            ++m_count[s[i]];

        // Sort the LMS substrings: seed their positions at the bucket ends
        // and induce.
        std::fill(sa, sa + n, -1);
        bucketEnds();
        for (int32_t i = 1; i < n; ++i)
            if (m_stype[i] > m_stype[i - 1])
                sa[--m_bucket[s[i]]] = i;
        induceL();
        induceS();

        // Gather the sorted LMS positions at the front.
        int32_t n1 = 0;
        for (int32_t i = 0; i < n; ++i)
            if (isLMS(sa[i]))
                sa[n1++] = sa[i];

        // Name the LMS substrings by rank; equal substrings share a name.
        std::fill(sa + n1, sa + n, -1);
        int32_t names = 0;
        int32_t prev = -1;
        for (int32_t i = 0; i < n1; ++i) {
            const int32_t pos = sa[i];
            bool differ = prev < 0;
            for (int32_t d = 0; !differ; ++d) {
                if (s[pos + d] != s[prev + d] || m_stype[pos + d] != m_stype[prev + d]) {
                    differ = true;
                } else if (d > 0 && (isLMS(pos + d) || isLMS(prev + d))) {
                    break;
                }
            }
            if (differ) {
                ++names;
                prev = pos;
            }
            sa[n1 + pos / 2] = names - 1;
        }
        // The reduced string, in text order, at the back of sa.
        for (int32_t i = n - 1, j = n - 1; i >= n1; --i)
            if (sa[i] >= 0)
                sa[j--] = sa[i];
        int32_t* s1 = sa + n - n1;

        // Order of the LMS suffixes: directly when all names differ, else by
        // sorting the reduced string.
        if (names < n1) {
            InducedSort<int32_t>(s1, sa, n1, names).run();
        } else {
            for (int32_t i = 0; i < n1; ++i)
                sa[s1[i]] = i;
        }

        // Map the reduced ranks back to positions, seed them in order at the
        // bucket ends and induce the whole array.
        for (int32_t i = 1, j = 0; i < n; ++i)
            if (m_stype[i] > m_stype[i - 1])
                s1[j++] = i;
        for (int32_t i = 0; i < n1; ++i)
            sa[i] = s1[sa[i]];
        std::fill(sa + n1, sa + n, -1);
        bucketEnds();
        for (int32_t i = n1 - 1; i >= 0; --i) {
            const int32_t j = sa[i];
            sa[i] = -1;
            sa[--m_bucket[s[j]]] = j;
        }
        induceL();
        induceS();
    }

private:
    void classify()
    {
        const int32_t n = m_n;
        m_stype[n - 1] = 1;
        uint8_t next = 1;
        for (int32_t i = n - 2; i >= 0; --i) {
            next = static_cast<uint8_t>((m_s[i] < m_s[i + 1]) | ((m_s[i] == m_s[i + 1]) & next));
            m_stype[i] = next;
        }
    }

    bool isLMS(int32_t i) const { return i > 0 && m_stype[i] && !m_stype[i - 1]; }

    void bucketStarts()
    {
        int32_t sum = 0;
        for (int32_t c = 0; c < m_k; ++c) {
            m_bucket[c] = sum;
            sum += m_count[c];
        }
    }
    void bucketEnds()
    {
        int32_t sum = 0;
        for (int32_t c = 0; c < m_k; ++c) {
            sum += m_count[c];
            m_bucket[c] = sum;
        }
    }

    void induceL()
    {
        bucketStarts();
        for (int32_t i = 0; i < m_n; ++i) {
            const int32_t j = m_sa[i] - 1;
            if (j >= 0 && !m_stype[j])
                m_sa[m_bucket[m_s[j]]++] = j;
        }
    }
    void induceS()
    {
        bucketEnds();
        for (int32_t i = m_n - 1; i >= 0; --i) {
            const int32_t j = m_sa[i] - 1;
            if (j >= 0 && m_stype[j])
                m_sa[--m_bucket[m_s[j]]] = j;
        }
    }

    const Symbol* m_s;
    int32_t* m_sa;
    int32_t m_n;
    int32_t m_k;
    std::vector<uint8_t> m_stype;
    std::vector<int32_t> m_bucket;
    std::vector<int32_t> m_count;  // occurrences of each symbol
};

void PutU32(Bytes& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 24));
}

uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint8_t kPlaceholder = 0x3F;  // '?' for the row that starts the block
constexpr int32_t kEnd = 256;           // the end of the block, above every byte

} // namespace

void SortSuffixes(ByteView block, std::vector<int32_t>& sa)
{
    // The block, the end mark (above every byte) and the sentinel the induced
    // sort needs (below everything). The end mark is unique, so comparisons
    // stop at it, which gives exactly the order of suffixes with a high end.
    const int32_t n = static_cast<int32_t>(block.size());
    std::vector<uint16_t> s(n + 2);
    for (int32_t i = 0; i < n; ++i)
        s[i] = block[i] + 1;
    s[n] = kEnd + 1;
    s[n + 1] = 0;
    std::vector<int32_t> all(n + 2);
    InducedSort<uint16_t>(s.data(), all.data(), n + 2, kEnd + 2).run();
    // all[0] is the sentinel.
    sa.assign(all.begin() + 1, all.end());
}

void BWTEncodeBlock(ByteView block, std::vector<int32_t>& sa, Bytes& out)
{
    SortSuffixes(block, sa);
    const uint32_t rows = static_cast<uint32_t>(block.size() + 1);
    PutU32(out, rows);
    uint32_t first = 0;
    uint32_t last = 0;
    const size_t at = out.size();
    out.resize(at + rows);
    uint8_t* column = out.data() + at;
    for (uint32_t row = 0; row < rows; ++row) {
        const int32_t start = sa[row];
        if (start == 0) {
            last = row;
            column[row] = kPlaceholder;
        } else {
            if (start == 1)
                first = row;
            column[row] = block[start - 1];
        }
    }
    PutU32(out, first);
    PutU32(out, last);
}

void BWTEncode(ByteView in, Bytes& out)
{
    std::vector<int32_t> sa;
    out.reserve(out.size() + in.size() + (in.size() / kBlockSize + 1) * 13);
    for (size_t offset = 0; offset < in.size(); offset += kBlockSize)
        BWTEncodeBlock(in.subspan(offset, std::min(kBlockSize, in.size() - offset)), sa, out);
}

namespace {

// One block: its last column and rows, and the tables of its walk (kept
// from block to block to save allocations).
struct Block {
    const uint8_t* column = nullptr;
    uint32_t rows = 0;
    uint32_t first = 0;
    uint32_t last = 0;
    std::vector<uint32_t> next;
    std::vector<uint32_t> prev;
};

// Reads the block at in[pos] and builds its tables; false when the block
// cannot come from the encoder (its header or size is wrong).
bool ReadBlock(ByteView in, size_t& pos, Block& block)
{
    // A block: length, last column, first and last rows. Anything that
    // cannot come from the encoder ends the stage.
    if (in.size() - pos < 4)
        return false;
    const uint32_t rows = GetU32(&in[pos]);
    pos += 4;
    if (rows < 2 || rows > kBlockSize + 1 || in.size() - pos < size_t{rows} + 8)
        return false;
    const uint8_t* column = &in[pos];
    pos += rows;
    const uint32_t first = GetU32(&in[pos]);
    const uint32_t last = GetU32(&in[pos + 4]);
    pos += 8;
    if (first >= rows || last >= rows || first == last)
        return false;
    block.column = column;
    block.rows = rows;
    block.first = first;
    block.last = last;

    // Offsets of the symbols in the first column; the row at `last` holds
    // the end of the block, above every byte. Runs of one byte would make
    // each count wait for the one before, so the rows are counted and
    // placed as two halves, each with its own counts.
    const uint32_t mid = rows / 2;
    uint32_t countLow[kEnd + 1] = {};
    uint32_t countHigh[kEnd + 1] = {};
    for (uint32_t i = 0; i < mid; ++i) {
        ++countLow[column[i]];
        ++countHigh[column[mid + i]];
    }
    if (rows % 2)
        ++countHigh[column[rows - 1]];
    uint32_t* const lastCounts = last < mid ? countLow : countHigh;
    --lastCounts[column[last]];
    ++lastCounts[kEnd];
    uint32_t offsetLow[kEnd + 1];
    uint32_t offsetHigh[kEnd + 1];
    uint32_t sum = 0;
    for (int c = 0; c <= kEnd; ++c) {
        offsetLow[c] = sum;
        offsetHigh[c] = sum + countLow[c];
        sum += countLow[c] + countHigh[c];
    }
    // next[r] = the row that follows row r, shifted up 8 bits, with that
    // row's byte in the low 8 bits: one load per decoded byte. prev is
    // the inverse permutation: the row that precedes a row.
    std::vector<uint32_t>& next = block.next;
    std::vector<uint32_t>& prev = block.prev;
    next.resize(rows);
    prev.resize(rows);
    auto place = [&](uint32_t i, uint32_t* offsets) {
        const unsigned symbol = i == last ? kEnd : column[i];
        const uint32_t r = offsets[symbol]++;
        next[r] = i << 8 | column[i];
        prev[i] = r;
    };
    for (uint32_t i = 0; i < mid; ++i) {
        place(i, offsetLow);
        place(mid + i, offsetHigh);
    }
    if (rows % 2)
        place(rows - 1, offsetHigh);
    return true;
}

// The block is the chain of rows from the one that starts at position 1 to
// `last`; a valid block passes every row but `last` once on the way. Each
// step waits for a load, so the chain is walked from both ends at once,
// forwards from `first` over the first half and backwards from `last` over
// the second; the two walks must meet in the same row, and neither may pass
// `last` on the way.
class Walk {
public:
    Walk(const Block& block, Bytes& out)
        : m_next(block.next.data()), m_prev(block.prev.data()), m_column(block.column), m_last(block.last),
          m_length(block.rows - 1), m_half(m_length / 2), m_p(block.first), m_byte(block.column[block.first]),
          m_q(block.last)
    {
        out.resize(m_length);
        m_dst = out.data();
    }

    uint32_t half() const { return m_half; }

    // Step k (< half()) of both walks.
    void step(uint32_t k)
    {
        m_passedLast |= m_p == m_last;
        m_dst[k] = static_cast<uint8_t>(m_byte);
        const uint32_t link = m_next[m_p];
        m_p = link >> 8;
        m_byte = link & 0xFF;
        m_q = m_prev[m_q];
        m_dst[m_length - 1 - k] = m_column[m_q];
        m_passedLast |= m_q == m_last;
    }

    // The steps from k on; true when the block was valid.
    bool finish(uint32_t k)
    {
        for (; k < m_half; ++k)
            step(k);
        if (m_length - m_half > m_half) {
            m_q = m_prev[m_q];
            m_dst[m_half] = m_column[m_q];
            m_passedLast |= m_q == m_last;
        }
        return !m_passedLast && m_p == m_q;
    }

private:
    const uint32_t* m_next;
    const uint32_t* m_prev;
    const uint8_t* m_column;
    uint32_t m_last;
    uint32_t m_length;
    uint32_t m_half;
    uint32_t m_p;
    uint32_t m_byte;
    uint32_t m_q;
    uint8_t* m_dst = nullptr;
    bool m_passedLast = false;
};

// Decodes the blocks in order into take(bytes), which returns false to stop;
// false at the first block that cannot come from the encoder. Blocks are
// independent, so two at a time are walked together: four chains of loads
// in flight instead of two.
template <typename Take>
bool DecodeBlocks(ByteView in, Block (&blocks)[2], Bytes (&bytes)[2], Take&& take)
{
    size_t pos = 0;
    while (pos < in.size()) {
        if (!ReadBlock(in, pos, blocks[0]))
            return false;
        if (pos == in.size()) {
            Walk walk(blocks[0], bytes[0]);
            return walk.finish(0) && take(ByteView(bytes[0]));
        }
        // A bad second block still lets the first one through.
        const bool secondRead = ReadBlock(in, pos, blocks[1]);
        if (!secondRead) {
            Walk walk(blocks[0], bytes[0]);
            if (walk.finish(0))
                take(ByteView(bytes[0]));
            return false;
        }
        Walk a(blocks[0], bytes[0]);
        Walk b(blocks[1], bytes[1]);
        const uint32_t together = std::min(a.half(), b.half());
        for (uint32_t k = 0; k < together; ++k) {
            a.step(k);
            b.step(k);
        }
        const bool okA = a.finish(together);
        const bool okB = b.finish(together);
        if (!okA || !take(ByteView(bytes[0])))
            return false;
        if (!okB || !take(ByteView(bytes[1])))
            return false;
    }
    return true;
}

} // namespace

struct UnsortRoom::Tables {
    Block blocks[2];
    Bytes bytes[2];
};

UnsortRoom::UnsortRoom() : m_tables(std::make_unique<Tables>()) {}

UnsortRoom::~UnsortRoom() = default;

bool BWTDecode(ByteView in, Bytes& out, UnsortRoom& room)
{
    UnsortRoom::Tables& t = room.tables();
    return DecodeBlocks(in, t.blocks, t.bytes, [&](ByteView bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
        return true;
    });
}

bool BWTDecode(ByteView in, Bytes& out)
{
    UnsortRoom room;
    return BWTDecode(in, out, room);
}

bool BWTRLEDecode(ByteView in, Bytes& out, size_t limit)
{
    // Each block goes through the run-length decoder while it is in the
    // cache; a block that fails ends both stages.
    RunLengthDecoder runs(out, limit, in.size() + in.size() / 8 + 64);
    UnsortRoom room;
    UnsortRoom::Tables& t = room.tables();
    return DecodeBlocks(in, t.blocks, t.bytes, [&](ByteView bytes) { return runs.feed(bytes); });
}

} // namespace zlcomp
