// The title strip across the main frame: a control bar docked at the top that
// shows a large shadowed text line with up to five icons at its right end.
#pragma once

#include "fx/fxwin.h"

class CCaptionBar : public CControlBar {
public:
    enum { kSlots = 5, kBorder = 4, kMinHeight = 32 };
    CCaptionBar();
    ~CCaptionBar() override;

    // Creates the bar as a child of the frame, docked along its top edge.
    BOOL Create(CWnd* parent, UINT id);
    // As wide as the frame; as high as the text needs at that width.
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // The frame's idle update: command 59393 sets the text through an update handler.
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void SetText(const CString& text);
    CString GetText() const { return m_strText; }
    int SetIcon(UINT iconId, int slot);
    HICON GetIcon(int slot) const { return slot >= 0 && slot < kSlots ? m_hIcons[slot] : nullptr; }
    BOOL SetFontName(const char* faceName);
    void SetBkColor(COLORREF color);
    void SetTextColor(COLORREF color, BOOL text);
    // The height the bar needs for its text at this width.
    int CalcHeight(int width);
    int GetRepaintCount() const { return m_nRepaints; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void Repaint();
    CFont m_Font;
    CString m_strText;
    HICON m_hIcons[kSlots] = {};
    CSize m_IconSizes[kSlots];
    COLORREF m_crBack;
    COLORREF m_crText = RGB(255, 255, 255);
    COLORREF m_crShadow = RGB(0, 0, 0);
    int m_nRepaints = 0;
};
