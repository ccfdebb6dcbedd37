#include "dib_pixels.h"

#include <cstdlib>

namespace shapes {

namespace {

DWORD Rgb(BYTE r, BYTE g, BYTE b) { return r | g << 8 | static_cast<DWORD>(b) << 16; }

}  // namespace

bool DibPixels::Load(const BYTE* block, size_t size)
{
    *this = DibPixels();
    dib::Header h;
    if (!dib::ReadHeader(block, size, h) || h.size != dib::kInfoHeaderSize || h.compression != 0 || h.width < 1 ||
        h.height == 0 || h.width > dib::kMaxSide || dib::Rows(h) > dib::kMaxSide)
        return false;
    if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 &&
        h.bitCount != 32)
        return false;
    const DWORD colors = dib::ColorCount(h);
    const unsigned long long table = dib::kInfoHeaderSize + 4ull * colors;
    const unsigned long long rows = static_cast<unsigned long long>(dib::RowBytes(h)) * dib::Rows(h);
    if (colors > 256 || table + rows > size)
        return false;
    for (DWORD i = 0; i < colors; ++i) {
        const BYTE* c = block + dib::kInfoHeaderSize + i * 4;
        m_colors.push_back(Rgb(c[2], c[1], c[0]));
    }
    m_rows.assign(block + table, block + table + rows);
    m_stride = dib::RowBytes(h);
    m_width = h.width;
    m_height = dib::Rows(h);
    m_bits = h.bitCount;
    m_topDown = h.height < 0;
    return true;
}

DWORD DibPixels::Color(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return kInvalidColor;
    const size_t row = static_cast<size_t>(m_topDown ? y : m_height - 1 - y) * m_stride;
    const size_t bit = static_cast<size_t>(x) * m_bits;
    const BYTE* p = m_rows.data() + row + bit / 8;
    switch (m_bits) {
    case 24:
    case 32: return Rgb(p[2], p[1], p[0]);
    case 16: {
        // Five bits a channel, the way uncompressed 16-bit pictures store them.
        const unsigned v = p[0] | p[1] << 8;
        return Rgb(static_cast<BYTE>((v >> 10 & 31) * 255 / 31), static_cast<BYTE>((v >> 5 & 31) * 255 / 31),
                   static_cast<BYTE>((v & 31) * 255 / 31));
    }
    default: {
        const unsigned index = static_cast<BYTE>(p[0] << (bit % 8)) >> (8 - m_bits);
        return index < m_colors.size() ? m_colors[index] : kInvalidColor;
    }
    }
}

bool DibPixels::IsTransparent(int x, int y, DWORD key, BYTE tolerance, bool outside) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return outside;
    const DWORD c = Color(x, y);
    if (c == kInvalidColor)
        return false;
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>(c >> shift & 0xFF) - static_cast<int>(key >> shift & 0xFF)) > tolerance)
            return false;
    return true;
}

}  // namespace shapes
