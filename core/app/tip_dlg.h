// "Tip of the Day": one tip at a time from tips.txt, continuing where the
// last showing stopped.
#pragma once

#include "fx/fxwin.h"

#include <cstdio>

class CTipDlg : public CDialog {
public:
    explicit CTipDlg(CWnd* parent = nullptr);
    ~CTipDlg() override;
    CTipDlg(const CTipDlg&) = delete;
    CTipDlg& operator=(const CTipDlg&) = delete;

    int m_bStartup = 1;  // show at start-up
    CString m_strTip;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    afx_msg void OnNextTip();
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    void GetNextTipString(CString& tip);
    FILE* m_pStream = nullptr;
};
