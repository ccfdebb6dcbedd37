// An owner-drawn button whose face is a gradient: three colours when set
// with Set3WayGradient, else a black and white rod. No caption, focus
// rectangle or pressed state is drawn.
#pragma once

#include "fx/fxwin.h"

class CCoolGradientButton : public CButton {
public:
    CCoolGradientButton();
    // First colour at the left, middle at one third, last at the right.
    void Set3WayGradient(COLORREF clrFirst, COLORREF clrMiddle, COLORREF clrLast);
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    bool m_b3Way;
    COLORREF m_clrFirst;
    COLORREF m_clrMiddle;
    COLORREF m_clrLast;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
