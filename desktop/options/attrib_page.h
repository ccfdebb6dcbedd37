// "Attributes": the assistant's name, refresh rate, passwords, active hours
// and start-up switches.
#pragma once

#include "fx/fxwin.h"

class AttribPage : public CPropertyPage {
public:
    AttribPage();

    CString m_strName;
    int m_bAutoLogin = 0;
    UINT m_nRefreshRate = 0;
    CString m_strProgramPassword;
    CString m_strUnZipPassword;
    CString m_strZipPassword;
    CTime m_timeActiveFrom;
    CTime m_timeActiveUntil;
    int m_bStartMin = 0;

    // The refresh-rate arrows' step on the edit's text (up: +10), kept to 1-3600.
    static UINT StepRefreshRate(UINT current, int delta);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnAutoLogin();
    afx_msg void OnRefreshSpin(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    void EnableControls();
};
