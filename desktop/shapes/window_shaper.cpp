#include "window_shaper.h"

#include "shape_geometry.h"

#include <vector>

CWindowShaper::~CWindowShaper() { Drop(); }

void CWindowShaper::Drop()
{
    // A region the window holds is the window's to delete.
    if (m_bHanded)
        m_rgn.Detach();
    else
        m_rgn.DeleteObject();
    m_bHanded = false;
}

bool CWindowShaper::Begin(LPCRECT lpRect, CRect& r)
{
    CWnd* target = GetShapedWnd();
    if (!target || !target->GetSafeHwnd())
        return false;
    if (lpRect)
        r = *lpRect;
    else
        target->GetClientRect(&r);
    target->SetWindowRgn(nullptr, FALSE);
    Drop();
    return true;
}

BOOL CWindowShaper::Finish(BOOL made, BOOL bApply)
{
    if (!made) {
        m_rgn.DeleteObject();
        return FALSE;
    }
    if (bApply && GetShapedWnd()->SetWindowRgn(static_cast<HRGN>(m_rgn.GetSafeHandle()), TRUE))
        m_bHanded = true;
    return TRUE;
}

BOOL CWindowShaper::RoundRect(LPCRECT lpRect, const CSize* pCorner, BOOL bApply)
{
    CRect r;
    if (!Begin(lpRect, r))
        return FALSE;
    const CSize corner = pCorner ? *pCorner : CSize(0, 0);
    return Finish(m_rgn.CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, corner.cx, corner.cy), bApply);
}

BOOL CWindowShaper::Ellipse(LPCRECT lpRect, BOOL bApply)
{
    CRect r;
    if (!Begin(lpRect, r))
        return FALSE;
    return Finish(m_rgn.CreateEllipticRgn(r.left, r.top, r.right, r.bottom), bApply);
}

BOOL CWindowShaper::Polygon(LPCRECT lpRect, double n, double ratio, double rotation, BOOL bApply)
{
    CRect r;
    if (!Begin(lpRect, r))
        return FALSE;
    const auto corners = shapes::PolygonCorners({r.left, r.top, r.right, r.bottom}, n, ratio, rotation);
    std::vector<POINT> points;
    for (const auto& c : corners)
        points.push_back({c.x, c.y});
    return Finish(m_rgn.CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE), bApply);
}

namespace {

BOOL Union(CRgn& out, const CRgn& a, const CRgn& b)
{
    return out.CreateRectRgn(0, 0, 0, 0) && out.CombineRgn(&a, &b, RGN_OR) != ERROR;
}

}  // namespace

BOOL CWindowShaper::Capsule(LPCRECT lpRect, BOOL bApply)
{
    CRect r;
    if (!Begin(lpRect, r))
        return FALSE;
    const auto parts = shapes::CapsuleParts({r.left, r.top, r.right, r.bottom});
    CRgn first, second, ends, middle;
    BOOL made = first.CreateEllipticRgn(parts.first.left, parts.first.top, parts.first.right, parts.first.bottom) &&
                second.CreateEllipticRgn(parts.second.left, parts.second.top, parts.second.right,
                                         parts.second.bottom);
    if (made && !parts.hasMiddle)
        made = Union(m_rgn, first, second);
    else if (made)
        made = Union(ends, first, second) &&
               middle.CreateRectRgn(parts.middle.left, parts.middle.top, parts.middle.right, parts.middle.bottom) &&
               Union(m_rgn, ends, middle);
    return Finish(made, bApply);
}

BOOL CWindowShaper::RoundedBottom(LPCRECT lpRect, BOOL bApply)
{
    CRect r;
    if (!Begin(lpRect, r))
        return FALSE;
    const auto parts = shapes::RoundedBottomParts({r.left, r.top, r.right, r.bottom});
    CRgn upper, ellipse;
    const BOOL made =
        upper.CreateRectRgn(parts.upper.left, parts.upper.top, parts.upper.right, parts.upper.bottom) &&
        ellipse.CreateEllipticRgn(parts.ellipse.left, parts.ellipse.top, parts.ellipse.right, parts.ellipse.bottom) &&
        Union(m_rgn, upper, ellipse);
    return Finish(made, bApply);
}
