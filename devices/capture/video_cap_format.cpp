#include "video_cap.h"

#include "capture_arithmetic.h"

#include <cstring>

std::vector<BYTE> CVideoCap::BuildFormat(unsigned bits, int width, int height)
{
    if (VideoCapMath::DepthBit(bits) < 0)
        return {};
    // A colour count kept from the driver's format only while it suits the depth.
    uint32_t colours = 0;
    if (m_pFormat && m_pFormat->bmiHeader.biBitCount == bits &&
        VideoCapMath::ColourTableBytes(bits, m_pFormat->bmiHeader.biClrUsed) >= 0)
        colours = m_pFormat->bmiHeader.biClrUsed;
    long table = VideoCapMath::ColourTableBytes(bits, colours);
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(table), 0);
    BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bits);
    h->biCompression = BI_RGB;
    h->biClrUsed = colours;
    h->biSizeImage = VideoCapMath::UncompressedFrameSize(width, height, bits);
    // The driver's palette goes along when it has one of that size.
    if (table > 0 && m_pFormat && m_pFormat->bmiHeader.biBitCount == bits &&
        VideoCapMath::FormatBlockFits(m_nFormatSize, m_pFormat->bmiHeader.biSize, bits,
                                      m_pFormat->bmiHeader.biClrUsed) &&
        VideoCapMath::ColourTableBytes(bits, m_pFormat->bmiHeader.biClrUsed) == table)
        std::memcpy(block.data() + sizeof(BITMAPINFOHEADER),
                    reinterpret_cast<const BYTE*>(m_pFormat) + m_pFormat->bmiHeader.biSize,
                    static_cast<size_t>(table));
    return block;
}

BOOL CVideoCap::SendFormat(std::vector<BYTE>& block)
{
    if (block.empty())
        return FALSE;
    BOOL set = Cap(WM_CAP_SET_VIDEOFORMAT, block.size(), reinterpret_cast<LPARAM>(block.data())) ? TRUE : FALSE;
    ReadFormat();
    return set;
}

BOOL CVideoCap::SetFormat(BITMAPINFO* format)
{
    if (!CheckReady() || !format)
        return FALSE;
    const BITMAPINFOHEADER& h = format->bmiHeader;
    if (!VideoCapMath::FormatBlockFits(VideoCapMath::kMaxFormatBlock, h.biSize, h.biBitCount, h.biClrUsed))
        return FALSE;
    DWORD size = h.biSize + static_cast<DWORD>(VideoCapMath::ColourTableBytes(h.biBitCount, h.biClrUsed));
    BOOL set = Cap(WM_CAP_SET_VIDEOFORMAT, size, reinterpret_cast<LPARAM>(format)) ? TRUE : FALSE;
    ReadFormat();
    return set;
}

BOOL CVideoCap::SetBitResolution(UINT bits)
{
    if (!CheckReady() || !m_pFormat)
        return FALSE;
    int bit = VideoCapMath::DepthBit(bits);
    if (bit < 0 || !(m_nBitsMask & (1 << bit)))
        return FALSE;
    std::vector<BYTE> block =
        BuildFormat(bits, static_cast<int>(m_pFormat->bmiHeader.biWidth), static_cast<int>(m_pFormat->bmiHeader.biHeight));
    return SendFormat(block);
}

BOOL CVideoCap::SetFrameSize(int width, int height)
{
    if (!CheckReady() || !m_pFormat)
        return FALSE;
    if (m_pFormat->bmiHeader.biWidth == width && m_pFormat->bmiHeader.biHeight == height)
        return TRUE;
    std::vector<BYTE> block = BuildFormat(m_pFormat->bmiHeader.biBitCount, width, height);
    BOOL set = SendFormat(block);
    ReadStatus();
    AutoSize();
    return set;
}

CSize CVideoCap::GetFrameSize()
{
    CSize size;
    if (m_nDriverIndex >= 0 && m_pFormat) {
        size.cx = m_pFormat->bmiHeader.biWidth;
        size.cy = m_pFormat->bmiHeader.biHeight;
    }
    return size;
}

DWORD CVideoCap::GetCurrentBitsResolution()
{
    if (!CheckReady() || !ReadFormat())
        return 0;
    return m_pFormat->bmiHeader.biBitCount;
}

DWORD CVideoCap::GetRequiredBufferSize()
{
    if (m_nDriverIndex < 0 || !m_pFormat)
        return 0;
    const BITMAPINFOHEADER& h = m_pFormat->bmiHeader;
    return VideoCapMath::UncompressedFrameSize(h.biWidth, h.biHeight, h.biBitCount);
}

BOOL CVideoCap::EnumValidFrameSize(CSize& size, int i)
{
    if (!CheckReady())
        return FALSE;
    if (m_ValidSizes.GetSize() == 0) {
        ProbeFrameSizes();
    }
    if (i < 0 || i >= m_ValidSizes.GetSize())
        return FALSE;
    VideoCapMath::FrameSize f = VideoCapMath::UnpackSize(m_ValidSizes[i]);
    size.cx = f.width;
    size.cy = f.height;
    return TRUE;
}

BOOL CVideoCap::IsSupportedBitsResolution(UINT bits)
{
    int bit = VideoCapMath::DepthBit(bits);
    if (bit < 0)
        return FALSE;
    if (m_nBitsMask == 0 && IsReady())
        ProbeDepths();
    return (m_nBitsMask & (1 << bit)) ? TRUE : FALSE;
}
