// Decompresses arbitrary bytes (never a crash, hang or runaway allocation),
// and checks that compressing the same bytes round-trips.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>

#include "zlcomp_core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const zlcomp::ByteView input(data, size);
    zlcomp::Bytes out;
    // Crafted streams can expand by orders of magnitude; the bound keeps a
    // run within the fuzzer's memory.
    zlcomp::Decompress(input, out, 16u << 20);

    const zlcomp::Bytes stream = zlcomp::Compress(input);
    zlcomp::Bytes back;
    if (!zlcomp::Decompress(stream, back) || back.size() != size ||
        (size && !std::equal(back.begin(), back.end(), data)))
        std::abort();
    return 0;
}
