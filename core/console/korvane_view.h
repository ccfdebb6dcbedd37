// The console: every two seconds it moves what the running log holds into
// the log file and shows the last ten such chunks word-wrapped.
#pragma once

#include "fx/fxwin.h"

#include "console_chunks.h"
#include "paragraph.h"

#define IDT_CONSOLE_REFRESH 0x4201

class CKorvaneDoc;

class CKorvaneView : public CScrollView {
    DECLARE_DYNCREATE(CKorvaneView)
public:
    CKorvaneView();
    ~CKorvaneView() override;

    CKorvaneDoc* GetDocument() const;
    const CConsoleChunks& Chunks() const { return m_Chunks; }

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC* pDC) override;
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnConsole();
    afx_msg void OnTrayDeactivate();
    afx_msg void OnExit();
    afx_msg void OnUpdateTrayActivate(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    CParagraph m_Paragraph;
    UINT_PTR m_nTimer = 0;
    int m_nTransferred = 0;
    CConsoleChunks m_Chunks;
};

// The console's MDI child window. Closing the console ends the mail session.
class CChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame() = default;

protected:
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()
};
