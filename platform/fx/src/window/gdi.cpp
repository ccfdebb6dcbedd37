// GDI objects and the drawing members of CDC that take them.
#include "window_state.h"
#include "fx/gdi.h"
#include "fx/resources.h"

#include <map>

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

namespace {

// Temporary wrappers of handles the layer does not own, per thread. They
// never delete their handle; the idle processing drops them.
struct TempGdiMap {
    std::map<HGDIOBJ, CGdiObject*> map;
    ~TempGdiMap() { Clear(); }
    void Clear()
    {
        auto temps = std::move(map);
        map.clear();
        for (auto& [h, p] : temps) {
            p->m_hObject = nullptr;
            delete p;
        }
    }
};

fx::win::PerThread<TempGdiMap> t_tempGdi;

// A wrapper of the right class for the handle's kind, so a cast to CPen*,
// CBrush*... of a temporary object is sound.
CGdiObject* NewWrapper(HGDIOBJ h)
{
    switch (::GetObjectType(h)) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return new CPen;
    case OBJ_BRUSH: return new CBrush;
    case OBJ_FONT: return new CFont;
    case OBJ_BITMAP: return new CBitmap;
    case OBJ_REGION: return new CRgn;
    case OBJ_PAL: return new CPalette;
    default: return new CGdiObject;
    }
}

} // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

HGDIOBJ CGdiObject::GetSafeHandle() const
{
    const CGdiObject* self = this;
    asm("" : "+r"(self));
    return self ? self->m_hObject : nullptr;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject)
{
    if (!hObject)
        return nullptr;
    auto it = t_tempGdi.Get().map.find(hObject);
    if (it != t_tempGdi.Get().map.end())
        return it->second;
    CGdiObject* p = NewWrapper(hObject);
    p->m_hObject = hObject;
    t_tempGdi.Get().map[hObject] = p;
    return p;
}

void CGdiObject::DeleteTempMap() { t_tempGdi.Get().Clear(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject || m_hObject)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }
UINT CGdiObject::GetObjectType() const { return ::GetObjectType(m_hObject); }
BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
BOOL CGdiObject::UnrealizeObject() { return ::UnrealizeObject(m_hObject); }

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) { return Attach(::CreatePen(nPenStyle, nWidth, crColor)); }
BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }

CBrush::CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return pBitmap && Attach(::CreatePatternBrush(static_cast<HBITMAP>(pBitmap->GetSafeHandle())));
}
// System colour brushes are shared and must not be deleted; keep none of ours.
BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::CreateSolidBrush(::GetSysColor(nIndex))); }

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) { return lpLogFont && Attach(::CreateFontIndirectA(lpLogFont)); }

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                                cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily,
                                lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (lpszFaceName)
        lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    HDC hDC = pDC ? pDC->m_hAttribDC : ::GetDC(nullptr);
    lf.lfHeight = -MulDiv(nPointSize, ::GetDeviceCaps(hDC, LOGPIXELSY), 720);
    if (!pDC)
        ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    HINSTANCE h = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    return Attach(::LoadBitmapA(h, lpszResourceName));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(nIDBitmap))); }

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return pDC && Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

CSize CBitmap::GetBitmapDimension() const
{
    SIZE s = {0, 0};
    ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &s);
    return CSize(s);
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateEllipticRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}
BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode)
{
    // A polygon needs corners: without any there is no region to make.
    if (!lpPoints || nCount < 1)
        return FALSE;
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}
void CRgn::SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn(*this, x1, y1, x2, y2); }
void CRgn::SetRectRgn(LPCRECT r) { ::SetRectRgn(*this, r->left, r->top, r->right, r->bottom); }
int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn(*this, static_cast<HRGN>(pRgn1->GetSafeHandle()), static_cast<HRGN>(pRgn2->GetSafeHandle()),
                        nCombineMode);
}
int CRgn::CopyRgn(const CRgn* pRgnSrc)
{
    return ::CombineRgn(*this, static_cast<HRGN>(pRgnSrc->GetSafeHandle()), nullptr, RGN_COPY);
}
BOOL CRgn::EqualRgn(const CRgn* pRgn) const { return ::EqualRgn(*this, static_cast<HRGN>(pRgn->GetSafeHandle())); }
int CRgn::OffsetRgn(int x, int y) { return ::OffsetRgn(*this, x, y); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
BOOL CRgn::RectInRegion(LPCRECT lpRect) const { return ::RectInRegion(*this, lpRect); }
int CRgn::GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox(*this, lpRect); }

BOOL CPalette::CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
BOOL CPalette::CreateHalftonePalette(CDC* pDC) { return pDC && Attach(::CreateHalftonePalette(pDC->m_hDC)); }
int CPalette::GetEntryCount() const
{
    WORD n = 0;
    ::GetObjectA(m_hObject, sizeof n, &n);
    return n;
}
UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const
{
    return ::GetPaletteEntries(*this, nStartIndex, nNumEntries, lpPaletteColors);
}
UINT CPalette::SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors)
{
    return ::SetPaletteEntries(*this, nStartIndex, nNumEntries, lpPaletteColors);
}
UINT CPalette::GetNearestPaletteIndex(COLORREF crColor) const { return ::GetNearestPaletteIndex(*this, crColor); }

