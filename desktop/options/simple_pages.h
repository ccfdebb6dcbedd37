// The pages that only exchange values: "Keyboard", "Mail", "Address Book" and
// the maker's page "ZLM".
#pragma once

#include "fx/fxwin.h"

// The state of "Keyboard"'s application-bar box when that page was last left;
// the wizard's summary reads it.
extern int g_bWizardAppBar;

class CAppBarProp : public CPropertyPage {
public:
    CAppBarProp();
    int m_bCreateAppBar = 0;
    int m_bAutoHide = 0;
    int m_bNoShape = 0;
    int m_bShift = 0;
    int m_bCtrl = 0;
    int m_bAlt = 0;
    CString m_strKey;  // at most one character

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnKillActive() override;
};

class MailBoxProp : public CPropertyPage {
public:
    MailBoxProp();
    CString m_strName;
    CString m_strPassword;
    int m_bSortByDate = 0;
    int m_bAllowInteraction = 0;
    CString m_strProtocolPrefix;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CAddrBookProp : public CPropertyPage {
public:
    CAddrBookProp();
    // The program folder followed by "\OutlookExpressExport.CDF".
    CString m_strExportFile;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnCopyExportFilename();
    DECLARE_MESSAGE_MAP()
};

class ZLMPage : public CPropertyPage {
public:
    ZLMPage();
    static const char kSiteAddress[];

protected:
    BOOL OnSetActive() override;
    afx_msg void OnSite();
    DECLARE_MESSAGE_MAP()
};
