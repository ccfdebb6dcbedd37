// Red fourteen-segment LED characters drawn from the glyph bitmaps of a
// module, with each segment's key colour mapped to lit or unlit; and the
// digital clock built on it.
#pragma once

#include "clock_geometry.h"

#include "fx/fxwin.h"

class CSegmentDisplay : public CStatic {
public:
    CSegmentDisplay();

    // The module whose glyph bitmaps are drawn (null: the resource module);
    // rereads the glyph sizes.
    void SetModule(HMODULE module);
    void SetText(const CString& text) { m_strText = text; }
    const CString& GetText() const { return m_strText; }
    // Paints the text over a client rectangle of the given size.
    void DrawText(CDC* pDC, int width, int height);
    // The glyph bitmap with the colours of glyph i, or null without it.
    HBITMAP LoadGlyph(int glyph) const;
    SIZE GlyphSize(int glyph) const { return m_Sizes[glyph]; }

    CString m_strText;
    HMODULE m_hModule = nullptr;
    COLORREF m_crUnlit = RGB(52, 0, 0);
    COLORREF m_crLit = RGB(255, 0, 0);
    COLORREF m_crBackground = RGB(0, 0, 0);

protected:
    void ReadSizes();
    HMODULE Module() const;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    SIZE m_Sizes[kSegmentGlyphCount];
};

class CDigitalClock : public CSegmentDisplay {
public:
    CDigitalClock();
    // Sets the text to the local time and repaints.
    void Tick();
    int m_nTicks = 0;
    UINT_PTR m_nTimer = 0;

protected:
    void PreSubclassWindow() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
