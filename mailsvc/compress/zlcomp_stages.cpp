// Run-length, move-to-front and arithmetic stages of the ZLComp compressor.
#include "zlcomp_core.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

namespace zlcomp {

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;

} // namespace

// ---------------------------------------------------------------------------
// Run-length code: a byte equal to the one before it is followed by a count
// (0..255) of further copies. The byte before the first one counts as 0x00.

// The coder as a state machine over pieces of the data: a byte equal to the
// one before opens a run; its count goes out when a different byte or the cap
// of 255 ends it (a byte after a capped run is compared with the run's byte).
void RunLengthEncoder::feed(ByteView in, Bytes& out)
{
    out.reserve(out.size() + in.size() + in.size() / 64 + 16);
    const size_t n = in.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t c = in[i];
        if (m_inRun) {
            if (c == m_prev && m_count < 255) {
                ++m_count;
                ++i;
                continue;
            }
            out.push_back(static_cast<uint8_t>(m_count));
            m_inRun = false;
        }
        out.push_back(c);
        ++i;
        if (c == m_prev) {
            m_inRun = true;
            m_count = 0;
        }
        m_prev = c;
    }
}

void RunLengthEncoder::finish(Bytes& out)
{
    if (m_inRun)
        out.push_back(static_cast<uint8_t>(m_count));
    m_inRun = false;
}

size_t RLEEncode(ByteView in, Bytes& out)
{
    const size_t start = out.size();
    RunLengthEncoder encoder;
    encoder.feed(in, out);
    encoder.finish(out);
    return out.size() - start;
}

RunLengthDecoder::RunLengthDecoder(Bytes& out, size_t limit, size_t expected)
    : m_out(out), m_start(out.size()), m_limit(limit)
{
    m_out.resize(m_start + std::min(limit, std::max(expected, size_t{64})));
    m_dst = m_out.data() + m_start;
    m_end = m_out.data() + m_out.size();
}

RunLengthDecoder::~RunLengthDecoder() { m_out.resize(static_cast<size_t>(m_dst - m_out.data())); }

bool RunLengthDecoder::feed(ByteView code)
{
    if (!m_ok)
        return false;
    const size_t n = code.size();
    size_t i = 0;
    if (m_countNext && n > 0) {
        // The byte itself went out when it came.
        m_countNext = false;
        if (!put(m_prev, code[i++]))
            return false;
    }
    uint8_t prev = m_prev;
    while (i < n) {
        const uint8_t c = code[i++];
        size_t run = 1;
        if (c == prev) {
            if (i < n)
                run += code[i++];
            else
                m_countNext = true;
        }
        prev = c;
        if (run <= 8 && m_end - m_dst >= 8) {
            // Short runs, the usual ones: one word stored, the part past the
            // run overwritten later.
            const uint64_t word = kOnes * c;
            std::memcpy(m_dst, &word, sizeof word);
            m_dst += run;
        } else if (!put(c, run)) {
            return false;
        }
    }
    m_prev = prev;
    return true;
}

void RunLengthDecoder::drain(ByteSink& sink)
{
    uint8_t* const start = m_out.data() + m_start;
    const size_t written = static_cast<size_t>(m_dst - start);
    if (written == 0)
        return;
    sink.write(ByteView(start, written));
    // The bound counts what went out before too; the room is cut to what
    // is left of it, so that a run crossing it is still caught in put().
    m_limit -= written;
    m_dst = start;
    if (static_cast<size_t>(m_end - start) > m_limit)
        m_end = start + m_limit;
}

// `run` copies of c: the output grows by doubling, and never beyond the bound,
// so only a run that does not fit can cross it.
bool RunLengthDecoder::put(uint8_t c, size_t run)
{
    if (run > static_cast<size_t>(m_end - m_dst)) {
        const size_t used = static_cast<size_t>(m_dst - m_out.data());
        const size_t written = used - m_start;
        if (run > m_limit - written) {
            // Only the bytes up to the bound are kept.
            run = m_limit - written;
            m_ok = false;
        }
        m_out.resize(m_start + std::min(m_limit, std::max(written + run, 2 * (m_out.size() - m_start))));
        m_dst = m_out.data() + used;
        m_end = m_out.data() + m_out.size();
    }
    std::memset(m_dst, c, run);
    m_dst += run;
    return m_ok;
}

