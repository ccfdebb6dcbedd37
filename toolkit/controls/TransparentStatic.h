// Static text drawn without a background over its parent, in one of the
// shared text colours.
#pragma once

#include "fx/fxwin.h"

class CTransparentStatic : public CStatic {
public:
    CTransparentStatic();
    // 0: the first shared text colour, 1: the second, 2: the third; any other the first.
    void SetTextColorMode(int mode) { m_nTextColorMode = mode; }
    int GetTextColorMode() const { return m_nTextColorMode; }
    // The colour the text is drawn in now.
    COLORREF GetTextColor() const;

    HFONT m_hFont;  // from WM_SETFONT
    int m_nTextColorMode;

protected:
    afx_msg void OnPaint();
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
