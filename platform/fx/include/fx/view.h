// Views: CView paints its document through OnDraw, CScrollView adds scroll
// sizes, CFormView is a child window made from a dialog template.
//
// A view made by a frame from a creation context joins the context's
// document and is deleted after its window (a heap object, like its frame).
// A view created any other way (a member, a stack object, no document) is
// left to its owner.
#pragma once

#include "fx/wnd.h"

class CDocument;
class CFrameWnd;

// Sent to a frame's descendants when the frame's views are to take their
// first look at the document (CView::OnInitialUpdate).
#define WM_INITIALUPDATE 0x0364

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnDraw(CDC* pDC);
    // Default: OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // The document changed (UpdateAllViews); default: repaint everything.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    // The view became (bActivate) or stopped being the frame's active view.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);
    // The view's own map, then its document's routing.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void PostNcDestroy() override;

    CDocument* m_pDocument;

protected:
    // Joins pContext's document and becomes the framework's to delete.
    void AttachContext(CCreateContext* pContext);
    BOOL m_bAutoDeleteView;  // made from a creation context: deleted after its window

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT HandleInitialUpdate(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void LeaveFrameAndDocument();
    friend class CDocument;
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