bool RLEDecode(ByteView in, Bytes& out, size_t limit)
{
    RunLengthDecoder decoder(out, limit, in.size() + in.size() / 8 + 64);
    return decoder.feed(in);
}

// ---------------------------------------------------------------------------
// Move-to-front code over a table of the 256 byte values. Most positions are
// small, so the table is searched and shifted eight entries at a time.

namespace {

static_assert(std::endian::native == std::endian::little, "tables are read as little-endian words");

class MoveToFrontTable {
public:
    MoveToFrontTable()
    {
        for (int i = 0; i < 256; ++i)
            m_table[i] = static_cast<uint8_t>(i);
    }

    // Position of c (which is always in the table).
    unsigned find(uint8_t c) const
    {
        const uint64_t pattern = kOnes * c;
        for (unsigned p = 0;; p += 8) {
            const uint64_t x = load(p) ^ pattern;
            // The lowest zero byte of x is found exactly (higher ones may be
            // false hits, which the lowest set bit ignores).
            const uint64_t zero = (x - kOnes) & ~x & (kOnes << 7);
            if (zero)
                return p + static_cast<unsigned>(std::countr_zero(zero)) / 8;
        }
    }

    uint8_t at(unsigned p) const { return m_table[p]; }

    // Moves the entry at p (which is c) to the front.
    void moveToFront(unsigned p, uint8_t c)
    {
        if (p < 8) {
            const uint64_t w = load(0);
            const uint64_t keep = p == 7 ? 0 : ~uint64_t{0} << (8 * (p + 1));
            store(0, ((w << 8 | c) & ~keep) | (w & keep));
        } else {
            std::memmove(&m_table[1], &m_table[0], p);
            m_table[0] = c;
        }
    }

private:
    uint64_t load(unsigned p) const
    {
        uint64_t w;
        std::memcpy(&w, &m_table[p], sizeof w);
        return w;
    }
    void store(unsigned p, uint64_t w) { std::memcpy(&m_table[p], &w, sizeof w); }

    uint8_t m_table[256];
};

} // namespace

size_t MTFEncode(ByteView in, Bytes& out)
{
    MoveToFrontTable table;
    const size_t start = out.size();
    out.resize(start + in.size());
    uint8_t* dst = out.data() + start;
    for (const uint8_t c : in) {
        const unsigned p = table.find(c);
        table.moveToFront(p, c);
        *dst++ = static_cast<uint8_t>(p);
    }
    return in.size();
}

void MTFDecode(ByteView in, Bytes& out)
{
    MoveToFrontTable table;
    const size_t start = out.size();
    out.resize(start + in.size());
    uint8_t* dst = out.data() + start;
    for (const uint8_t p : in) {
        const uint8_t c = table.at(p);
        table.moveToFront(p, c);
        *dst++ = c;
    }
}

// ---------------------------------------------------------------------------
// Adaptive order-0 arithmetic code with 16-bit code values (Witten, Neal and
// Cleary's coder and frequency model). Symbol indexes 1..256 stand for the
// byte values, 257 for the end of the stream.

namespace {

constexpr int32_t kTopValue = 65535;
constexpr int32_t kFirstQuarter = 16384;
constexpr int32_t kMaxFrequency = 16383;
constexpr int kSymbols = 257;  // highest index
constexpr int kEndSymbol = 257;
// Bytes of 1 bits supplied past the end of the input before the stream is
// taken as corrupt (a well-formed stream needs at most two).
constexpr int kMaxGarbageBytes = 14;

// The frequency model. cum[i] is the sum of the frequencies of the indexes
// above i, so cum[0] is the total; frequent symbols drift to low indexes.
struct Model {
    std::array<uint16_t, 256> charToIndex;
    std::array<uint8_t, kSymbols + 1> indexToChar;
    std::array<int32_t, kSymbols + 1> freq;
    // Aligned, so that update's writes to cum[0..7] are two whole vector words.
    alignas(32) std::array<int32_t, kSymbols + 1> cum;

