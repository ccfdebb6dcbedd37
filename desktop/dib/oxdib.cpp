// The picture class over the stream reader: the block lives in movable global
// memory as the painting calls expect, locked only while it is used.
#include "oxdib.h"

#include "dib_stream.h"
#include "res_lib.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

IMPLEMENT_SERIAL(COXDIB, CObject, 1)

namespace {

// Locks a global block for the life of the object.
class Locked {
public:
    explicit Locked(HGLOBAL h) : m_h(h), m_p(h ? static_cast<BYTE*>(::GlobalLock(h)) : nullptr) {}
    ~Locked()
    {
        if (m_p)
            ::GlobalUnlock(m_h);
    }
    BYTE* get() const { return m_p; }
    size_t size() const { return m_p ? ::GlobalSize(m_h) : 0; }

private:
    HGLOBAL m_h;
    BYTE* m_p;
};

bool HeaderOf(HGLOBAL h, dib::Header& out)
{
    Locked block(h);
    return dib::ReadHeader(block.get(), block.size(), out);
}

}  // namespace

COXDIB::COXDIB(HGLOBAL hDIB)
{
    Locked block(hDIB);
    TakeBlock(block.get(), block.size());
}

COXDIB::COXDIB(const COXDIB& other) : CObject()
{
    Locked block(other.m_hDIB);
    TakeBlock(block.get(), block.size());
}

COXDIB::~COXDIB() { Clear(); }

COXDIB& COXDIB::operator=(const COXDIB& other)
{
    if (this != &other)
        *this = other.m_hDIB;
    return *this;
}

COXDIB& COXDIB::operator=(HGLOBAL hDIB)
{
    dib::Header h;
    if (hDIB == m_hDIB || !HeaderOf(hDIB, h) || h.size != dib::kInfoHeaderSize)
        return *this;
    Locked block(hDIB);
    std::vector<BYTE> copy(block.get(), block.get() + block.size());
    Clear();
    TakeBlock(copy.data(), copy.size());
    return *this;
}

bool COXDIB::TakeBlock(const BYTE* data, size_t size)
{
    Clear();
    if (!data || size == 0)
        return false;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!h)
        return false;
    Locked block(h);
    std::memcpy(block.get(), data, size);
    m_hDIB = h;
    BuildPalette();
    return true;
}

void COXDIB::Clear()
{
    if (m_hDIB)
        ::GlobalFree(m_hDIB);
    m_hDIB = nullptr;
    delete m_pPalette;
    m_pPalette = nullptr;
}

HGLOBAL COXDIB::ReleaseHandle()
{
    HGLOBAL h = m_hDIB;
    m_hDIB = nullptr;
    Clear();
    return h;
}

size_t COXDIB::BlockSize() const { return m_hDIB ? ::GlobalSize(m_hDIB) : 0; }

void COXDIB::BuildPalette()
{
    delete m_pPalette;
    m_pPalette = nullptr;
    dib::Header h;
    if (!HeaderOf(m_hDIB, h))
        return;
    const DWORD colors = dib::ColorCount(h);
    Locked block(m_hDIB);
    if (colors == 0 || colors > 256 || h.size + colors * 4ull > block.size())
        return;
    std::vector<BYTE> raw(sizeof(LOGPALETTE) + colors * sizeof(PALETTEENTRY));
    auto* pal = reinterpret_cast<LOGPALETTE*>(raw.data());
    pal->palVersion = 0x300;
    pal->palNumEntries = static_cast<WORD>(colors);
    const BYTE* table = block.get() + h.size;
    const int step = h.size == dib::kInfoHeaderSize ? 4 : 3;
    for (DWORD i = 0; i < colors; ++i)
        pal->palPalEntry[i] = {table[i * step + 2], table[i * step + 1], table[i * step], 0};
    auto palette = std::make_unique<CPalette>();
    if (palette->CreatePalette(pal))
        m_pPalette = palette.release();
}

bool COXDIB::ReadFrom(CArchive& ar)
{
    std::vector<BYTE> block;
    Clear();
    return dib::ReadStream(ar, block) && TakeBlock(block.data(), block.size());
}

