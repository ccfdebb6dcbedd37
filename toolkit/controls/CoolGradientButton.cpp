// CCoolGradientButton: the face is painted entirely by the paint handler.
#include "CoolGradientButton.h"
#include "Gradient.h"

BEGIN_MESSAGE_MAP(CCoolGradientButton, CButton)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CCoolGradientButton::CCoolGradientButton() : m_b3Way(false), m_clrFirst(0), m_clrMiddle(0), m_clrLast(0) {}

void CCoolGradientButton::Set3WayGradient(COLORREF clrFirst, COLORREF clrMiddle, COLORREF clrLast)
{
    m_clrFirst = clrFirst;
    m_clrMiddle = clrMiddle;
    m_clrLast = clrLast;
    m_b3Way = true;
}

void CCoolGradientButton::DrawItem(LPDRAWITEMSTRUCT) {}

void CCoolGradientButton::OnPaint()
{
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    if (m_b3Way) {
        int third = r.Width() / 3;
        PaintGradiantRect(&dc, CRect(r.left, r.top, r.left + third, r.bottom), m_clrFirst, m_clrMiddle, TRUE, TRUE);
        PaintGradiantRect(&dc, CRect(r.left + third, r.top, r.right, r.bottom), m_clrMiddle, m_clrLast, TRUE, TRUE);
    } else {
        DrawColorCube(&dc, r, RGB(0, 0, 0), RGB(255, 255, 255), TRUE);
    }
}