CMemDC::CMemDC(CDC* pDC, int nWidth, int nHeight) : m_hOldBitmap(nullptr)
{
    HDC ref = pDC ? pDC->m_hDC : nullptr;
    HDC screen = ref ? nullptr : ::GetDC(nullptr);
    if (Attach(::CreateCompatibleDC(ref ? ref : screen))) {
        // A bitmap compatible with the reference (a memory context alone would give a 1-bit one).
        m_bitmap.Attach(::CreateCompatibleBitmap(ref ? ref : screen, nWidth, nHeight));
        if (m_bitmap.m_hObject)
            m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.m_hObject);
    }
    if (screen)
        ::ReleaseDC(nullptr, screen);
}

CMemDC::~CMemDC()
{
    if (m_hDC && m_hOldBitmap)
        ::SelectObject(m_hDC, m_hOldBitmap);
}

// ---- CDC drawing -----------------------------------------------------------------

namespace {
template <class T> T* Selected(HGDIOBJ old) { return static_cast<T*>(CGdiObject::FromHandle(old)); }
} // namespace

CPen* CDC::SelectObject(CPen* pPen) { return Selected<CPen>(::SelectObject(m_hDC, pPen->GetSafeHandle())); }
CBrush* CDC::SelectObject(CBrush* pBrush) { return Selected<CBrush>(::SelectObject(m_hDC, pBrush->GetSafeHandle())); }
CFont* CDC::SelectObject(CFont* pFont) { return Selected<CFont>(::SelectObject(m_hDC, pFont->GetSafeHandle())); }
CBitmap* CDC::SelectObject(CBitmap* pBitmap) { return Selected<CBitmap>(::SelectObject(m_hDC, pBitmap->GetSafeHandle())); }
CGdiObject* CDC::SelectObject(CGdiObject* pObject) { return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->GetSafeHandle())); }
int CDC::SelectObject(CRgn* pRgn) { return (int)(INT_PTR)::SelectObject(m_hDC, pRgn->GetSafeHandle()); }
CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    return Selected<CPalette>(::SelectPalette(m_hDC, static_cast<HPALETTE>(pPalette->GetSafeHandle()), bForceBackground));
}
UINT CDC::RealizePalette() { return ::RealizePalette(m_hDC); }

CPoint CDC::MoveTo(int x, int y)
{
    POINT old = {0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
}
BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
BOOL CDC::Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
BOOL CDC::Ellipse(LPCRECT r) { return ::Ellipse(m_hDC, r->left, r->top, r->right, r->bottom); }
BOOL CDC::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) { return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3); }
BOOL CDC::Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
BOOL CDC::Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) { return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop); }
BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
}
COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
int CDC::SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
int CDC::GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }
int CDC::SetDIBitsToDevice(int x, int y, DWORD cx, DWORD cy, int xSrc, int ySrc, UINT uStartScan, UINT cScanLines,
                           const void* lpvBits, const BITMAPINFO* lpbmi, UINT fuColorUse)
{
    return ::SetDIBitsToDevice(m_hDC, x, y, cx, cy, xSrc, ySrc, uStartScan, cScanLines, lpvBits, lpbmi, fuColorUse);
}
int CDC::StretchDIBits(int x, int y, int nWidth, int nHeight, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
                       const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD dwRop)
{
    return ::StretchDIBits(m_hDC, x, y, nWidth, nHeight, xSrc, ySrc, nSrcWidth, nSrcHeight, lpBits, lpbmi, iUsage,
                           dwRop);
}
COLORREF CDC::SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }
BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush)
{
    return ::FillRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle()), static_cast<HBRUSH>(pBrush->GetSafeHandle()));
}
BOOL CDC::FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight)
{
    return ::FrameRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle()), static_cast<HBRUSH>(pBrush->GetSafeHandle()),
                      nWidth, nHeight);
}
void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush) { ::FrameRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->GetSafeHandle())); }
void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->GetSafeHandle())); }

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, clrTopLeft, clrBottomRight);
}

BOOL CDC::DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
BOOL CDC::DrawFocusRect(LPCRECT lpRect) { return ::DrawFocusRect(m_hDC, lpRect); }
int CDC::SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
int CDC::SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
int CDC::GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
BOOL CDC::GetTextMetrics(LPTEXTMETRIC lpMetrics) const { return ::GetTextMetricsA(m_hAttribDC, lpMetrics); }
int CDC::SelectClipRgn(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle())); }
int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
BOOL CDC::PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}
CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}
CPoint CDC::GetViewportOrg() const
{
    POINT p = {0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}
CPoint CDC::GetWindowOrg() const
{
    POINT p = {0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}
CPen* CDC::GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
CBrush* CDC::GetCurrentBrush() const { return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH))); }
CFont* CDC::GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
CBitmap* CDC::GetCurrentBitmap() const { return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP))); }
