// "WWW Server": the web server's switches, port, the two logins and the five
// colours of the web pages.
#pragma once

#include "fx/fxwin.h"

#include "colour_picker.h"

class CWWWServerProp : public CPropertyPage {
public:
    CWWWServerProp();

    int m_bUseWeb = 0;
    int m_bPrivateSite = 0;
    int m_bPublicSite = 0;
    UINT m_nPort = 80;
    CString m_strLogin1Name, m_strLogin1Password, m_strSessionPassword;
    CString m_strLogin2Name, m_strLogin2Password;
    // Index 0 background, 1 text, 2 link, 3 activated link, 4 visited link.
    COLORREF m_Colors[5] = {};

    static const COLORREF kFactory[5];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnLogin1();
    afx_msg void OnLogin2();
    afx_msg void OnPortHelp();
    afx_msg void OnFactory();
    DECLARE_MESSAGE_MAP()

private:
    CColourPicker m_Pickers[5];
};
