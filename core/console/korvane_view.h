// The console: every two seconds it moves what the running log holds into
// the log file and shows the last ten such chunks word-wrapped.
#pragma once

#include "fx/fxwin.h"

#include "console_chunks.h"
#include "paragraph.h"

#define IDT_CONSOLE_REFRESH 0x4201

class CKorvaneDoc;

class CKorvaneView : public CScrollView {
public:
    explicit CKorvaneView(CKorvaneDoc* doc);
    ~CKorvaneView() override;

    BOOL CreateView(CWnd* parent, const RECT& rect, UINT id);
    CKorvaneDoc* GetDocument() const { return m_pDocument; }
    const CConsoleChunks& Chunks() const { return m_Chunks; }
    // One refresh as the timer does it (paint now).
    void Refresh();

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
    DECLARE_MESSAGE_MAP()

private:
    CParagraph m_Paragraph;
    UINT_PTR m_nTimer = 0;
    int m_nTransferred = 0;
    CConsoleChunks m_Chunks;
    CKorvaneDoc* m_pDocument;
};
