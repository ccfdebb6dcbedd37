// CTransparentStatic: text only, so the parent's background shows through.
#include "TransparentStatic.h"
#include "SharedTextColors.h"

BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
    ON_WM_PAINT()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
END_MESSAGE_MAP()

CTransparentStatic::CTransparentStatic() : m_hFont(nullptr), m_nTextColorMode(0)
{
    // The shared colours are loaded before the first paint.
    SharedTextColors::Load();
}

COLORREF CTransparentStatic::GetTextColor() const { return SharedTextColors::ForMode(m_nTextColorMode); }

void CTransparentStatic::OnPaint()
{
    CPaintDC dc(this);
    dc.SelectStockObject(NULL_BRUSH);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetTextColor());
    if (m_hFont)
        dc.SelectObject(m_hFont);
    char text[1025] = {};
    GetWindowText(text, sizeof text);
    CRect r;
    GetClientRect(&r);
    dc.DrawText(text, -1, &r, DT_WORDBREAK);
}

// Only kept for painting; a font change shows with the next paint.
LRESULT CTransparentStatic::OnSetFont(WPARAM wParam, LPARAM)
{
    m_hFont = reinterpret_cast<HFONT>(wParam);
    return 0;
}
