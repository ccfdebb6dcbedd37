// Gradient painting and the device-context guard.
#pragma once

#include "fx/fxwin.h"

// Fills rect with a linear gradient in bands: the first colour at the start
// (left or top) when bFirstAtStart, else at the end; horizontal runs left to
// right, otherwise top to bottom.
void PaintGradiantRect(CDC* pDC, const RECT& rect, COLORREF clrFirst, COLORREF clrSecond, BOOL bHorz,
                       BOOL bFirstAtStart);

// A bar shaded like a metal rod: edge colour at both ends, centre colour at
// one third, an outline and, with bShadow, a drop shadow. A bar of no height
// is given 2 pixels above its top, one of no width 2 pixels width (rect changes).
void DrawColorCube(CDC* pDC, CRect& rect, COLORREF clrEdge, COLORREF clrCenter, BOOL bShadow);

// Saves a device context's state for the guard's lifetime.
class DCSaveState {
public:
    explicit DCSaveState(CDC* pDC) : m_nSaved(pDC ? pDC->SaveDC() : 0), m_pDC(pDC) {}
    ~DCSaveState()
    {
        if (m_pDC && m_nSaved)
            m_pDC->RestoreDC(m_nSaved);
    }
    DCSaveState(const DCSaveState&) = default;
    DCSaveState& operator=(const DCSaveState&) = default;

    int m_nSaved;
    CDC* m_pDC;
};
