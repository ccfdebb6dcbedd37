// The colours of a device-independent bitmap's pixels, read from a copy of
// its header, colour table and rows: what the outline tracer of a shaped
// window asks for each pixel.
#pragma once

#include "dib_stream.h"

#include <vector>

namespace shapes {

constexpr DWORD kInvalidColor = 0xFFFFFFFF;  // as CLR_INVALID

class DibPixels {
public:
    // Copies a block (40-byte header, colour table, rows). False, leaving the
    // reader empty, for a block whose rows or colours it does not hold.
    bool Load(const BYTE* block, size_t size);
    bool IsEmpty() const { return m_rows.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // 0x00BBGGRR; kInvalidColor outside the picture or for an index past the colour table.
    DWORD Color(int x, int y) const;
    // Each of red, green and blue within the tolerance of the key's.
    bool IsTransparent(int x, int y, DWORD key, BYTE tolerance, bool outside) const;

private:
    std::vector<DWORD> m_colors;
    std::vector<BYTE> m_rows;
    DWORD m_stride = 0;
    int m_width = 0, m_height = 0, m_bits = 0;
    bool m_topDown = false;
};

}  // namespace shapes
