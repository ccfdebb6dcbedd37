// The background behind the console: a solid colour, a two-colour gradient
// (fading in at the left, out at the right) or a tiled bitmap.
#pragma once

#include "fx/fxwin.h"

class CMdiClient : public CWnd {
public:
    enum : COLORREF { kNone = 0xFFFFFFFF };
    CMdiClient();
    ~CMdiClient() override;

    COLORREF SetBkColor(COLORREF color);
    COLORREF SetColor1(COLORREF color);
    COLORREF SetColor2(COLORREF color);
    BOOL SetBitmap(UINT bitmapId);

    // Paints the background rule into pDC over rect; FALSE when no rule
    // applies (the default background).
    BOOL PaintBackground(CDC* pDC, const CRect& rect);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    COLORREF Store(COLORREF& field, COLORREF color);
    CBitmap* m_pBitmap = nullptr;
    COLORREF m_crBack = kNone;
    COLORREF m_crColor1 = kNone;
    COLORREF m_crColor2 = kNone;
};
