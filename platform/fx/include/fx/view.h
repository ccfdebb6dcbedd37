// Views without documents: CView paints through OnDraw, CScrollView adds
// scroll sizes, CFormView is a child window made from a dialog template.
#pragma once

#include "fx/wnd.h"

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    virtual void OnDraw(CDC* pDC);
    virtual void OnInitialUpdate();

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    CScrollView();
    // Only MM_TEXT (pixels) is supported; the scroll bars show when the
    // total size exceeds the client area.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = CSize(0, 0),
                        const SIZE& sizeLine = CSize(0, 0));
    CSize GetTotalSize() const { return m_totalLog; }
    int GetMapMode() const { return m_nMapMode; }

protected:
    int m_nMapMode;
    CSize m_totalLog;
    CSize m_pageDev;
    CSize m_lineDev;
    void UpdateBars();
    DECLARE_MESSAGE_MAP()
};

class CFormView : public CScrollView {
    DECLARE_DYNAMIC(CFormView)
public:
    explicit CFormView(UINT nIDTemplate);
    explicit CFormView(LPCTSTR lpszTemplateName);
    ~CFormView() override;

    // Creates the form as a child of pParentWnd at rect (the template's own
    // size when rect is empty), then runs OnInitialUpdate as a frame would.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    void OnInitialUpdate() override;

    LPCTSTR m_lpszTemplateName;

protected:
    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};
