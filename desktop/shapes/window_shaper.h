// CWindowShaper: gives a window the shape of a rounded rectangle, an ellipse,
// a polygon or star, a capsule or a rectangle with a rounded bottom. A region
// handed to the window belongs to the window from then on.
#pragma once

#include "fx/fxwin.h"

class CWindowShaper {
public:
    explicit CWindowShaper(CWnd* pTarget = nullptr) : m_pTarget(pTarget) {}
    virtual ~CWindowShaper();
    CWindowShaper(const CWindowShaper&) = delete;
    CWindowShaper& operator=(const CWindowShaper&) = delete;

    // The window to shape.
    virtual CWnd* GetShapedWnd() const { return m_pTarget; }

    // Each takes the given rectangle, or the window's client rectangle when
    // it is null; FALSE when no region could be made (the window then has none).
    BOOL RoundRect(LPCRECT lpRect, const CSize* pCorner, BOOL bApply = TRUE);
    BOOL Ellipse(LPCRECT lpRect, BOOL bApply = TRUE);
    BOOL Polygon(LPCRECT lpRect, double n, double ratio, double rotation, BOOL bApply = TRUE);
    BOOL Pentagon(LPCRECT lpRect, double rotation, BOOL bApply = TRUE) { return Polygon(lpRect, 2.5, 1.0, rotation, bApply); }
    BOOL Octagon(LPCRECT lpRect, double rotation, BOOL bApply = TRUE) { return Polygon(lpRect, 4.0, 1.0, rotation, bApply); }
    BOOL Triangle(LPCRECT lpRect, double rotation, BOOL bApply = TRUE) { return Polygon(lpRect, 1.5, 1.0, rotation, bApply); }
    BOOL Capsule(LPCRECT lpRect, BOOL bApply = TRUE);
    BOOL RoundedBottom(LPCRECT lpRect, BOOL bApply = TRUE);

    // The region last built while the shaper still owns it (not handed to the window).
    CRgn* GetRegion() { return m_bHanded || !m_rgn.GetSafeHandle() ? nullptr : &m_rgn; }

private:
    bool Begin(LPCRECT lpRect, CRect& r);
    BOOL Finish(BOOL made, BOOL bApply);
    void Drop();

    CWnd* m_pTarget;
    CRgn m_rgn;
    bool m_bHanded = false;
};
