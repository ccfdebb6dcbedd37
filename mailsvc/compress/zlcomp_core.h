// The ZLComp block-sorting compressor on byte buffers.
//
// A ZLComp stream is the 6 characters "ZLComp", one method byte and the
// payload. The compressor always writes method 'B': arithmetic code of the
// run-length code of the move-to-front code of the block sort of the
// run-length code of the data. Every byte of the format is fixed, because
// files made by one build must read in every other build.
//
// Every call keeps its own tables, so any number of threads may compress and
// decompress at the same time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace zlcomp {

using Bytes = std::vector<uint8_t>;
using ByteView = std::span<const uint8_t>;

// The block sort works on blocks of this many bytes (the last one shorter).
inline constexpr size_t kBlockSize = 65536;
// No limit on the size of decoded data (beyond the memory the process gets).
inline constexpr size_t kNoLimit = std::numeric_limits<size_t>::max();

inline constexpr uint8_t kMethodStored = 0x00;  // no header: the data itself
inline constexpr uint8_t kMethodArith = 0x41;   // 'A'
inline constexpr uint8_t kMethodBlock = 0x42;   // 'B', the one the compressor writes
inline constexpr uint8_t kMethodMTF = 0x4D;     // 'M'
inline constexpr uint8_t kMethodRLE = 0x52;     // 'R'

// The stages. Encoders append to `out` and return the number of bytes written.
// Decoders append to `out`; they return false when the input is corrupt (what
// was decoded before the fault stays in `out`) or when they would append more
// than `limit` bytes.
size_t RLEEncode(ByteView in, Bytes& out);
bool RLEDecode(ByteView in, Bytes& out, size_t limit = kNoLimit);
// BWTDecode and RLEDecode in one pass, block by block (the same result, and
// the same bound on the final output).
bool BWTRLEDecode(ByteView in, Bytes& out, size_t limit = kNoLimit);
size_t MTFEncode(ByteView in, Bytes& out);
void MTFDecode(ByteView in, Bytes& out);
void BWTEncode(ByteView in, Bytes& out);
bool BWTDecode(ByteView in, Bytes& out);
size_t ArithEncode(ByteView in, Bytes& out);
// MTFEncode, RLEEncode and ArithEncode in one pass (the same bytes).
size_t MTFRLEArithEncode(ByteView in, Bytes& out);
bool ArithDecode(ByteView in, Bytes& out, size_t limit = kNoLimit);
// ArithDecode, RLEDecode and MTFDecode in one pass (the same result, and the
// same bound on the final output).
bool ArithRLEMTFDecode(ByteView in, Bytes& out, size_t limit = kNoLimit);

// Run-length decoding of a code that comes in pieces (split anywhere): the
// bytes are appended to `out`, which is cut to what was written when the
// decoder goes. Nothing else may change `out` meanwhile. `expected` is a
// guess of the output's size (it only sizes the first buffer).
class RunLengthDecoder {
public:
    RunLengthDecoder(Bytes& out, size_t limit, size_t expected);
    ~RunLengthDecoder();
    RunLengthDecoder(const RunLengthDecoder&) = delete;
    RunLengthDecoder& operator=(const RunLengthDecoder&) = delete;

    // False once the output would pass the bound: it then holds the bytes up
    // to the bound, and takes no more.
    bool feed(ByteView code);

private:
    bool put(uint8_t c, size_t run);

    Bytes& m_out;
    size_t m_start;
    size_t m_limit;
    uint8_t* m_dst;
    uint8_t* m_end;
    uint8_t m_prev = 0;
    bool m_countNext = false;  // the last byte opened a run; its count comes next
    bool m_ok = true;
};

// Sorts the n + 1 suffixes of `block` (the empty one included), where the end
// of the block ranks above every byte value: sa receives the start positions
// in order, sa.size() == block.size() + 1. Linear time whatever the data.
void SortSuffixes(ByteView block, std::vector<int32_t>& sa);

// The whole ZLComp stream (header and method 'B' payload) of `data`.
Bytes Compress(ByteView data);

// Decodes a ZLComp stream (or stored data, which is anything without a
// complete 7-byte header) and appends the data to `out`. False when the stream
// is corrupt, has an unknown method byte, or a stage's output would exceed
// `limit` bytes (a bound against crafted streams that expand without end);
// what could be decoded before the fault is still appended.
bool Decompress(ByteView stream, Bytes& out, size_t limit = kNoLimit);

// Splits a stream into its method byte and payload: a stream whose first 7
// bytes are not "ZLComp" and a method byte is stored data (method 0, the
// payload is the whole stream).
uint8_t SplitStream(ByteView stream, ByteView& payload);

} // namespace zlcomp
