// CDC: a C++ object bound to a device context, with the painting helpers the
// windows use. FromHandle gives temporary objects as CWnd::FromHandle does.
#pragma once

#include "fx/geometry.h"
#include "fx/fx.h"

class CWnd;
class CGdiObject;
class CPen;
class CBrush;
class CFont;
class CBitmap;
class CRgn;
class CPalette;

class CDC : public CObject {
    DECLARE_DYNAMIC(CDC)
public:
    CDC();
    ~CDC() override;

    HDC m_hDC;
    HDC m_hAttribDC;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const;

    static CDC* FromHandle(HDC hDC);
    static void DeleteTempMap();
    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    int SaveDC();
    BOOL RestoreDC(int nSavedDC);
    HGDIOBJ SelectObject(HGDIOBJ hObject);
    HGDIOBJ SelectStockObject(int nIndex);
    COLORREF SetTextColor(COLORREF crColor);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF crColor);
    COLORREF GetBkColor() const;
    int SetBkMode(int nBkMode);
    int GetBkMode() const;
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    int FillRect(LPCRECT lpRect, HBRUSH hBrush);
    BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount);
    BOOL TextOut(int x, int y, const CString& str);
    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetTextExtent(const CString& str) const;
    int GetClipBox(LPRECT lpRect) const;
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    int GetDeviceCaps(int nIndex) const;

    // Drawing with GDI objects (gdi.cpp). SelectObject returns the object
    // selected before (a temporary object when the layer does not own it).
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    CGdiObject* SelectObject(CGdiObject* pObject);
    int SelectObject(CRgn* pRgn);  // a copy becomes the clip region
    CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
    UINT RealizePalette();
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(LPCRECT lpRect);
    BOOL Ellipse(int x1, int y1, int x2, int y2);
    BOOL Ellipse(LPCRECT lpRect);
    BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    BOOL Polygon(const POINT* lpPoints, int nCount);
    BOOL Polyline(const POINT* lpPoints, int nCount);
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop);
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
    COLORREF SetPixel(int x, int y, COLORREF crColor);
    // Device-independent pixels: copied as they are, or stretched.
    int SetStretchBltMode(int nStretchMode);
    int GetStretchBltMode() const;
    int SetDIBitsToDevice(int x, int y, DWORD cx, DWORD cy, int xSrc, int ySrc, UINT uStartScan, UINT cScanLines,
                          const void* lpvBits, const BITMAPINFO* lpbmi, UINT fuColorUse);
    int StretchDIBits(int x, int y, int nWidth, int nHeight, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
                      const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD dwRop);
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush);
    BOOL FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight);
    void FrameRect(LPCRECT lpRect, CBrush* pBrush);
    void FillRect(LPCRECT lpRect, CBrush* pBrush);
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags);
    BOOL DrawIcon(int x, int y, HICON hIcon);
    BOOL DrawFocusRect(LPCRECT lpRect);
    int SetROP2(int nDrawMode);
    int SetMapMode(int nMapMode);
    int GetMapMode() const;
    BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const;
    int SelectClipRgn(CRgn* pRgn);
    int IntersectClipRect(int x1, int y1, int x2, int y2);
    int ExcludeClipRect(int x1, int y1, int x2, int y2);
    BOOL PtVisible(int x, int y) const;
    CPoint SetViewportOrg(int x, int y);
    CPoint SetWindowOrg(int x, int y);
    CPoint GetViewportOrg() const;
    CPoint GetWindowOrg() const;
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;
};

// The context of a WM_PAINT handler: BeginPaint in the constructor, EndPaint at the end.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;
protected:
    HWND m_hWnd;
};

// The client area's context (GetDC / ReleaseDC).
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;
protected:
    HWND m_hWnd;
};

// The whole window's context, frame included (GetWindowDC / ReleaseDC).
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;
protected:
    HWND m_hWnd;
};