bool COXDIB::LoadFromFileOrResource(LPCTSTR name)
{
    CFile file;
    if (file.Open(name, CFile::modeRead | CFile::shareDenyWrite)) {
        try {
            CArchive ar(&file, CArchive::load, 4096);
            return ReadFrom(ar);
        } catch (CException* e) {
            e->Delete();
            Clear();
            return false;
        }
    }
    // No such file: the picture of that name stored in the program itself
    // (or along its resource chain), read through a resource file.
    ResLib own;
    if (!own.Open(nullptr)) {
        Clear();
        return false;
    }
    std::unique_ptr<ResFile> resource(new ResFile(GMEM_MOVEABLE | GMEM_SHARE, 4096));
    if (!resource->Open(CFile::modeRead, &own, false, "ZLI_FILE", name, 0)) {
        Clear();
        return false;
    }
    bool read = false;
    try {
        CArchive ar(resource.get(), CArchive::load, 4096);
        read = ReadFrom(ar);
    } catch (CException* e) {
        e->Delete();
        Clear();
    }
    resource->Close();
    return read;
}

bool COXDIB::SaveToFile(LPCTSTR name) const
{
    Locked block(m_hDIB);
    if (!block.get())
        return false;
    const std::vector<BYTE> copy(block.get(), block.get() + block.size());
    CFile file;
    if (!file.Open(name, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        return false;
    try {
        CArchive ar(&file, CArchive::store, 4096);
        const bool ok = dib::WriteStream(ar, copy);
        ar.Close();
        return ok;
    } catch (CException* e) {
        e->Delete();
        return false;
    }
}

void COXDIB::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        Locked block(m_hDIB);
        if (block.get())
            dib::WriteStream(ar, std::vector<BYTE>(block.get(), block.get() + block.size()));
        return;
    }
    if (!ReadFrom(ar))
        AfxThrowArchiveException(CArchiveException::badIndex);
}

CSize COXDIB::PixelSize() const
{
    dib::Header h;
    if (!HeaderOf(m_hDIB, h))
        return CSize(0, 0);
    return CSize(h.width, dib::Rows(h));
}

WORD COXDIB::BitsPerPixel() const
{
    dib::Header h;
    return HeaderOf(m_hDIB, h) ? h.bitCount : 0;
}

DWORD COXDIB::ColorCount() const
{
    dib::Header h;
    return HeaderOf(m_hDIB, h) ? dib::ColorCount(h) : 0;
}

DWORD COXDIB::ColorTableBytes() const
{
    dib::Header h;
    return HeaderOf(m_hDIB, h) ? dib::ColorTableBytes(h) : 0;
}

const BYTE* COXDIB::PixelRows() const
{
    dib::Header h;
    if (!HeaderOf(m_hDIB, h))
        return nullptr;
    // A movable block does not move on Win32: its address holds while this holds the block.
    BYTE* p = static_cast<BYTE*>(::GlobalLock(m_hDIB));
    ::GlobalUnlock(m_hDIB);
    return p ? p + h.size + dib::ColorTableBytes(h) : nullptr;
}

int COXDIB::DrawTo(CDC* pDC, const CRect& dest, const CRect& source) const
{
    dib::Header h;
    if (!pDC || !HeaderOf(m_hDIB, h) || h.size != dib::kInfoHeaderSize)
        return 0;
    Locked block(m_hDIB);
    const BYTE* rows = block.get() + h.size + dib::ColorTableBytes(h);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(block.get());
    CPalette* old = m_pPalette ? pDC->SelectPalette(m_pPalette, FALSE) : nullptr;
    if (m_pPalette)
        pDC->RealizePalette();
    pDC->SetStretchBltMode(COLORONCOLOR);
    int result;
    if (dest.Width() == source.Width() && dest.Height() == source.Height()) {
        // Rows are counted from the bottom of a bottom-up picture.
        const LONG rowsHigh = dib::Rows(h);
        const int ySrc = h.height > 0 ? rowsHigh - source.top - source.Height() : source.top;
        result = pDC->SetDIBitsToDevice(dest.left, dest.top, source.Width(), source.Height(), source.left, ySrc, 0,
                                        rowsHigh, rows, info, DIB_RGB_COLORS);
    } else {
        result = pDC->StretchDIBits(dest.left, dest.top, dest.Width(), dest.Height(), source.left,
                                    h.height > 0 ? dib::Rows(h) - source.bottom : source.top, source.Width(),
                                    source.Height(), rows, info, DIB_RGB_COLORS, SRCCOPY);
    }
    if (old)
        pDC->SelectPalette(old, TRUE);
    return result;
}

