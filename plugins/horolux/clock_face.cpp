#include "clock_face.h"

namespace {

const UINT_PTR kClockTimer = 1;
const UINT kClockTickMs = 200;

// A 3-D frame: top and left in the first colour, right and bottom in the second.
void Frame3D(CDC* pDC, const CRect& r, COLORREF topLeft, COLORREF bottomRight)
{
    pDC->FillSolidRect(r.left, r.top, r.Width() - 1, 1, topLeft);
    pDC->FillSolidRect(r.left, r.top, 1, r.Height() - 1, topLeft);
    pDC->FillSolidRect(r.right - 1, r.top, 1, r.Height(), bottomRight);
    pDC->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, bottomRight);
}

} // namespace

BEGIN_MESSAGE_MAP(CClockFace, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CClockFace::CClockFace()
    : m_crHand(::GetSysColor(COLOR_HIGHLIGHT)), m_crMarks(::GetSysColor(COLOR_BTNFACE)),
      m_crBackground(::GetSysColor(COLOR_BTNFACE))
{
}

void CClockFace::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    if (m_bRunning)
        SetRunning(true);
}

void CClockFace::SetRunning(bool running)
{
    m_bRunning = running;
    if (!running) {
        if (m_nTimer && m_hWnd)
            KillTimer(m_nTimer);
        m_nTimer = 0;
        return;
    }
    if (!m_hWnd)
        return;
    {
        CClientDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, m_crBackground);
        DrawFace(&dc);
    }
    if (!m_nTimer) {
        ReadLocalTime();
        m_nTimer = SetTimer(kClockTimer, kClockTickMs, nullptr);
    }
}

void CClockFace::ReadLocalTime()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    ShowTime(now.wHour % 12, now.wMinute, now.wSecond);
}

void CClockFace::ComputeGeometry()
{
    if (!m_hWnd)
        return;
    CRect rc;
    GetClientRect(&rc);
    m_Geometry.Compute(rc.Width(), rc.Height());
}

void CClockFace::DrawMarks(CDC* pDC)
{
    CBrush brush(m_crMarks);
    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    int half = m_Geometry.markSize / 2 + 1;
    for (int p = 0; p < 60; ++p) {
        ClockPoint at = m_Geometry.DialPoint(p, kMarkFraction);
        if (p % 5 == 0) {
            CRect r(at.x - half, at.y - half, at.x + half, at.y + half);
            pDC->FillRect(&r, &brush);
            if (m_bRaisedHourMarks)
                Frame3D(pDC, r, light, shadow);
        } else if (m_bShowMinuteMarks) {
            Frame3D(pDC, CRect(at.x - 1, at.y - 1, at.x + 2, at.y + 2), light, shadow);
        }
    }
}

void CClockFace::DrawHand(CDC* pDC, int position, double length, bool erase)
{
    ClockPoint c[4];
    m_Geometry.HandPolygon(position, length, c);
    POINT points[4];
    for (int i = 0; i < 4; ++i)
        points[i] = POINT{c[i].x, c[i].y};
    CBrush brush(erase ? m_crBackground : m_crHand);
    CPen pen(PS_SOLID, 1, erase ? m_crBackground : RGB(0, 0, 0));
    CBrush* oldBrush = pDC->SelectObject(&brush);
    CPen* oldPen = pDC->SelectObject(&pen);
    pDC->Polygon(points, 4);
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldBrush);
}

void CClockFace::DrawSecondHand(CDC* pDC, int second)
{
    ClockPoint tip = m_Geometry.DialPoint(second, kSecondHandLength);
    int oldRop = pDC->SetROP2(R2_NOTXORPEN);
    pDC->MoveTo(m_Geometry.centerX, m_Geometry.centerY);
    pDC->LineTo(tip.x, tip.y);
    pDC->SetROP2(oldRop);
}

void CClockFace::DrawFace(CDC* pDC)
{
    if (m_Geometry.markSize < 0)
        ComputeGeometry();
    if (m_bShowMarks)
        DrawMarks(pDC);
    if (m_bShowHourHand)
        DrawHand(pDC, HourHandPosition(m_nHour, m_nMinute), kHourHandLength, false);
    if (m_bShowMinuteHand)
        DrawHand(pDC, m_nMinute, kMinuteHandLength, false);
    if (m_bShowSecondHand)
        DrawSecondHand(pDC, m_nSecond);
}

void CClockFace::ShowTime(int hour, int minute, int second)
{
    int now = HalfDaySeconds(hour, minute, second);
    if (NeedsFullRepaint(m_nLastFullRepaint, now)) {
        if (m_hWnd)
            Invalidate(TRUE);
        m_nLastFullRepaint = now;
    }
    if (m_hWnd && (hour != m_nHour || minute != m_nMinute || second != m_nSecond)) {
        if (m_Geometry.markSize < 0)
            ComputeGeometry();
        CClientDC dc(this);
        if (hour != m_nHour || minute != m_nMinute) {
            if (m_bShowSecondHand)
                DrawSecondHand(&dc, m_nSecond);
            if (m_bShowMinuteHand)
                DrawHand(&dc, m_nMinute, kMinuteHandLength, true);
            if (m_bShowHourHand)
                DrawHand(&dc, HourHandPosition(m_nHour, m_nMinute), kHourHandLength, true);
            if (m_bShowHourHand)
                DrawHand(&dc, HourHandPosition(hour, minute), kHourHandLength, false);
            if (m_bShowMinuteHand)
                DrawHand(&dc, minute, kMinuteHandLength, false);
            if (m_bShowSecondHand)
                DrawSecondHand(&dc, second);
        } else if (m_bShowSecondHand) {
            DrawSecondHand(&dc, m_nSecond);
            DrawSecondHand(&dc, second);
        }
    }
    m_nHour = hour;
    m_nMinute = minute;
    m_nSecond = second;
}

void CClockFace::OnPaint()
{
    CPaintDC dc(this);
    DrawFace(&dc);
}

BOOL CClockFace::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, m_crBackground);
    return TRUE;
}

void CClockFace::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    m_Geometry.Compute(cx, cy);
    Invalidate(TRUE);
}

void CClockFace::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == m_nTimer)
        ReadLocalTime();
    else
        CStatic::OnTimer(nIDEvent);
}

void CClockFace::OnDestroy()
{
    SetRunning(false);
    CStatic::OnDestroy();
}
