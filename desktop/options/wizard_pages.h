// The first-run wizard's own pages: "Welcome", "Assistant" (the name) and
// "Done!" with its summary of the choices made on the way.
#pragma once

#include "fx/fxwin.h"

// The summary the pages carry to "Done!".
extern CString g_strWizardName;
extern int g_bWizardEmail;
extern int g_bWizardNoUpdates;

class CWizardWelcome : public CPropertyPage {
public:
    CWizardWelcome();

protected:
    BOOL OnSetActive() override;
};

class CWizardName : public CPropertyPage {
public:
    CWizardName();
    CString m_strName;
    int m_bCheckMAPI = 0;
    int m_bNoUpdates = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnKillActive() override;
};

class CWizardDone : public CPropertyPage {
public:
    CWizardDone();
    // The four texts, built from the summary at every exchange.
    CString m_strName, m_strEmail, m_strAppBar, m_strUpdates;

    // The update paragraph, as the name page's "will not automatically check" box left it.
    static const char kUpdatesText[];
    static const char kNoUpdatesText[];

protected:
    BOOL OnSetActive() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnUpdatesChanged();
    DECLARE_MESSAGE_MAP()

private:
    bool m_bWriting = false;
};
