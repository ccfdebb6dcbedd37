// The ".bmp" stream of a device-independent bitmap and the memory block that
// holds one: a 40-byte information header, the colour table (4 bytes a colour)
// and the pixel rows, as in a ".bmp" file after its 14-byte file header.
// Portable: the picture classes keep the block in global memory on Windows.
#pragma once

#include "fx/fx.h"

#include <cstddef>
#include <vector>

namespace dib {

constexpr WORD kFileMagic = 0x4D42;  // "BM"
constexpr DWORD kInfoHeaderSize = 40;
constexpr DWORD kCoreHeaderSize = 12;
constexpr DWORD kFileHeaderSize = 14;
// Largest picture side and pixel data accepted from a stream: far beyond any
// picture the program shows, small enough that sizes never overflow.
constexpr LONG kMaxSide = 32767;
constexpr DWORD kMaxImageBytes = 64u << 20;

// The fields of a block's header, read from either header kind.
struct Header {
    DWORD size = 0;        // 40 (information header) or 12 (core header)
    LONG width = 0;
    LONG height = 0;       // negative: the rows are stored top-down
    WORD planes = 0;
    WORD bitCount = 0;
    DWORD compression = 0;
    DWORD imageSize = 0;
    DWORD colorsUsed = 0;
};

// Reads the header at the start of a block; false when the block is too short.
bool ReadHeader(const BYTE* block, size_t size, Header& out);

DWORD ColorCount(const Header& h);
DWORD ColorTableBytes(const Header& h);
DWORD RowBytes(const Header& h);
LONG Rows(const Header& h);  // |height|

// Reads a ".bmp" stream into a block with a 40-byte header. Refuses, leaving
// the block empty: a stream without "BM", a header size it does not know, sizes,
// colour counts or depths a picture cannot have, or data that ends early. A
// size read from the stream is never allocated before its bytes have come.
bool ReadStream(CArchive& ar, std::vector<BYTE>& block);

// Writes a block with a 40-byte header as a ".bmp" stream; false for any other
// block (nothing is written then).
bool WriteStream(CArchive& ar, const std::vector<BYTE>& block);

// A picture of 8 or more bits per pixel at a new size: each source column and
// row repeated a whole number of times (possibly none), the counts spread
// evenly so that they add up to the new width and height. False for other
// depths, compressed pictures or sizes out of range (out is left empty).
bool Rescale(const std::vector<BYTE>& block, LONG width, LONG height, std::vector<BYTE>& out);

}  // namespace dib