    Model()
    {
        for (int i = 0; i < 256; ++i) {
            charToIndex[i] = static_cast<uint16_t>(i + 1);
            indexToChar[i + 1] = static_cast<uint8_t>(i);
        }
        indexToChar[0] = 0;
        for (int i = 0; i <= kSymbols; ++i) {
            freq[i] = 1;
            cum[i] = kSymbols - i;
        }
        freq[0] = 0;
    }

    void update(int symbol) { update(symbol, cum[0]); }

    // The same, for a caller that keeps the total (cum[0]) at hand: returns
    // the new total, so the caller's next symbol need not wait for it to be
    // read back from the table.
    [[gnu::always_inline]] int32_t update(int symbol, int32_t total)
    {
        if (total >= kMaxFrequency)
            total = halve();
        // Frequencies never rise with the index (from 1 up), so the lowest
        // index of the symbol's equal-frequency run is found by bisection.
        int i = symbol;
        if (freq[i] == freq[i - 1]) {
            const int32_t f = freq[symbol];
            int lo = 1;
            while (lo < i) {
                const int mid = (lo + i) / 2;
                if (freq[mid] > f)
                    lo = mid + 1;
                else
                    i = mid;
            }
        }
        if (i < symbol) {
            const uint8_t ci = indexToChar[i];
            const uint8_t cs = indexToChar[symbol];
            indexToChar[i] = cs;
            indexToChar[symbol] = ci;
            charToIndex[ci] = static_cast<uint16_t>(symbol);
            charToIndex[cs] = static_cast<uint16_t>(i);
        }
        freq[i] += 1;
        // cum[0..i-1] += 1. Most symbols sit at the lowest indexes: the first
        // eight counts are raised without a branch on i, the rest in a loop.
        for (int j = 0; j < 8; ++j)
            cum[j] += static_cast<int32_t>(j < i);
        for (int j = 8; j < i; ++j)
            cum[j] += 1;
        return total + 1;
    }

    // Halves every frequency (none drops to 0); returns the new total. Rare,
    // so kept out of line.
    [[gnu::noinline]] int32_t halve()
    {
        int32_t total = 0;
        for (int i = kSymbols; i >= 0; --i) {
            freq[i] = (freq[i] + 1) / 2;
            cum[i] = total;
            total += freq[i];
        }
        return total;
    }
};

// Bits are packed from the least significant end of each byte: the first
// bit of a byte is its bit 0. Runs of bits go in and out in one step.
uint32_t Reverse16(uint32_t v)
{
    v = (v & 0x5555) << 1 | (v >> 1 & 0x5555);
    v = (v & 0x3333) << 2 | (v >> 2 & 0x3333);
    v = (v & 0x0F0F) << 4 | (v >> 4 & 0x0F0F);
    return (v & 0x00FF) << 8 | (v >> 8 & 0x00FF);
}

// Exact division by the model's total through a multiplication: for
// n < 2^30 and 2^(l-1) < d <= 2^l, floor(n / d) == n x ceil(2^(30+l) / d)
// >> (30 + l). The totals stay below 16384, so one table holds them all. It
// is built by the compiler: a fresh process neither computes it nor zeroes
// fresh pages for it, and reads only the part the totals reach.
struct Divider {
    uint32_t mul;
    uint32_t shift;
};

constexpr std::array<Divider, kMaxFrequency + 1> kTotalDividers = [] {
    std::array<Divider, kMaxFrequency + 1> t{};
    t[0] = {0, 0};
    for (uint32_t d = 1; d <= static_cast<uint32_t>(kMaxFrequency); ++d) {
        const uint32_t l = d == 1 ? 0 : 32 - static_cast<uint32_t>(std::countl_zero(d - 1));
        const uint64_t pow = uint64_t{1} << (30 + l);
        t[d] = {static_cast<uint32_t>((pow + d - 1) / d), 30 + l};
    }
    return t;
}();

const Divider* TotalDividers() { return kTotalDividers.data(); }

inline int32_t Divide(int32_t n, Divider d)
{
    return static_cast<int32_t>((static_cast<uint64_t>(static_cast<uint32_t>(n)) * d.mul) >> d.shift);
}

class BitWriter {
public:
    explicit BitWriter(Bytes& out) : m_out(out) {}

