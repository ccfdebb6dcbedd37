// Reading and writing the ".bmp" stream. Every count in a stream is checked
// before it is used: a hostile file gets a refusal, never an overrun.
#include "dib_stream.h"

#include <algorithm>
#include <cstring>

namespace dib {
namespace {

constexpr UINT kPiece = 16384;

DWORD Le32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<DWORD>(p[3]) << 24; }
WORD Le16(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }
void Put32(BYTE* p, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}
void Put16(BYTE* p, WORD v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}

bool ReadExactly(CArchive& ar, void* buffer, UINT count) { return ar.Read(buffer, count) == count; }

// Header versions after the 40-byte one carry colour masks and colour-space
// data the program does not use; their first 40 bytes are the same.
bool KnownHeaderSize(DWORD size)
{
    return size == kInfoHeaderSize || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool ValidDepth(WORD bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// Uncompressed rows, or run-length codes of their own depth for a bottom-up picture.
bool ValidCompression(const Header& h)
{
    switch (h.compression) {
    case 0: return true;
    case 1: return h.bitCount == 8 && h.height > 0;
    case 2: return h.bitCount == 4 && h.height > 0;
    default: return false;
    }
}

void StoreInfoHeader(BYTE* p, const Header& h, DWORD xPels, DWORD yPels, DWORD important)
{
    std::memset(p, 0, kInfoHeaderSize);
    Put32(p, kInfoHeaderSize);
    Put32(p + 4, static_cast<DWORD>(h.width));
    Put32(p + 8, static_cast<DWORD>(h.height));
    Put16(p + 12, h.planes);
    Put16(p + 14, h.bitCount);
    Put32(p + 16, h.compression);
    Put32(p + 20, h.imageSize);
    Put32(p + 24, xPels);
    Put32(p + 28, yPels);
    Put32(p + 32, h.colorsUsed);
    Put32(p + 36, important);
}

// The fields of a 40-byte information header, and of a 12-byte core one.
void LoadInfoFields(const BYTE* p, Header& h)
{
    h.width = static_cast<LONG>(Le32(p + 4));
    h.height = static_cast<LONG>(Le32(p + 8));
    h.planes = Le16(p + 12);
    h.bitCount = Le16(p + 14);
    h.compression = Le32(p + 16);
    h.imageSize = Le32(p + 20);
    h.colorsUsed = Le32(p + 32);
}

void LoadCoreFields(const BYTE* p, Header& h)
{
    h.width = Le16(p + 4);
    h.height = Le16(p + 6);
    h.planes = Le16(p + 8);
    h.bitCount = Le16(p + 10);
}

}  // namespace

bool ReadHeader(const BYTE* block, size_t size, Header& out)
{
    out = Header();
    if (!block || size < 4)
        return false;
    out.size = Le32(block);
    if (out.size == kInfoHeaderSize) {
        if (size < kInfoHeaderSize)
            return false;
        LoadInfoFields(block, out);
        return true;
    }
    if (size < kCoreHeaderSize)
        return false;
    LoadCoreFields(block, out);
    return true;
}

DWORD ColorCount(const Header& h)
{
    if (h.size == kInfoHeaderSize && h.colorsUsed != 0)
        return h.colorsUsed;
    switch (h.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

DWORD ColorTableBytes(const Header& h) { return ColorCount(h) * (h.size == kInfoHeaderSize ? 4 : 3); }

DWORD RowBytes(const Header& h)
{
    const ULONGLONG bits = static_cast<ULONGLONG>(h.bitCount) * static_cast<ULONGLONG>(h.width < 0 ? 0 : h.width);
    return static_cast<DWORD>((bits + 31) / 32 * 4);
}

LONG Rows(const Header& h)
{
    if (h.height >= 0)
        return h.height;
    return static_cast<LONG>(std::min<LONGLONG>(-static_cast<LONGLONG>(h.height), 0x7FFFFFFF));
}

bool ReadStream(CArchive& ar, std::vector<BYTE>& block)
{
    block.clear();
    BYTE fileHeader[kFileHeaderSize];
    if (!ReadExactly(ar, fileHeader, kFileHeaderSize) || Le16(fileHeader) != kFileMagic)
        return false;
    BYTE raw[kInfoHeaderSize];
    if (!ReadExactly(ar, raw, 4))
        return false;
    Header h;
    h.size = Le32(raw);
    DWORD xPels = 0, yPels = 0, important = 0;
    const bool core = h.size == kCoreHeaderSize;
    if (core) {
        if (!ReadExactly(ar, raw + 4, kCoreHeaderSize - 4))
            return false;
        LoadCoreFields(raw, h);
    } else {
        if (!KnownHeaderSize(h.size) || !ReadExactly(ar, raw + 4, kInfoHeaderSize - 4))
            return false;
        for (DWORD extra = h.size - kInfoHeaderSize; extra > 0;) {
            BYTE skip[kInfoHeaderSize];
            const UINT n = std::min<DWORD>(extra, sizeof skip);
            if (!ReadExactly(ar, skip, n))
                return false;
            extra -= n;
        }
        LoadInfoFields(raw, h);
        xPels = Le32(raw + 24);
        yPels = Le32(raw + 28);
        important = Le32(raw + 36);
    }
    if (h.width < 1 || h.width > kMaxSide || h.height == 0 || h.height < -kMaxSide || h.height > kMaxSide ||
        h.planes != 1 || !ValidDepth(h.bitCount) || !ValidCompression(h))
        return false;

    // A colour table has at most as many entries as the depth can index (a
    // picture of more than 8 bits may carry up to 256 for palette devices).
    const DWORD tableLimit = h.bitCount < 9 ? 1u << h.bitCount : 256u;
    DWORD colors = h.colorsUsed;
    if (core || colors == 0)
        colors = h.bitCount < 9 ? 1u << h.bitCount : 0;
    if (colors > tableLimit)
        return false;
    h.colorsUsed = colors;
    if (h.compression == 0 || h.imageSize == 0) {
        const ULONGLONG rows = static_cast<ULONGLONG>(RowBytes(h)) * static_cast<ULONGLONG>(Rows(h));
        if (rows > kMaxImageBytes)
            return false;
        h.imageSize = static_cast<DWORD>(rows);
    }
    if (h.imageSize > kMaxImageBytes)
        return false;
    h.size = kInfoHeaderSize;

    block.resize(kInfoHeaderSize + colors * 4);
    StoreInfoHeader(block.data(), h, xPels, yPels, std::min(important, colors));
    BYTE* table = block.data() + kInfoHeaderSize;
    if (core) {
        for (DWORD i = 0; i < colors; ++i) {
            if (!ReadExactly(ar, table + i * 4, 3)) {
                block.clear();
                return false;
            }
            table[i * 4 + 3] = 0;
        }
    } else if (colors && !ReadExactly(ar, table, colors * 4)) {
        block.clear();
        return false;
    }
    // The block grows only by what has arrived: a stream that claims more
    // pixels than it holds costs no more memory than it brought.
    for (DWORD left = h.imageSize; left > 0;) {
        const UINT n = std::min<DWORD>(left, kPiece);
        const size_t at = block.size();
        block.resize(at + n);
        if (!ReadExactly(ar, block.data() + at, n)) {
            block.clear();
            return false;
        }
        left -= n;
    }
    return true;
}

bool WriteStream(CArchive& ar, const std::vector<BYTE>& block)
{
    Header h;
    if (!ReadHeader(block.data(), block.size(), h) || h.size != kInfoHeaderSize)
        return false;
    // Run-length pictures keep their stored size; rows are counted afresh.
    const ULONGLONG image = h.compression == 1 || h.compression == 2
                                ? h.imageSize
                                : static_cast<ULONGLONG>(RowBytes(h)) * static_cast<ULONGLONG>(Rows(h));
    const ULONGLONG body = kInfoHeaderSize + static_cast<ULONGLONG>(ColorTableBytes(h)) + image;
    if (body > block.size() || body > 0xFFFFFFFFull - kFileHeaderSize)
        return false;
    BYTE fileHeader[kFileHeaderSize] = {};
    Put16(fileHeader, kFileMagic);
    Put32(fileHeader + 2, static_cast<DWORD>(kFileHeaderSize + body));
    Put32(fileHeader + 10, static_cast<DWORD>(kFileHeaderSize + body - image));
    ar.Write(fileHeader, kFileHeaderSize);
    BYTE header[kInfoHeaderSize];
    std::memcpy(header, block.data(), kInfoHeaderSize);
    Put32(header + 20, static_cast<DWORD>(image));
    ar.Write(header, kInfoHeaderSize);
    for (size_t at = kInfoHeaderSize; at < body;) {
        const UINT n = static_cast<UINT>(std::min<ULONGLONG>(body - at, kPiece));
        ar.Write(block.data() + at, n);
        at += n;
    }
    return true;
}

namespace {

// How often each of `from` items is repeated to make `to`: a running
// remainder spreads the repeats evenly.
std::vector<LONG> Repeats(LONG from, LONG to)
{
    std::vector<LONG> counts(static_cast<size_t>(from));
    LONGLONG carry = 0;
    for (LONG i = 0; i < from; ++i) {
        carry += to;
        counts[static_cast<size_t>(i)] = static_cast<LONG>(carry / from);
        carry %= from;
    }
    return counts;
}

}  // namespace

bool Rescale(const std::vector<BYTE>& block, LONG width, LONG height, std::vector<BYTE>& out)
{
    out.clear();
    Header h;
    if (!ReadHeader(block.data(), block.size(), h) || h.size != kInfoHeaderSize || h.compression != 0 ||
        h.bitCount < 8 || h.width < 1 || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return false;
    const DWORD table = ColorTableBytes(h);
    const LONG rows = Rows(h);
    const DWORD srcStride = RowBytes(h);
    if (kInfoHeaderSize + table + static_cast<ULONGLONG>(srcStride) * rows > block.size())
        return false;
    Header scaled = h;
    scaled.width = width;
    const DWORD stride = RowBytes(scaled);
    const ULONGLONG image = static_cast<ULONGLONG>(stride) * height;
    if (image > kMaxImageBytes)
        return false;
    const size_t pixel = h.bitCount / 8;
    const std::vector<LONG> columns = Repeats(h.width, width), rowCounts = Repeats(rows, height);
    out.assign(block.begin(), block.begin() + kInfoHeaderSize + table);
    out.reserve(out.size() + static_cast<size_t>(image));
    // Rows are repeated in stored order: the picture's orientation is kept.
    std::vector<BYTE> line(stride, 0);
    const BYTE* src = block.data() + kInfoHeaderSize + table;
    for (LONG r = 0; r < rows; ++r) {
        if (rowCounts[static_cast<size_t>(r)] == 0)
            continue;
        size_t at = 0;
        const BYTE* in = src + static_cast<size_t>(r) * srcStride;
        for (LONG c = 0; c < h.width; ++c)
            for (LONG k = 0; k < columns[static_cast<size_t>(c)]; ++k, at += pixel)
                std::memcpy(line.data() + at, in + static_cast<size_t>(c) * pixel, pixel);
        for (LONG k = 0; k < rowCounts[static_cast<size_t>(r)]; ++k)
            out.insert(out.end(), line.begin(), line.end());
    }
    Put32(out.data() + 4, static_cast<DWORD>(width));
    Put32(out.data() + 8, static_cast<DWORD>(h.height < 0 ? -height : height));
    Put32(out.data() + 20, static_cast<DWORD>(image));
    return true;
}

}  // namespace dib