CBitmap* COXDIB::ToDeviceBitmap(CDC* pDC) const
{
    dib::Header h;
    if (!pDC || !HeaderOf(m_hDIB, h) || h.size != dib::kInfoHeaderSize)
        return nullptr;
    Locked block(m_hDIB);
    CPalette* old = m_pPalette ? pDC->SelectPalette(m_pPalette, FALSE) : nullptr;
    if (m_pPalette)
        pDC->RealizePalette();
    const auto* info = reinterpret_cast<const BITMAPINFO*>(block.get());
    HBITMAP made = ::CreateDIBitmap(pDC->GetSafeHdc(), &info->bmiHeader, CBM_INIT,
                                    block.get() + h.size + dib::ColorTableBytes(h), info, DIB_RGB_COLORS);
    if (old)
        pDC->SelectPalette(old, TRUE);
    if (!made)
        return nullptr;
    auto* bitmap = new CBitmap;
    bitmap->Attach(made);
    return bitmap;
}

bool COXDIB::Rescale(int width, int height)
{
    std::vector<BYTE> source;
    {
        Locked block(m_hDIB);
        if (!block.get())
            return false;
        source.assign(block.get(), block.get() + block.size());
    }
    std::vector<BYTE> scaled;
    if (!dib::Rescale(source, width, height, scaled))
        return false;
    return TakeBlock(scaled.data(), scaled.size());
}

bool COXDIB::SetTwoColors(COLORREF foreground, COLORREF background)
{
    dib::Header h;
    if (!HeaderOf(m_hDIB, h) || h.bitCount != 1 || h.size != dib::kInfoHeaderSize || dib::ColorCount(h) < 2)
        return false;
    {
        Locked block(m_hDIB);
        BYTE* table = block.get() + h.size;
        const COLORREF colors[2] = {foreground, background};
        for (int i = 0; i < 2; ++i) {
            table[i * 4] = GetBValue(colors[i]);
            table[i * 4 + 1] = GetGValue(colors[i]);
            table[i * 4 + 2] = GetRValue(colors[i]);
            table[i * 4 + 3] = 0;
        }
    }
    BuildPalette();
    return true;
}

bool COXDIB::GetTwoColors(COLORREF* foreground, COLORREF* background) const
{
    dib::Header h;
    if (!HeaderOf(m_hDIB, h) || h.bitCount != 1 || h.size != dib::kInfoHeaderSize || dib::ColorCount(h) < 2)
        return false;
    Locked block(m_hDIB);
    const BYTE* table = block.get() + h.size;
    if (foreground)
        *foreground = RGB(table[2], table[1], table[0]);
    if (background)
        *background = RGB(table[6], table[5], table[4]);
    return true;
}

