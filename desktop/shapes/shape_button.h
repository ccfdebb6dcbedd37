// CShapeButton: the program's own push button, of the window class
// "CShapeButton". It paints itself in four states (normal, focused, pressed,
// disabled) from coloured text, state images or state icons, and takes any
// outline of CWindowShaper.
#pragma once

#include "oxdib.h"
#include "window_shaper.h"

class CShapeButton : public CWnd, public CWindowShaper {
public:
    static constexpr COLORREF kNoColor = 0xFFFFFFFF;
    static LPCTSTR ClassName() { return "CShapeButton"; }
    // Registers the class (global, so that dialog templates can name it); once per process.
    static BOOL RegisterWindowClass();

    CShapeButton();
    ~CShapeButton() override;

    BOOL Create(LPCTSTR lpszCaption, const RECT& rect, CWnd* pParentWnd, UINT nID);
    CWnd* GetShapedWnd() const override { return const_cast<CShapeButton*>(this); }

    void SetColors(COLORREF text, COLORREF background, COLORREF pressedText, COLORREF pressedBackground);
    void SetColors(COLORREF text, COLORREF shadow, COLORREF background, COLORREF pressedText, COLORREF pressedShadow,
                   COLORREF pressedBackground);
    void SetDrawText(BOOL bDraw);
    void SetTextRects(const RECT& normal, const RECT& pressed, const RECT& focused);
    BOOL LoadImages(LPCTSTR normal, LPCTSTR focused, LPCTSTR pressed, LPCTSTR disabled, BOOL bResize);
    BOOL LoadIcons(UINT normal, UINT focused, UINT pressed, UINT disabled, int cx, int cy);
    void SetIconPositions(CPoint normal, CPoint pressed, CPoint focused);

    // 0 normal, 1 pressed (or hovered), 2 focused, 3 disabled.
    int VisualState() const;
    BOOL IsPressed() const { return m_bPressed; }
    void SetDisabled(BOOL bDisabled) { m_bDisabled = bDisabled; }
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBackgroundColor() const { return m_crBackground; }
    COLORREF GetPressedTextColor() const { return m_crPressedText; }
    COLORREF GetPressedBackgroundColor() const { return m_crPressedBackground; }

protected:
    void PostNcDestroy() override;
    afx_msg void OnPaint();
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static LRESULT CALLBACK BootstrapProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    CString m_text;
    int m_bFocused = 0, m_bPressed = 0, m_bDisabled = 0, m_bHover = 0;
    int m_bDrawText = 0;
    // The caption's font: the one set with WM_SETFONT, else the parent's (a
    // window's own device context would draw in the wide system font).
    HFONT m_hFont = nullptr;
    int m_bImages = 0, m_bIcons = 0;
    COXDIB m_images[4];  // normal, focused, pressed, disabled
    HICON m_icons[4] = {};
    COLORREF m_crText, m_crShadow = kNoColor, m_crBackground, m_crPressedText, m_crPressedShadow = kNoColor,
                                    m_crPressedBackground;
    CRect m_textRects[3];  // normal, pressed, focused
    CPoint m_iconPos[3];
    CSize m_iconSize{0, 0};
    bool m_bAutoDelete = false;  // made by the window class for a template's control
};
