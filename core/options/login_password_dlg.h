// "Login Name Password": a login name, a password and, when the caller asks
// for one, a session password.
#pragma once

#define IDD_LOGIN_PASSWORD 191
#define IDC_LOGIN_PASSWORD 1005
#define IDC_LOGIN_SESSION_PASSWORD 1006
#define IDC_LOGIN_NAME 1076

#ifndef RC_INVOKED
#include "fx/fxwin.h"

class CLoginPasswordDlg : public CDialog {
public:
    explicit CLoginPasswordDlg(CWnd* pParent = nullptr);

    CEdit m_SessionPasswordEdit;
    CString m_strLoginName;
    CString m_strPassword;
    CString m_strSessionPassword;
    // The session password can be typed only when this is greater than 0.
    int m_nAskSessionPassword = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
#endif