    // `count` (<= 32) bits of `bits`, the first one in bit 0.
    void put(uint32_t bits, int count)
    {
        m_acc |= static_cast<uint64_t>(bits) << m_count;
        m_count += count;
        if (m_count >= 32) {
            uint8_t bytes[4];
            for (int i = 0; i < 4; ++i)
                bytes[i] = static_cast<uint8_t>(m_acc >> (8 * i));
            m_out.insert(m_out.end(), bytes, bytes + 4);
            m_acc >>= 32;
            m_count -= 32;
        }
    }
    // `count` copies of one bit.
    void repeat(uint32_t bit, unsigned long count)
    {
        const uint32_t word = bit ? 0xFFFFFFFFu : 0u;
        for (; count > 16; count -= 16)
            put(word & 0xFFFF, 16);
        put(word & ((1u << count) - 1), static_cast<int>(count));
    }
    // The whole bytes, then the partial byte, always (0x00 when it holds no bits).
    void finish()
    {
        while (m_count >= 8) {
            m_out.push_back(static_cast<uint8_t>(m_acc));
            m_acc >>= 8;
            m_count -= 8;
        }
        m_out.push_back(static_cast<uint8_t>(m_acc));
    }

private:
    Bytes& m_out;
    uint64_t m_acc = 0;
    int m_count = 0;
};

// Each byte with its bits in reverse order.
constexpr std::array<uint8_t, 256> kReversedBytes = [] {
    std::array<uint8_t, 256> t{};
    for (unsigned v = 0; v < 256; ++v) {
        unsigned r = 0;
        for (int b = 0; b < 8; ++b)
            r |= (v >> b & 1) << (7 - b);
        t[v] = static_cast<uint8_t>(r);
    }
    return t;
}();

class BitReader {
public:
    // Reads all of `in`.
    explicit BitReader(ByteView in)
        : m_cur(in.data()), m_stop(in.data() + in.size()), m_budget(8 * (uint64_t{in.size()} + kMaxGarbageBytes))
    {}
    // Reads `more` piece by piece; the garbage budget is known once it ends.
    explicit BitReader(ByteSource& more) : m_more(&more) {}

    // The next `count` (0..31) bits, the first one read as the most
    // significant. Past the end of the input come 1 bits.
    uint32_t take(int count)
    {
        if (m_count < count)
            refill();
        m_count -= count;
        m_used += static_cast<uint64_t>(count);
        return static_cast<uint32_t>(m_acc >> m_count) & ((1u << count) - 1);
    }
    // False once more than kMaxGarbageBytes bytes past the end were needed.
    bool ok() const { return m_used <= m_budget; }

private:
    static constexpr size_t kSourcePiece = 65536;

    // Bytes enter reversed, so the stream reads from the top of the
    // accumulator down without reversing on every take.
    void refill()
    {
        // Stops at 56..63 bits held, so a shift by m_count stays below 64.
        while (m_count <= 55) {
            const uint8_t byte = m_cur != m_stop ? *m_cur++ : nextPiece();
            m_acc = m_acc << 8 | kReversedBytes[byte];
            m_count += 8;
        }
    }

    // The first byte of the next piece of the source, or a 1-bit filler byte
    // past the end.
    [[gnu::noinline]] uint8_t nextPiece()
    {
        if (m_more) {
            // Not zeroed: only the bytes read are ever touched.
            if (!m_piece)
                m_piece.reset(new uint8_t[kSourcePiece]);
            const size_t got = m_more->read(m_piece.get(), kSourcePiece);
            m_seen += got;
            if (got > 0) {
                m_cur = m_piece.get();
                m_stop = m_cur + got;
                return *m_cur++;
            }
            m_more = nullptr;
            m_budget = 8 * (m_seen + kMaxGarbageBytes);
        }
        return 0xFF;
    }

