#include "shaped_bitmap_wnd.h"

#include "shape_geometry.h"

#include <vector>

CShapedBitmapWnd* CShapedBitmapWnd::s_pInstance = nullptr;

BEGIN_MESSAGE_MAP(CShapedBitmapWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
constexpr UINT_PTR kCloseTimer = 1;
}

CShapedBitmapWnd::~CShapedBitmapWnd()
{
    if (s_pInstance == this)
        s_pInstance = nullptr;
    if (m_hOwner)
        ::DestroyWindow(m_hOwner);
}

BOOL CShapedBitmapWnd::ShowSplash(UINT nBitmapId, COLORREF transparent, const CPoint* pSeed, BYTE tolerance)
{
    if (!s_pInstance) {
        s_pInstance = new CShapedBitmapWnd;
        s_pInstance->m_bSelfDelete = 1;
    }
    return s_pInstance->Create(nBitmapId, transparent, pSeed, tolerance);
}

BOOL CShapedBitmapWnd::Create(LPCTSTR lpszResource, COLORREF transparent, const CPoint* pSeed, BYTE tolerance)
{
    return Create(static_cast<UINT>(LOWORD(reinterpret_cast<UINT_PTR>(lpszResource))), transparent, pSeed, tolerance);
}

bool CShapedBitmapWnd::LoadPicture(UINT nBitmapId)
{
    m_bitmap.reset();
    m_palette.reset();
    m_pixels = shapes::DibPixels();
    LPCTSTR name = MAKEINTRESOURCE(nBitmapId);
    HINSTANCE module = AfxFindResourceHandle(name, RT_BITMAP);
    HRSRC res = ::FindResourceA(module, name, RT_BITMAP);
    HGLOBAL loaded = res ? ::LoadResource(module, res) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    const DWORD size = res ? ::SizeofResource(module, res) : 0;
    // The stored picture is read only as far as its own size says it reaches.
    if (!bytes || !m_pixels.Load(bytes, size))
        return false;
    dib::Header h;
    dib::ReadHeader(bytes, size, h);
    const DWORD colors = dib::ColorCount(h);
    CClientDC screen(nullptr);
    if (colors) {
        std::vector<BYTE> raw(sizeof(LOGPALETTE) + colors * sizeof(PALETTEENTRY));
        auto* pal = reinterpret_cast<LOGPALETTE*>(raw.data());
        pal->palVersion = 0x300;
        pal->palNumEntries = static_cast<WORD>(colors);
        for (DWORD i = 0; i < colors; ++i) {
            const BYTE* c = bytes + h.size + i * 4;
            pal->palPalEntry[i] = {c[2], c[1], c[0], 0};
        }
        m_palette = std::make_unique<CPalette>();
        if (!m_palette->CreatePalette(pal))
            m_palette.reset();
    } else if (screen.GetDeviceCaps(SIZEPALETTE) == 256) {
        m_palette = std::make_unique<CPalette>();
        if (!m_palette->CreateHalftonePalette(&screen))
            m_palette.reset();
    }
    CPalette* old = m_palette ? screen.SelectPalette(m_palette.get(), FALSE) : nullptr;
    if (m_palette)
        screen.RealizePalette();
    HBITMAP made = ::CreateDIBitmap(screen.GetSafeHdc(), reinterpret_cast<const BITMAPINFOHEADER*>(bytes), CBM_INIT,
                                    bytes + h.size + colors * 4, reinterpret_cast<const BITMAPINFO*>(bytes),
                                    DIB_RGB_COLORS);
    if (old)
        screen.SelectPalette(old, TRUE);
    if (!made)
        return false;
    m_bitmap = std::make_unique<CBitmap>();
    m_bitmap->Attach(made);
    m_size = CSize(m_pixels.Width(), m_pixels.Height());
    return true;
}

BOOL CShapedBitmapWnd::Create(UINT nBitmapId, COLORREF transparent, const CPoint* pSeed, BYTE tolerance)
{
    if (!LoadPicture(nBitmapId))
        return FALSE;
    m_bWait = 0;
    const CPoint seed = pSeed ? *pSeed : CPoint(0, 0);
    if (transparent == kColorFromPicture) {
        transparent = m_pixels.Color(seed.x, seed.y);
        if (transparent == shapes::kInvalidColor)
            transparent = m_pixels.Color(0, 0);
    }
    m_tolerance = tolerance;
    if (transparent != shapes::kInvalidColor && (transparent & 0xFF000000) == 0) {
        m_transparent = transparent;
        if (MakeRegion(seed.x, seed.y))
            return TRUE;
    }
    m_region.DeleteObject();
    return FALSE;
}

BOOL CShapedBitmapWnd::IsTransparent(int x, int y, BOOL bOutside) const
{
    return m_pixels.IsTransparent(x, y, m_transparent, m_tolerance, bOutside != FALSE);
}

