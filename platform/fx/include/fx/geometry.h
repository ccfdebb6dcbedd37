// CPoint, CSize and CRect: the Win32 POINT, SIZE and RECT with arithmetic.
// They derive from the Win32 structures, so they pass wherever those are expected.
#pragma once

#include "fx/types.h"

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT p) { x = p.x; y = p.y; }
    CPoint(SIZE s) { x = s.cx; y = s.cy; }
    // Packed coordinates as in a mouse message's lParam (signed 16-bit halves).
    explicit CPoint(DWORD packed) { x = (short)LOWORD(packed); y = (short)HIWORD(packed); }

    void Offset(int dx, int dy) { x += dx; y += dy; }
    void Offset(POINT p) { Offset(p.x, p.y); }
    void Offset(SIZE s) { Offset(s.cx, s.cy); }
    BOOL operator==(POINT p) const { return x == p.x && y == p.y; }
    BOOL operator!=(POINT p) const { return !(*this == p); }
    void operator+=(SIZE s) { Offset(s); }
    void operator-=(SIZE s) { Offset(-s.cx, -s.cy); }
    void operator+=(POINT p) { Offset(p); }
    void operator-=(POINT p) { Offset(-p.x, -p.y); }
    CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
    CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
    inline CSize operator-(POINT p) const;
    CPoint operator-() const { return CPoint(-x, -y); }
    inline CRect operator+(const RECT* r) const;
    inline CRect operator-(const RECT* r) const;
};

class CSize : public SIZE {
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
    CSize(SIZE s) { cx = s.cx; cy = s.cy; }
    CSize(POINT p) { cx = p.x; cy = p.y; }
    explicit CSize(DWORD packed) { cx = (short)LOWORD(packed); cy = (short)HIWORD(packed); }

    BOOL operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
    BOOL operator!=(SIZE s) const { return !(*this == s); }
    void operator+=(SIZE s) { cx += s.cx; cy += s.cy; }
    void operator-=(SIZE s) { cx -= s.cx; cy -= s.cy; }
    CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    CPoint operator+(POINT p) const { return CPoint(cx + p.x, cy + p.y); }
    CPoint operator-(POINT p) const { return CPoint(cx - p.x, cy - p.y); }
};

inline CSize CPoint::operator-(POINT p) const { return CSize(x - p.x, y - p.y); }

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) { ::CopyRect(this, &r); }
    CRect(const RECT* r) { ::CopyRect(this, r); }
    CRect(POINT topLeft, SIZE size)
    {
        left = topLeft.x; top = topLeft.y;
        right = left + size.cx; bottom = top + size.cy;
    }
    CRect(POINT topLeft, POINT bottomRight)
    {
        left = topLeft.x; top = topLeft.y;
        right = bottomRight.x; bottom = bottomRight.y;
    }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(this); }
    CPoint& BottomRight() { return *(reinterpret_cast<CPoint*>(this) + 1); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(this); }
    const CPoint& BottomRight() const { return *(reinterpret_cast<const CPoint*>(this) + 1); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void CopyRect(LPCRECT r) { ::CopyRect(this, r); }
    BOOL EqualRect(LPCRECT r) const { return ::EqualRect(this, r); }

    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
    void InflateRect(LPCRECT r) { left -= r->left; top -= r->top; right += r->right; bottom += r->bottom; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    void DeflateRect(SIZE s) { DeflateRect(s.cx, s.cy); }
    void DeflateRect(LPCRECT r) { left += r->left; top += r->top; right -= r->right; bottom -= r->bottom; }
    void DeflateRect(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void NormalizeRect()
    {
        if (left > right) { LONG t = left; left = right; right = t; }
        if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
    }
    BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
    BOOL SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

    CRect& operator=(const RECT& r) { ::CopyRect(this, &r); return *this; }
    BOOL operator==(const RECT& r) const { return ::EqualRect(this, &r); }
    BOOL operator!=(const RECT& r) const { return !::EqualRect(this, &r); }
    void operator+=(POINT p) { OffsetRect(p); }
    void operator+=(SIZE s) { OffsetRect(s); }
    void operator+=(LPCRECT r) { InflateRect(r); }
    void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
    void operator-=(SIZE s) { OffsetRect(-s.cx, -s.cy); }
    void operator-=(LPCRECT r) { DeflateRect(r); }
    void operator&=(const RECT& r) { ::IntersectRect(this, this, &r); }
    void operator|=(const RECT& r) { ::UnionRect(this, this, &r); }
    CRect operator+(POINT p) const { CRect c(*this); c.OffsetRect(p); return c; }
    CRect operator-(POINT p) const { CRect c(*this); c.OffsetRect(-p.x, -p.y); return c; }
    CRect operator+(SIZE s) const { CRect c(*this); c.OffsetRect(s); return c; }
    CRect operator-(SIZE s) const { CRect c(*this); c.OffsetRect(-s.cx, -s.cy); return c; }
    CRect operator+(LPCRECT r) const { CRect c(*this); c.InflateRect(r); return c; }
    CRect operator-(LPCRECT r) const { CRect c(*this); c.DeflateRect(r); return c; }
    CRect operator&(const RECT& r) const { CRect c; ::IntersectRect(&c, this, &r); return c; }
    CRect operator|(const RECT& r) const { CRect c; ::UnionRect(&c, this, &r); return c; }
};

inline CRect CPoint::operator+(const RECT* r) const { CRect c(r); c.OffsetRect(x, y); return c; }
inline CRect CPoint::operator-(const RECT* r) const { CRect c(r); c.OffsetRect(-x, -y); return c; }