    const uint8_t* m_cur = nullptr;
    const uint8_t* m_stop = nullptr;
    ByteSource* m_more = nullptr;
    std::unique_ptr<uint8_t[]> m_piece;
    uint64_t m_seen = 0;
    uint64_t m_acc = 0;
    int m_count = 0;
    uint64_t m_used = 0;
    uint64_t m_budget = ~uint64_t{0};
};

// Leading bits that the 16-bit values low and high share: settled bits.
inline int SharedBits(uint32_t low, uint32_t high)
{
    const uint32_t diff = (low ^ high) & 0xFFFF;
    return diff ? std::countl_zero(diff) - 16 : 16;
}

// Underflow steps: low = 01..., high = 10...; each step drops the second bit
// of both. Counts the positions below the top where low has 1 and high 0.
inline int StraddleBits(uint32_t low, uint32_t high)
{
    const uint32_t both = (low & ~high & 0x7FFF) << 17;
    return std::min(std::countl_one(both), 15);
}

class Encoder {
public:
    explicit Encoder(Bytes& out) : m_bits(out), m_dividers(TotalDividers()) {}

    void encode(int symbol, const Model& model)
    {
        const int32_t range = m_high - m_low + 1;
        const Divider total = m_dividers[model.cum[0]];
        uint32_t high = static_cast<uint32_t>(m_low + Divide(range * model.cum[symbol - 1], total) - 1);
        uint32_t low = static_cast<uint32_t>(m_low + Divide(range * model.cum[symbol], total));
        const int k = SharedBits(low, high);
        if (k > 0) {
            // The first settled bit releases the pending opposite bits.
            const uint32_t first = low >> 15 & 1;
            m_bits.put(first, 1);
            if (m_pending) {
                m_bits.repeat(first ^ 1, m_pending);
                m_pending = 0;
            }
            if (k > 1)
                m_bits.put(Reverse16(low) >> 1 & ((1u << (k - 1)) - 1), k - 1);
            low = low << k & 0xFFFF;
            high = (high << k | ((1u << k) - 1)) & 0xFFFF;
        }
        const int m = StraddleBits(low, high);
        if (m > 0) {
            m_pending += static_cast<unsigned long>(m);
            low = low << m & 0x7FFF;
            high = ((high << m | ((1u << m) - 1)) & 0x7FFF) | 0x8000;
        }
        m_low = static_cast<int32_t>(low);
        m_high = static_cast<int32_t>(high);
    }

    void finish()
    {
        ++m_pending;
        const uint32_t bit = m_low < kFirstQuarter ? 0 : 1;
        m_bits.put(bit, 1);
        m_bits.repeat(bit ^ 1, m_pending);
        m_bits.finish();
    }

private:
    BitWriter m_bits;
    const Divider* m_dividers;
    int32_t m_low = 0;
    int32_t m_high = kTopValue;
    unsigned long m_pending = 0;
};

} // namespace

size_t ArithEncode(ByteView in, Bytes& out)
{
    const size_t start = out.size();
    out.reserve(start + in.size() / 2 + 16);
    Model model;
    Encoder enc(out);
    for (const uint8_t c : in) {
        const int symbol = model.charToIndex[c];
        enc.encode(symbol, model);
        model.update(symbol);
    }
    enc.encode(kEndSymbol, model);
    enc.finish();
    return out.size() - start;
}

// The move-to-front coder, the run-length coder as a state machine over
// its indexes and the arithmetic coder, kept between pieces of the input.
struct BlockCodeEncoder::State {
    explicit State(Bytes& out) : enc(out) {}

    void code(uint8_t c)
    {
        const int symbol = model.charToIndex[c];
        enc.encode(symbol, model);
        model.update(symbol);
    }

