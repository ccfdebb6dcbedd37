// CDC: a C++ object bound to a device context, with the painting helpers the
// windows use. FromHandle gives temporary objects as CWnd::FromHandle does.
#pragma once

#include "fx/geometry.h"
#include "fx/fx.h"

class CWnd;

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
