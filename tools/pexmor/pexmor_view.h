// CPexmorView: draws the running report, runs one test step a second and
// shows the closing messages once the tests are complete.
#pragma once

#include "fx/fxwin.h"
#include "paragraph.h"

class CPexmorDoc;

class CPexmorView : public CView {
    DECLARE_DYNCREATE(CPexmorView)
public:
    static constexpr UINT_PTR kTimerId = 16898;
    enum Closing { kNotShown = 0, kShowing = 1, kShown = 2 };

    CPexmorDoc* GetDocument() const;
    const CString& Report() const { return m_strReport; }

protected:
    void OnDraw(CDC* pDC) override;
    void OnInitialUpdate() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnShowClosing(WPARAM, LPARAM);
    void ShowClosingMessages();
    DECLARE_MESSAGE_MAP()

private:
    CParagraph m_Paragraph;
    CString m_strReport;
    UINT_PTR m_nTimer = 0;
    int m_nClosing = kNotShown;
    int m_nTicksDone = 0;
};