    Model model;
    Encoder enc;
    MoveToFrontTable table;
    uint8_t prev = 0;
    bool inRun = false;
    unsigned count = 0;
};

BlockCodeEncoder::BlockCodeEncoder(Bytes& out) : m_state(std::make_unique<State>(out)) {}

BlockCodeEncoder::~BlockCodeEncoder() = default;

void BlockCodeEncoder::feed(ByteView in)
{
    State& st = *m_state;
    // A byte equal to the one before opens a run, whose count is coded when
    // a different byte or the cap of 255 ends it.
    uint8_t prev = st.prev;
    bool inRun = st.inRun;
    unsigned count = st.count;
    for (const uint8_t b : in) {
        const unsigned p = st.table.find(b);
        st.table.moveToFront(p, b);
        const uint8_t c = static_cast<uint8_t>(p);
        if (inRun) {
            if (c == prev && count < 255) {
                ++count;
                continue;
            }
            st.code(static_cast<uint8_t>(count));
            inRun = false;
            // A byte after a capped run is compared with the run's byte; a
            // different byte simply follows.
        }
        st.code(c);
        if (c == prev) {
            inRun = true;
            count = 0;
        }
        prev = c;
    }
    st.prev = prev;
    st.inRun = inRun;
    st.count = count;
}

void BlockCodeEncoder::finish()
{
    State& st = *m_state;
    if (st.inRun)
        st.code(static_cast<uint8_t>(st.count));
    st.inRun = false;
    st.enc.encode(kEndSymbol, st.model);
    st.enc.finish();
}

size_t MTFRLEArithEncode(ByteView in, Bytes& out)
{
    const size_t start = out.size();
    out.reserve(start + in.size() / 2 + 16);
    BlockCodeEncoder encoder(out);
    encoder.feed(in);
    encoder.finish();
    return out.size() - start;
}

