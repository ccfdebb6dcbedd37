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
#include <memory>
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

// Where streamed bytes come from and go to.
class ByteSource {
public:
    // Up to `size` bytes into `buffer`; 0 only at the end.
    virtual size_t read(uint8_t* buffer, size_t size) = 0;

protected:
    ~ByteSource() = default;
};

class ByteSink {
public:
    // Called once, before any write, with the stream's method byte.
    virtual void start(uint8_t method) {}
    virtual void write(ByteView bytes) = 0;

protected:
    ~ByteSink() = default;
};

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

// Working room of the block-sort decoder, kept from call to call so that its
// tables are not allocated and cleared for every block.
class UnsortRoom {
public:
    UnsortRoom();
    ~UnsortRoom();
    UnsortRoom(const UnsortRoom&) = delete;
    UnsortRoom& operator=(const UnsortRoom&) = delete;

    struct Tables;
    Tables& tables() { return *m_tables; }

private:
    std::unique_ptr<Tables> m_tables;
};
bool BWTDecode(ByteView in, Bytes& out, UnsortRoom& room);
size_t ArithEncode(ByteView in, Bytes& out);
// MTFEncode, RLEEncode and ArithEncode in one pass (the same bytes).
size_t MTFRLEArithEncode(ByteView in, Bytes& out);
bool ArithDecode(ByteView in, Bytes& out, size_t limit = kNoLimit);
// ArithDecode, RLEDecode and MTFDecode in one pass (the same result, and the
// same bound on the final output).
bool ArithRLEMTFDecode(ByteView in, Bytes& out, size_t limit = kNoLimit);

// Run-length coding of data that comes in pieces: the same bytes as
// RLEEncode of the whole.
class RunLengthEncoder {
public:
    void feed(ByteView in, Bytes& out);
    void finish(Bytes& out);

private:
    uint8_t m_prev = 0;
    bool m_inRun = false;
    unsigned m_count = 0;
};

// MTFEncode, RLEEncode and ArithEncode of block-sort output that comes in
// pieces: the same bytes as MTFRLEArithEncode of the whole, appended to
// `out` as they are settled (the owner may take them out between calls).
class BlockCodeEncoder {
public:
    explicit BlockCodeEncoder(Bytes& out);
    ~BlockCodeEncoder();
    BlockCodeEncoder(const BlockCodeEncoder&) = delete;
    BlockCodeEncoder& operator=(const BlockCodeEncoder&) = delete;

    void feed(ByteView in);
    void finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Takes decoded bytes from the front of a window that has filled up.
class DecodedBytesTaker {
public:
    // Sets `taken` to the number of bytes taken from the front of `bytes`;
    // false stops the decoding.
    virtual bool take(ByteView bytes, size_t& taken) = 0;

protected:
    ~DecodedBytesTaker() = default;
};

// ArithRLEMTFDecode of a payload read from `in`, with the decoded bytes
// collecting in `window`, which the taker empties whenever it fills up; what
// it did not take stays in `window` at the end. `limit` bounds all decoded
// bytes, taken or not.
bool ArithRLEMTFDecode(ByteSource& in, Bytes& window, size_t limit, DecodedBytesTaker& taker);

// The same decoding split in two stages that may run on two threads.
// ArithDecode of a payload read from `in`, with the decoded bytes handed to
// `take` in pieces of `piece` bytes (the last one shorter, possibly empty);
// `take` returns false to stop the decoding. False when the input is corrupt
// or `take` stopped it.
class DecodedPieceTaker {
public:
    virtual bool take(ByteView piece) = 0;

protected:
    ~DecodedPieceTaker() = default;
};
bool ArithDecode(ByteSource& in, size_t piece, DecodedPieceTaker& take);

// RLEDecode and MTFDecode of the arithmetic decoder's bytes, fed in pieces
// (split anywhere), into a window as ArithRLEMTFDecode with a taker does.
// `window` is cut to what the taker left when the decoder goes.
class BlockCodeDecoder {
public:
    BlockCodeDecoder(Bytes& window, size_t limit, DecodedBytesTaker& taker);
    ~BlockCodeDecoder();
    BlockCodeDecoder(const BlockCodeDecoder&) = delete;
    BlockCodeDecoder& operator=(const BlockCodeDecoder&) = delete;

    // False once the bound was reached or the taker stopped; it then takes
    // no more.
    bool feed(ByteView bytes);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

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
    // Hands what was written so far to `sink` and reuses its room (the bound
    // still counts it).
    void drain(ByteSink& sink);
    // Bytes written since the last drain.
    size_t written() const { return static_cast<size_t>(m_dst - m_out.data()) - m_start; }

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

// The block-sort code of one block (at most kBlockSize bytes), appended to
// `out`: what BWTEncode writes for it. `sa` is working room.
void BWTEncodeBlock(ByteView block, std::vector<int32_t>& sa, Bytes& out);

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

// The same streams as Compress and Decompress, read from `in` and written to
// `out` piece by piece: memory stays bounded by the block size and the blocks
// in flight, whatever the data's size. With `threads` 1 all work is done on
// the caller's thread. With more, compression sorts blocks on `threads`
// worker threads while the caller codes them; decompression uses
// DecompressionThreads(threads) in all: the caller decodes the arithmetic
// code (the stage every block waits for), a second thread undoes the
// run-length and move-to-front codes, and a third unsorts the blocks. `in` and `out` are only used on the
// caller's thread. Exceptions of `in` and `out` pass through.
void CompressStream(ByteSource& in, ByteSink& out, unsigned threads);
bool DecompressStream(ByteSource& in, ByteSink& out, size_t limit, unsigned threads);

// The threads decompression runs on when given `threads`: at most three,
// as more would wait for the arithmetic decoding and only hold memory.
unsigned DecompressionThreads(unsigned threads);

// The threads the file functions use: the processors, at most four.
unsigned DefaultThreads();

// Splits a stream into its method byte and payload: a stream whose first 7
// bytes are not "ZLComp" and a method byte is stored data (method 0, the
// payload is the whole stream).
uint8_t SplitStream(ByteView stream, ByteView& payload);

} // namespace zlcomp