bool COXDIB::FromDeviceBitmap(CBitmap* bitmap, CPalette* palette)
{
    BITMAP bm = {};
    if (!bitmap || !bitmap->GetSafeHandle() || !bitmap->GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    const int depth = bm.bmPlanes * bm.bmBitsPixel;
    const WORD bitCount = depth < 2 ? 1 : depth < 5 ? 4 : depth < 9 ? 8 : 24;
    const DWORD colors = bitCount == 24 ? 0 : 1u << bitCount;
    const unsigned long long row = (static_cast<unsigned long long>(bitCount) * bm.bmWidth + 31) / 32 * 4;
    const unsigned long long image = row * static_cast<unsigned long long>(bm.bmHeight);
    const unsigned long long total = dib::kInfoHeaderSize + colors * 4ull + image;
    if (total > 0x7FFFFFFFull)
        return false;
    std::vector<BYTE> block(static_cast<size_t>(total), 0);
    auto* info = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    info->biSize = dib::kInfoHeaderSize;
    info->biWidth = bm.bmWidth;
    info->biHeight = bm.bmHeight;
    info->biPlanes = 1;
    info->biBitCount = bitCount;
    info->biCompression = BI_RGB;
    info->biSizeImage = static_cast<DWORD>(image);
    info->biClrUsed = colors;
    HDC screen = ::GetDC(nullptr);
    if (!screen)
        return false;
    HPALETTE pal = palette && palette->GetSafeHandle() ? static_cast<HPALETTE>(palette->GetSafeHandle())
                                                       : static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
    HPALETTE old = ::SelectPalette(screen, pal, FALSE);
    ::RealizePalette(screen);
    const int rows = ::GetDIBits(screen, static_cast<HBITMAP>(bitmap->GetSafeHandle()), 0,
                                 static_cast<UINT>(bm.bmHeight), block.data() + dib::kInfoHeaderSize + colors * 4,
                                 reinterpret_cast<BITMAPINFO*>(block.data()), DIB_RGB_COLORS);
    if (old)
        ::SelectPalette(screen, old, FALSE);
    ::ReleaseDC(nullptr, screen);
    // The call may have put its own values into the header: ours stand.
    info->biSize = dib::kInfoHeaderSize;
    info->biBitCount = bitCount;
    info->biCompression = BI_RGB;
    info->biSizeImage = static_cast<DWORD>(image);
    info->biClrUsed = colors;
    if (rows != bm.bmHeight || !TakeBlock(block.data(), block.size())) {
        Clear();
        return false;
    }
    if (colors)
        TakeColorsFromPalette(palette);
    return true;
}

bool COXDIB::TakeColorsFromPalette(CPalette* palette)
{
    dib::Header h;
    if (!HeaderOf(m_hDIB, h) || h.size != dib::kInfoHeaderSize)
        return false;
    const DWORD colors = dib::ColorCount(h);
    Locked block(m_hDIB);
    if (colors == 0 || colors > 256 || h.size + colors * 4ull > block.size())
        return false;
    HPALETTE pal = palette && palette->GetSafeHandle() ? static_cast<HPALETTE>(palette->GetSafeHandle())
                                                       : static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
    PALETTEENTRY entries[256] = {};
    WORD available = 0;
    if (!::GetObjectA(pal, sizeof available, &available) || available == 0)
        return false;
    const UINT n = ::GetPaletteEntries(pal, 0, std::min<UINT>(colors, available), entries);
    BYTE* table = block.get() + h.size;
    for (UINT i = 0; i < n; ++i) {
        table[i * 4] = entries[i].peBlue;
        table[i * 4 + 1] = entries[i].peGreen;
        table[i * 4 + 2] = entries[i].peRed;
        table[i * 4 + 3] = 0;
    }
    BuildPalette();
    return n > 0;
}

void COXDIB::ClearSystemPalette()
{
    std::vector<BYTE> raw(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY), 0);
    auto* pal = reinterpret_cast<LOGPALETTE*>(raw.data());
    pal->palVersion = 0x300;
    pal->palNumEntries = 256;
    for (int i = 0; i < 256; ++i)
        pal->palPalEntry[i] = {0, 0, 0, PC_NOCOLLAPSE};
    HPALETTE black = ::CreatePalette(pal);
    if (!black)
        return;
    HDC screen = ::GetDC(nullptr);
    if (screen) {
        HPALETTE old = ::SelectPalette(screen, black, FALSE);
        ::RealizePalette(screen);
        if (old)
            ::SelectPalette(screen, old, FALSE);
        ::ReleaseDC(nullptr, screen);
    }
    ::DeleteObject(black);
}

bool COXDIB::CaptureSystemPalette(CPalette& palette)
{
    HDC screen = ::GetDC(nullptr);
    if (!screen)
        return false;
    bool made = false;
    if (::GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) {
        int n = ::GetDeviceCaps(screen, SIZEPALETTE);
        if (n == 0)
            n = ::GetDeviceCaps(screen, NUMCOLORS);
        if (n > 0 && n <= 256) {
            std::vector<BYTE> raw(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY), 0);
            auto* pal = reinterpret_cast<LOGPALETTE*>(raw.data());
            pal->palVersion = 0x300;
            pal->palNumEntries = static_cast<WORD>(n);
            ::GetSystemPaletteEntries(screen, 0, static_cast<UINT>(n), pal->palPalEntry);
            palette.DeleteObject();
            made = palette.CreatePalette(pal) != FALSE;
        }
    }
    ::ReleaseDC(nullptr, screen);
    return made;
}