BOOL CShapedBitmapWnd::MakeRegion(int x, int y)
{
    const auto outline = shapes::TraceOutline(m_pixels.Width(), m_pixels.Height(), {x, y},
                                              [this](int px, int py) { return IsTransparent(px, py, FALSE) != FALSE; });
    m_region.DeleteObject();
    if (outline.empty())
        return FALSE;
    std::vector<POINT> points;
    for (const auto& p : outline)
        points.push_back({p.x, p.y});
    return m_region.CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE);
}

BOOL CShapedBitmapWnd::SetRegion(const CRgn* pRgn)
{
    m_region.DeleteObject();
    if (!pRgn || !m_region.CreateRectRgn(0, 0, 0, 0))
        return FALSE;
    if (m_region.CopyRgn(pRgn) == ERROR) {
        m_region.DeleteObject();
        return FALSE;
    }
    return TRUE;
}

UINT_PTR CShapedBitmapWnd::SetTimeout(int nMs)
{
    if (nMs < 1) {
        m_nTimeout = 0;
        if (m_hWnd)
            Close();
        return 0;
    }
    m_nTimeout = nMs;
    return m_hWnd ? CWnd::SetTimer(kCloseTimer, static_cast<UINT>(nMs)) : 0;
}

BOOL CShapedBitmapWnd::Show(int nTimeoutMs, CWnd* pParent)
{
    if (m_pixels.IsEmpty() || !m_bitmap)
        return FALSE;
    m_nTimeout = nTimeoutMs < 1 && nTimeoutMs != -1 ? kDefaultTimeout : nTimeoutMs;
    if (m_hWnd)
        Close();
    DWORD exStyle = 0;
    if (!pParent) {
        m_hOwner = ::CreateWindowExA(WS_EX_TOPMOST, AfxRegisterWndClass(0x40), "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                     nullptr, AfxGetInstanceHandle(), nullptr);
        if (!m_hOwner)
            exStyle = WS_EX_TOOLWINDOW;
    }
    const HWND owner = pParent ? pParent->m_hWnd : m_hOwner;
    const BOOL self = m_bSelfDelete;
    if (!CreateEx(exStyle | WS_EX_TOPMOST, AfxRegisterWndClass(0x40, ::LoadCursor(nullptr, IDC_ARROW)), "",
                  WS_POPUP | WS_VISIBLE, 0, 0, m_size.cx, m_size.cy, owner, nullptr)) {
        if (m_hOwner)
            ::DestroyWindow(m_hOwner);
        m_hOwner = nullptr;
        if (self && m_hWnd == nullptr)
            delete this;
        return FALSE;
    }
    SetFocus();
    UpdateWindow();
    return TRUE;
}

int CShapedBitmapWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CRect box;
    if (m_region.GetSafeHandle() && m_region.GetRgnBox(&box) != ERROR && !box.IsRectEmpty()) {
        CRgn copy;
        if (copy.CreateRectRgn(0, 0, 0, 0) && copy.CopyRgn(&m_region) != ERROR &&
            SetWindowRgn(static_cast<HRGN>(copy.GetSafeHandle()), TRUE))
            copy.Detach();  // the window's now
    }
    CenterWindow();
    if (m_nTimeout != -1)
        CWnd::SetTimer(kCloseTimer, static_cast<UINT>(m_nTimeout));
    SetCapture();
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    return 0;
}

void CShapedBitmapWnd::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bitmap)
        return;
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc))
        return;
    CPalette* oldPal = m_palette ? dc.SelectPalette(m_palette.get(), FALSE) : nullptr;
    CPalette* oldMemPal = m_palette ? memory.SelectPalette(m_palette.get(), FALSE) : nullptr;
    if (m_palette) {
        dc.RealizePalette();
        memory.RealizePalette();
    }
    CBitmap* old = memory.SelectObject(m_bitmap.get());
    dc.BitBlt(0, 0, m_size.cx, m_size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    if (oldMemPal)
        memory.SelectPalette(oldMemPal, TRUE);
    if (oldPal)
        dc.SelectPalette(oldPal, TRUE);
}

void CShapedBitmapWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kCloseTimer)
        Close();
}

BOOL CShapedBitmapWnd::PreTranslateMessage(MSG* pMsg)
{
    switch (pMsg->message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (m_hWnd && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
            Close();
            return TRUE;
        }
        break;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CShapedBitmapWnd::Close()
{
    ShowWindow(SW_HIDE);
    KillTimer(kCloseTimer);
    ::ReleaseCapture();
    m_bWait = 0;
    // The picture first: a self-deleting object is gone once its window is.
    const HWND owner = m_hOwner;
    m_hOwner = nullptr;
    if (m_hWnd)
        DestroyWindow();
    if (owner)
        ::DestroyWindow(owner);
}

void CShapedBitmapWnd::PostNcDestroy()
{
    if (m_bSelfDelete)
        delete this;
}