namespace {

// Decodes symbols into sink(byte), which returns false to stop (a bound was
// reached). False when the input is corrupt or the sink stopped.
template <typename Sink>
bool ArithDecodeInto(BitReader& bits, Sink&& sink)
{
    const Divider* dividers = TotalDividers();
    Model model;
    uint32_t value = bits.take(16);
    uint32_t low = 0;
    uint32_t high = kTopValue;
    int32_t totalCount = model.cum[0];
    if (!bits.ok())
        return false;
    for (;;) {
        // The bits read so far were checked at the end of the last round.
        const int32_t range = static_cast<int32_t>(high - low + 1);
        const int32_t offset = static_cast<int32_t>(value - low);
        if (offset < 0 || offset >= range)
            return false;  // cannot happen for any input; keeps the search bounded
        const Divider total = dividers[totalCount];
        // The symbol whose subinterval holds the value: the first index s
        // with range x cum(s) / total <= offset, that is with range x cum(s)
        // < (offset + 1) x total (all below 2^30). Frequent symbols sit at
        // the lowest indexes: the first seven are counted without branches
        // (independent multiplications, no mispredicted search); else the
        // count the value stands for is computed, and the indexes above it
        // counted over the next 32 and bisected past them.
        const uint32_t reach = static_cast<uint32_t>(offset + 1) * static_cast<uint32_t>(totalCount);
        const uint32_t urange = static_cast<uint32_t>(range);
        int symbol = 1;
        for (int s = 1; s <= 7; ++s)
            symbol += static_cast<int>(urange * static_cast<uint32_t>(model.cum[s]) >= reach);
        if (symbol == 8) {
            const int32_t cum = static_cast<int32_t>((reach - 1) / urange);
            int count = 0;
            for (int s = 8; s < 40; ++s)
                count += static_cast<int>(model.cum[s] > cum);
            symbol = 8 + count;
            if (count == 32) {
                // The answer lies in [40, 257] (cum[257] == 0 <= cum).
                int n = kSymbols - symbol + 1;
                while (n > 1) {
                    const int half = n / 2;
                    symbol += half * static_cast<int>(model.cum[symbol + half - 1] > cum);
                    n -= half;
                }
            }
        }
        const int32_t upper = Divide(range * model.cum[symbol - 1], total);
        const int32_t lower = Divide(range * model.cum[symbol], total);
        high = low + static_cast<uint32_t>(upper) - 1;
        low = low + static_cast<uint32_t>(lower);
        // Renormalisation without branches on the bit counts: shifts by 0
        // change nothing, and after the settled bits are gone low < 0x8000
        // <= high, so the underflow step with m == 0 keeps them too.
        const int k = SharedBits(low, high);
        low = low << k & 0xFFFF;
        high = (high << k | ((1u << k) - 1)) & 0xFFFF;
        const int m = StraddleBits(low, high);
        low = low << m & 0x7FFF;
        high = ((high << m | ((1u << m) - 1)) & 0x7FFF) | 0x8000;
        // The value drops its k settled bits and then the m bits below its
        // top one, taking k + m new bits: both steps from one read, since
        // m depends on low and high alone.
        const uint64_t wide = uint64_t{value} << (k + m) | bits.take(k + m);
        value = static_cast<uint32_t>((wide >> m & 0x8000) | (wide & 0x7FFF));
        if (!bits.ok())
            return false;
        if (symbol == kEndSymbol)
            return true;
        if (!sink(model.indexToChar[symbol]))
            return false;
        totalCount = model.update(symbol, totalCount);
    }
}

// Run-length decoding and move-to-front decoding of the arithmetic decoder's
// bytes as they come: the block-sort payload without two passes over
// intermediate buffers. Runs of index 0 (the usual ones) become fills.
class RunLengthMoveToFrontSink {
public:
    // With a taker, `out` is a window: whenever it fills up, the taker takes
    // pieces from its front and the rest moves down.
    RunLengthMoveToFrontSink(Bytes& out, size_t limit, DecodedBytesTaker* taker = nullptr)
        : m_out(out), m_left(limit), m_taker(taker)
    {
        // The bytes are written in place; `out` is cut to what was written
        // when the sink goes. It grows as the bytes come (within any room
        // reserved, without moving), so a short stream touches little memory.
        const size_t start = m_out.size();
        m_out.resize(start + 4096);
        m_dst = m_out.data() + start;
        m_end = m_out.data() + m_out.size();
    }
    ~RunLengthMoveToFrontSink() { m_out.resize(static_cast<size_t>(m_dst - m_out.data())); }
    RunLengthMoveToFrontSink(const RunLengthMoveToFrontSink&) = delete;
    RunLengthMoveToFrontSink& operator=(const RunLengthMoveToFrontSink&) = delete;

    bool operator()(uint8_t c)
    {
        if (m_countNext) {
            m_countNext = false;
            return emit(m_prev, c);
        }
        if (c == m_prev)
            m_countNext = true;
        m_prev = c;
        // One byte, the usual case, inline.
        if (m_left == 0)
            return false;
        --m_left;
        if (m_dst == m_end && !grow(1))
            return false;
        const uint8_t b = m_table.at(c);
        m_table.moveToFront(c, b);
        *m_dst++ = b;
        return true;
    }

private:
    // `count` times the move-to-front index p.
    bool emit(uint8_t p, size_t count)
    {
        if (count > m_left)
            return false;
        m_left -= count;
        if (count == 0)
            return true;
        if (static_cast<size_t>(m_end - m_dst) < count && !grow(count))
            return false;
        uint8_t c = m_table.at(p);
        m_table.moveToFront(p, c);
        if (count == 1) {
            *m_dst++ = c;
        } else if (p == 0) {
            std::memset(m_dst, c, count);
            m_dst += count;
        } else {
            *m_dst++ = c;
            for (size_t i = 1; i < count; ++i) {
                c = m_table.at(p);
                m_table.moveToFront(p, c);
                *m_dst++ = c;
            }
        }
        return true;
    }

