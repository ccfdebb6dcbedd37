// The file-level entry points of the compressor.
#include "zlcomp.h"

#include <algorithm>
#include <new>

#include "fx/file.h"
#include "zlcomp_core.h"

namespace {

// Files are read and written in pieces of this size.
constexpr UINT kPiece = 65535;

zlcomp::Bytes ReadRest(CFile* file)
{
    zlcomp::Bytes data;
    for (;;) {
        const size_t at = data.size();
        data.resize(at + kPiece);
        const UINT got = file->Read(data.data() + at, kPiece);
        data.resize(at + got);
        if (got == 0)
            return data;
    }
}

void WriteAll(CFile* file, const zlcomp::Bytes& data)
{
    for (size_t at = 0; at < data.size(); at += kPiece) {
        const size_t piece = std::min<size_t>(kPiece, data.size() - at);
        file->Write(data.data() + at, static_cast<UINT>(piece));
    }
}

} // namespace

int ZLCompress(CFile* in, CFile* out)
{
    zlcomp::Bytes stream;
    in->SeekToBegin();
    try {
        stream = zlcomp::Compress(ReadRest(in));
    } catch (const std::bad_alloc&) {
        in->SeekToBegin();
        return 0;
    }
    out->SeekToBegin();
    out->SetLength(0);
    WriteAll(out, stream);
    out->SeekToBegin();
    in->SeekToBegin();
    return 1;
}

int ZLDeCompress(CFile* in, CFile* out)
{
    bool ok = false;
    bool stored = false;
    zlcomp::Bytes data;
    try {
        const zlcomp::Bytes stream = ReadRest(in);
        zlcomp::ByteView payload;
        stored = zlcomp::SplitStream(stream, payload) == zlcomp::kMethodStored;
        ok = zlcomp::Decompress(stream, data);
    } catch (const std::bad_alloc&) {
        data.clear();
        data.shrink_to_fit();
        ok = false;
    }
    if (stored) {
        out->SeekToBegin();
        out->SetLength(0);
    }
    WriteAll(out, data);
    in->SeekToBegin();
    out->SeekToBegin();
    return ok ? 1 : 0;
}
