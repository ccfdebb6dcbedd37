// Gradient painting: PaintGradiantRect and DrawColorCube.
#include "Gradient.h"
#include "gradient_math.h"

namespace {

void FillBand(CDC* pDC, int x, int y, int cx, int cy, COLORREF color)
{
    CBrush brush(color);
    CBrush* old = pDC->SelectObject(&brush);
    pDC->PatBlt(x, y, cx, cy, PATCOPY);
    pDC->SelectObject(old);
}

} // namespace

void PaintGradiantRect(CDC* pDC, const RECT& rect, COLORREF clrFirst, COLORREF clrSecond, BOOL bHorz,
                       BOOL bFirstAtStart)
{
    if (!pDC || !pDC->GetSafeHdc())
        return;
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    const int n = bHorz ? w : h;
    if (n <= 0 || (bHorz ? h : w) <= 0)
        return;
    const int s = gradient::BandWidth(n);
    // Bands go from the second colour's end towards the first colour's end.
    if (bHorz) {
        // A strip narrower than a band at the first colour's end stays unpainted.
        for (int r = w; r >= s;) {
            r -= s;
            int k = w - r;
            int left = bFirstAtStart ? rect.left + r : rect.right - r - s;
            FillBand(pDC, left, rect.top, s, h, gradient::BandColor(clrFirst, clrSecond, k, n));
        }
    } else {
        // The last band is cut to what is left, so it ends at the edge in the first colour.
        for (int r = h; r > 0;) {
            int step = r < s ? r : s;
            r -= step;
            int k = h - r;
            int top = bFirstAtStart ? rect.top + r : rect.bottom - r - step;
            FillBand(pDC, rect.left, top, w, step, gradient::BandColor(clrFirst, clrSecond, k, n));
        }
    }
}

void DrawColorCube(CDC* pDC, CRect& rect, COLORREF clrEdge, COLORREF clrCenter, BOOL bShadow)
{
    if (!pDC || !pDC->GetSafeHdc())
        return;
    if (rect.Width() > 0 && rect.Height() < 1)
        rect.top -= 2;
    if (rect.Width() <= 0)
        rect.right = rect.left + 2;
    int third = rect.Width() / 3;
    PaintGradiantRect(pDC, CRect(rect.left, rect.top, rect.left + third, rect.bottom), clrEdge, clrCenter, TRUE,
                      TRUE);
    PaintGradiantRect(pDC, CRect(rect.left + third, rect.top, rect.right, rect.bottom), clrEdge, clrCenter, TRUE,
                      FALSE);

    CPen outline(PS_SOLID, 2, clrEdge);
    CPen* oldPen = pDC->SelectObject(&outline);
    HGDIOBJ oldBrush = pDC->SelectStockObject(NULL_BRUSH);
    pDC->Rectangle(&rect);
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldBrush);

    if (bShadow) {
        CPen dark(PS_SOLID, 2, RGB(0xAA, 0xAA, 0xAA));
        CPen light(PS_SOLID, 2, RGB(0xBE, 0xBE, 0xBE));
        CPen* old = pDC->SelectObject(&dark);
        pDC->MoveTo(rect.left, rect.bottom + 1);
        pDC->LineTo(rect.right + 1, rect.bottom + 1);
        pDC->LineTo(rect.right + 1, rect.top);
        pDC->SelectObject(&light);
        pDC->MoveTo(rect.left + 1, rect.bottom + 2);
        pDC->LineTo(rect.right + 2, rect.bottom + 2);
        pDC->LineTo(rect.right + 2, rect.top + 1);
        pDC->SelectObject(old);
    }
}