    // Room for `count` more bytes; false when the taker stops the decoding.
    [[gnu::noinline]] bool grow(size_t count)
    {
        size_t used = static_cast<size_t>(m_dst - m_out.data());
        if (m_taker) {
            size_t taken = 0;
            const bool more = m_taker->take(ByteView(m_out.data(), used), taken);
            std::memmove(m_out.data(), m_out.data() + taken, used - taken);
            used -= taken;
            m_dst = m_out.data() + used;
            if (!more)
                return false;
            if (static_cast<size_t>(m_end - m_dst) >= count)
                return true;
        }
        m_out.resize(std::max(used + count, m_out.size() * 2));
        m_dst = m_out.data() + used;
        m_end = m_out.data() + m_out.size();
        return true;
    }

    Bytes& m_out;
    uint8_t* m_dst;
    uint8_t* m_end;
    size_t m_left;
    DecodedBytesTaker* m_taker;
    MoveToFrontTable m_table;
    uint8_t m_prev = 0;
    bool m_countNext = false;
};

} // namespace

bool ArithDecode(ByteView in, Bytes& out, size_t limit)
{
    size_t left = limit;
    BitReader bits(in);
    return ArithDecodeInto(bits, [&](uint8_t c) {
        if (left == 0)
            return false;
        --left;
        out.push_back(c);
        return true;
    });
}

bool ArithRLEMTFDecode(ByteView in, Bytes& out, size_t limit)
{
    RunLengthMoveToFrontSink sink(out, limit);
    BitReader bits(in);
    return ArithDecodeInto(bits, sink);
}

bool ArithRLEMTFDecode(ByteSource& in, Bytes& window, size_t limit, DecodedBytesTaker& taker)
{
    RunLengthMoveToFrontSink sink(window, limit, &taker);
    BitReader bits(in);
    return ArithDecodeInto(bits, sink);
}

namespace {

// Collects decoded bytes into a piece, handed on whenever it fills up.
class PieceSink {
public:
    PieceSink(size_t piece, DecodedPieceTaker& taker) : m_piece(new uint8_t[piece]), m_taker(taker)
    {
        m_dst = m_piece.get();
        m_end = m_dst + piece;
    }

    bool operator()(uint8_t c)
    {
        if (m_dst == m_end && !handOn())
            return false;
        *m_dst++ = c;
        return true;
    }

    // The bytes not yet handed on, unless the taker stopped; false when it
    // stopped, now or before.
    bool finish() { return !m_stopped && handOn(); }

private:
    [[gnu::noinline]] bool handOn()
    {
        const uint8_t* const start = m_piece.get();
        m_stopped = !m_taker.take(ByteView(start, static_cast<size_t>(m_dst - start)));
        m_dst = m_piece.get();
        return !m_stopped;
    }

    std::unique_ptr<uint8_t[]> m_piece;  // not zeroed
    uint8_t* m_dst;
    uint8_t* m_end;
    DecodedPieceTaker& m_taker;
    bool m_stopped = false;
};

} // namespace

bool ArithDecode(ByteSource& in, size_t piece, DecodedPieceTaker& take)
{
    PieceSink sink(std::max(piece, size_t{1}), take);
    BitReader bits(in);
    const bool ok = ArithDecodeInto(bits, sink);
    return sink.finish() && ok;
}

struct BlockCodeDecoder::State {
    State(Bytes& window, size_t limit, DecodedBytesTaker& taker) : sink(window, limit, &taker) {}
    RunLengthMoveToFrontSink sink;
    bool ok = true;
};

BlockCodeDecoder::BlockCodeDecoder(Bytes& window, size_t limit, DecodedBytesTaker& taker)
    : m_state(std::make_unique<State>(window, limit, taker))
{}

BlockCodeDecoder::~BlockCodeDecoder() = default;

bool BlockCodeDecoder::feed(ByteView bytes)
{
    State& st = *m_state;
    if (!st.ok)
        return false;
    for (const uint8_t c : bytes) {
        if (!st.sink(c)) {
            st.ok = false;
            return false;
        }
    }
    return true;
}

} // namespace zlcomp
