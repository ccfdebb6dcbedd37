// Decompresses arbitrary bytes (never a crash, hang or runaway allocation),
// whole and streamed - on the caller's thread and on the threaded decoder,
// fed in small pieces - and checks that both roads agree, and that
// compressing the same bytes round-trips both ways.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>

#include "zlcomp_core.h"

namespace {

// Hands the input out in pieces of varying size, as a file or socket would.
class PieceSource : public zlcomp::ByteSource {
public:
    PieceSource(zlcomp::ByteView data, size_t piece) : m_data(data), m_piece(piece ? piece : 1) {}
    size_t read(uint8_t* buffer, size_t size) override
    {
        size_t n = std::min({size, m_piece, m_data.size() - m_pos});
        std::copy_n(m_data.data() + m_pos, n, buffer);
        m_pos += n;
        m_piece = m_piece % 7 + 1;  // 1..7 bytes, then again
        return n;
    }

private:
    zlcomp::ByteView m_data;
    size_t m_piece;
    size_t m_pos = 0;
};

class CollectSink : public zlcomp::ByteSink {
public:
    void write(zlcomp::ByteView bytes) override { out.insert(out.end(), bytes.begin(), bytes.end()); }
    zlcomp::Bytes out;
};

// The bound keeps a crafted stream that expands by orders of magnitude within
// the fuzzer's memory.
constexpr size_t kLimit = 16u << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const zlcomp::ByteView input(data, size);
    zlcomp::Bytes whole;
    const bool wholeOk = zlcomp::Decompress(input, whole, kLimit);

    // The streamed decoder, single-threaded and threaded, must give the
    // same verdict, and the same bytes when the stream is sound.
    for (unsigned threads : {1u, 3u}) {
        PieceSource in(input, size % 5 + 1);
        CollectSink streamed;
        const bool ok = zlcomp::DecompressStream(in, streamed, kLimit, threads);
        if (ok != wholeOk || (ok && streamed.out != whole))
            std::abort();
    }

    const zlcomp::Bytes stream = zlcomp::Compress(input);
    zlcomp::Bytes back;
    if (!zlcomp::Decompress(stream, back) || back.size() != size ||
        (size && !std::equal(back.begin(), back.end(), data)))
        std::abort();
    PieceSource packedIn(stream, 3);
    CollectSink backStreamed;
    if (!zlcomp::DecompressStream(packedIn, backStreamed, zlcomp::kNoLimit, 3) || backStreamed.out != back)
        std::abort();
    return 0;
}
