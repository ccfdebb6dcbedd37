// A plain bit-at-a-time arithmetic coder, kept as the reference that the
// library's batched coder must match bit for bit.
#pragma once

#include <array>
#include "zlcomp_core.h"

namespace zlcomp_ref {
using zlcomp::Bytes;
using zlcomp::ByteView;

constexpr int32_t kTopValue = 65535;
constexpr int32_t kFirstQuarter = 16384;
constexpr int32_t kHalf = 32768;
constexpr int32_t kThirdQuarter = 49152;
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
    std::array<int32_t, kSymbols + 1> cum;

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

    void update(int symbol)
    {
        if (cum[0] >= kMaxFrequency) {
            int32_t total = 0;
            for (int i = kSymbols; i >= 0; --i) {
                freq[i] = (freq[i] + 1) / 2;
                cum[i] = total;
                total += freq[i];
            }
        }
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
        while (i > 0) {
            --i;
            cum[i] += 1;
        }
    }
};

class BitWriter {
public:
    explicit BitWriter(Bytes& out) : m_out(out) {}
    void put(int bit)
    {
        m_buffer >>= 1;
        if (bit)
            m_buffer |= 0x80;
        if (--m_bitsToGo == 0) {
            m_out.push_back(static_cast<uint8_t>(m_buffer));
            m_bitsToGo = 8;
        }
    }
    // The partial byte goes out always, 0x00 when it holds no bits.
    void finish() { m_out.push_back(static_cast<uint8_t>(m_buffer >> m_bitsToGo)); }

private:
    Bytes& m_out;
    unsigned m_buffer = 0;
    int m_bitsToGo = 8;
};

class BitReader {
public:
    explicit BitReader(ByteView in) : m_in(in) {}
    // False once more than kMaxGarbageBytes bytes past the end were needed.
    bool get(int32_t& bit)
    {
        if (m_bitsToGo == 0) {
            if (m_pos < m_in.size()) {
                m_buffer = m_in[m_pos++];
            } else {
                if (++m_garbage > kMaxGarbageBytes)
                    return false;
                m_buffer = 0xFF;
            }
            m_bitsToGo = 8;
        }
        bit = static_cast<int32_t>(m_buffer & 1);
        m_buffer >>= 1;
        --m_bitsToGo;
        return true;
    }

private:
    ByteView m_in;
    size_t m_pos = 0;
    unsigned m_buffer = 0;
    int m_bitsToGo = 0;
    int m_garbage = 0;
};

class Encoder {
public:
    explicit Encoder(Bytes& out) : m_bits(out) {}

    void encode(int symbol, const Model& model)
    {
        const int32_t range = m_high - m_low + 1;
        const int32_t total = model.cum[0];
        m_high = m_low + range * model.cum[symbol - 1] / total - 1;
        m_low = m_low + range * model.cum[symbol] / total;
        for (;;) {
            if (m_high < kHalf) {
                emit(0);
            } else if (m_low >= kHalf) {
                emit(1);
                m_low -= kHalf;
                m_high -= kHalf;
            } else if (m_low >= kFirstQuarter && m_high < kThirdQuarter) {
                ++m_pending;
                m_low -= kFirstQuarter;
                m_high -= kFirstQuarter;
            } else {
                break;
            }
            m_low = 2 * m_low;
            m_high = 2 * m_high + 1;
        }
    }

    void finish()
    {
        ++m_pending;
        emit(m_low < kFirstQuarter ? 0 : 1);
        m_bits.finish();
    }

private:
    void emit(int bit)
    {
        m_bits.put(bit);
        for (; m_pending > 0; --m_pending)
            m_bits.put(!bit);
    }

    BitWriter m_bits;
    int32_t m_low = 0;
    int32_t m_high = kTopValue;
    long m_pending = 0;
};

inline size_t ArithEncode(ByteView in, Bytes& out)
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

inline bool ArithDecode(ByteView in, Bytes& out, size_t limit = SIZE_MAX)
{
    Model model;
    BitReader bits(in);
    const size_t start = out.size();
    int32_t value = 0;
    for (int i = 0; i < 16; ++i) {
        int32_t bit;
        if (!bits.get(bit))
            return false;
        value = 2 * value + bit;
    }
    int32_t low = 0;
    int32_t high = kTopValue;
    for (;;) {
        const int32_t range = high - low + 1;
        const int32_t total = model.cum[0];
        const int32_t cum = ((value - low + 1) * total - 1) / range;
        // The first index whose cumulative count is <= cum: frequent symbols
        // sit at the lowest indexes, so look there first, then bisect.
        int symbol = 1;
        while (symbol < 8 && model.cum[symbol] > cum)
            ++symbol;
        if (model.cum[symbol] > cum) {
            int hi = kSymbols;  // cum[257] == 0 <= cum for any stream state
            if (model.cum[hi] > cum)
                return false;
            while (symbol < hi) {
                const int mid = (symbol + hi) / 2;
                if (model.cum[mid] > cum)
                    symbol = mid + 1;
                else
                    hi = mid;
            }
        }
        high = low + range * model.cum[symbol - 1] / total - 1;
        low = low + range * model.cum[symbol] / total;
        for (;;) {
            if (high < kHalf) {
                // nothing to subtract
            } else if (low >= kHalf) {
                value -= kHalf;
                low -= kHalf;
                high -= kHalf;
            } else if (low >= kFirstQuarter && high < kThirdQuarter) {
                value -= kFirstQuarter;
                low -= kFirstQuarter;
                high -= kFirstQuarter;
            } else {
                break;
            }
            low = 2 * low;
            high = 2 * high + 1;
            int32_t bit;
            if (!bits.get(bit))
                return false;
            value = 2 * value + bit;
        }
        if (symbol == kEndSymbol)
            return true;
        if (out.size() - start >= limit)
            return false;
        out.push_back(model.indexToChar[symbol]);
        model.update(symbol);
    }
}

} // namespace zlcomp_ref
