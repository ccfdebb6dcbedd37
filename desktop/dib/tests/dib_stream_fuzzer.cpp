// Reads arbitrary bytes as a ".bmp" stream: each input ends in a picture or a
// refusal, never an overrun; an accepted picture is written back and read again.
#include "dib_stream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> input(data, data + size);
    std::vector<BYTE> block;
    bool ok;
    {
        CMemFile file(input.data(), static_cast<UINT>(input.size()));
        CArchive ar(&file, CArchive::load);
        ok = dib::ReadStream(ar, block);
    }
    if (!ok)
        return 0;
    dib::Header h;
    if (!dib::ReadHeader(block.data(), block.size(), h))
        abort();
    if (40ull + dib::ColorTableBytes(h) + static_cast<uint64_t>(dib::RowBytes(h)) * dib::Rows(h) > block.size() &&
        h.compression == 0)
        abort();
    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        if (!dib::WriteStream(ar, block))
            abort();
        ar.Close();
    }
    const UINT length = out.GetLength();
    BYTE* written = out.Detach();
    std::vector<BYTE> again;
    {
        CMemFile file(written, length);
        CArchive ar(&file, CArchive::load);
        if (!dib::ReadStream(ar, again) || again != block)
            abort();
    }
    free(written);
    return 0;
}
