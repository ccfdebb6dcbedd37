#include "winmgr/openeffect_frames.h"
#include "winmgr/winmgr.h"

CWindowOpenEffect::CWindowOpenEffect()
    : m_nParam(4), m_nAfterimages(6), m_nSteps(50), m_nDelay(5), m_nEffect(2)
{
    m_dcScreen.Attach(::GetDC(nullptr));
    m_pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
}

CWindowOpenEffect::~CWindowOpenEffect()
{
    HDC h = m_dcScreen.Detach();
    if (h)
        ::ReleaseDC(nullptr, h);
    m_pen.DeleteObject();
}

void CWindowOpenEffect::Animate(const RECT& target)
{
    if (!m_dcScreen.m_hDC)
        return;
    HGDIOBJ oldPen = ::SelectObject(m_dcScreen.m_hDC, m_pen.m_hObject);
    int oldRop = ::SetROP2(m_dcScreen.m_hDC, R2_NOT);
    for (int i = 0; i < m_nSteps + m_nAfterimages; ++i) {
        if (i < m_nSteps) {
            DrawFrame(target, i);
            ::GdiFlush();
        }
        CZLMWindowMgr::Sleep(static_cast<DWORD>(m_nDelay));
        if (i >= m_nAfterimages) {
            DrawFrame(target, i - m_nAfterimages);
            ::GdiFlush();
        }
    }
    ::SetROP2(m_dcScreen.m_hDC, oldRop);
    ::SelectObject(m_dcScreen.m_hDC, oldPen);
}

void CWindowOpenEffect::DrawFrame(const RECT& target, int frame)
{
    const winmgr::FrameRect t{target.left, target.top, target.right, target.bottom};
    HDC dc = m_dcScreen.m_hDC;
    for (const winmgr::FrameRect& c : winmgr::GatherEffectFrame(t, frame, m_nParam, m_nSteps)) {
        ::MoveToEx(dc, c.left, c.top, nullptr);
        ::LineTo(dc, c.left, c.bottom);
        ::LineTo(dc, c.right, c.bottom);
        ::LineTo(dc, c.right, c.top);
        ::LineTo(dc, c.left, c.top);
    }
}
