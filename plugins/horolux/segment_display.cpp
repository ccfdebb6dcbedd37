#include "segment_display.h"

#include <commctrl.h>

namespace {

const UINT_PTR kDigitalTimer = 1;
const UINT kDigitalTickMs = 1000;

UINT GlyphBitmapId(int glyph)
{
    if (glyph == kSegmentColonGlyph)
        return IDB_SEGMENT_COLON;
    if (glyph == kSegmentPointGlyph)
        return IDB_SEGMENT_POINT;
    return IDB_SEGMENT_CELL;
}

} // namespace

BEGIN_MESSAGE_MAP(CSegmentDisplay, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSegmentDisplay::CSegmentDisplay() : m_strText("EMPTY")
{
    ReadSizes();
}

HMODULE CSegmentDisplay::Module() const
{
    return m_hModule ? m_hModule : AfxGetResourceHandle();
}

void CSegmentDisplay::SetModule(HMODULE module)
{
    m_hModule = module;
    ReadSizes();
}

void CSegmentDisplay::ReadSizes()
{
    for (int i = 0; i < kSegmentGlyphCount; ++i) {
        m_Sizes[i] = SIZE{0, 0};
        HBITMAP bitmap = ::LoadBitmapA(Module(), MAKEINTRESOURCEA(GlyphBitmapId(i)));
        if (!bitmap)
            continue;
        BITMAP info;
        if (::GetObjectA(bitmap, sizeof info, &info))
            m_Sizes[i] = SIZE{info.bmWidth, info.bmHeight};
        ::DeleteObject(bitmap);
    }
}

HBITMAP CSegmentDisplay::LoadGlyph(int glyph) const
{
    COLORMAP map[kSegmentCount + 1];
    int entries = 0;
    if (glyph < kSegmentColonGlyph) {
        for (int k = 0; k < kSegmentCount; ++k) {
            map[entries].from = kSegmentKeyColours[k];
            map[entries].to = (kSegmentMasks[glyph] >> k) & 1 ? m_crLit : m_crUnlit;
            ++entries;
        }
    } else {
        map[entries].from = RGB(255, 0, 0);
        map[entries].to = m_crLit;
        ++entries;
    }
    map[entries].from = RGB(0, 0, 0);
    map[entries].to = m_crBackground;
    ++entries;
    return ::CreateMappedBitmap(Module(), GlyphBitmapId(glyph), 0, map, entries);
}

void CSegmentDisplay::DrawText(CDC* pDC, int width, int height)
{
    int total = 0;
    for (int i = 0; i < m_strText.GetLength(); ++i)
        total += m_Sizes[SegmentGlyphIndex(m_strText[i])].cx;
    if (total <= 0)
        return;
    double scale = static_cast<double>(width) / total;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    double x = 0;
    for (int i = 0; i < m_strText.GetLength(); ++i) {
        int glyph = SegmentGlyphIndex(m_strText[i]);
        SIZE size = m_Sizes[glyph];
        double step = size.cx * scale;
        HBITMAP bitmap = LoadGlyph(glyph);
        if (bitmap) {  // a missing glyph leaves its cell unpainted
            HGDIOBJ old = ::SelectObject(memory, bitmap);
            int left = static_cast<int>(x + 0.5);
            double fraction = x - static_cast<int>(x);
            ::StretchBlt(pDC->m_hDC, left, 0, static_cast<int>(fraction + step + 1), height, memory, 0, 0, size.cx,
                         size.cy, SRCCOPY);
            ::SelectObject(memory, old);
            ::DeleteObject(bitmap);
        }
        x += step;
    }
    ::DeleteDC(memory);
}

void CSegmentDisplay::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    DrawText(&dc, rc.Width(), rc.Height());
}

BOOL CSegmentDisplay::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

BEGIN_MESSAGE_MAP(CDigitalClock, CSegmentDisplay)
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CDigitalClock::CDigitalClock()
{
    m_strText = "--:--:--";
}

void CDigitalClock::PreSubclassWindow()
{
    CSegmentDisplay::PreSubclassWindow();
    m_nTimer = SetTimer(kDigitalTimer, kDigitalTickMs, nullptr);
}

void CDigitalClock::Tick()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    m_strText.Format("%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    ++m_nTicks;
    if (m_hWnd)
        Invalidate(TRUE);
}

void CDigitalClock::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == m_nTimer)
        Tick();
    else
        CSegmentDisplay::OnTimer(nIDEvent);
}

void CDigitalClock::OnDestroy()
{
    if (m_nTimer)
        KillTimer(m_nTimer);
    m_nTimer = 0;
    CSegmentDisplay::OnDestroy();
}
