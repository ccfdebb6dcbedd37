#include "wizard_pages.h"

#include "options_ids.h"
#include "simple_pages.h"

CString g_strWizardName;
int g_bWizardEmail = 0;
int g_bWizardNoUpdates = 0;

const char CWizardDone::kUpdatesText[] =
    "There may be updates to Vindalex on our website.\r\nVindalex will automatically check for you if you are "
    "connected to the internet. No information is sent, a file is downloaded from our site and YOUR assistant "
    "will compare versions and download new files, if necessary.";

const char CWizardDone::kNoUpdatesText[] =
    "There may be updates to Vindalex on our website.\r\nYou chose to check for them yourself, so Vindalex will "
    "not check automatically. Please visit our website from time to time, or choose \"Check web for program "
    "update\" on the Actions menu when you are connected to the internet.";

// ---- Welcome ----

CWizardWelcome::CWizardWelcome() : CPropertyPage(IDD_WIZARD_WELCOME) {}

BOOL CWizardWelcome::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet()) {
        sheet->SetWizardButtons(PSWIZB_NEXT);
        HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_WIZARD));
        if (icon && sheet->m_hWnd) {
            sheet->SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            sheet->SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
    }
    return CPropertyPage::OnSetActive();
}

// ---- Assistant ----

CWizardName::CWizardName() : CPropertyPage(IDD_WIZARD_NAME) {}

void CWizardName::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_WIZ_NAME, m_strName);
    DDX_Check(pDX, IDC_WIZ_MAPI, m_bCheckMAPI);
    DDX_Check(pDX, IDC_NO_UPDATES, m_bNoUpdates);
}

BOOL CWizardName::OnKillActive()
{
    if (!UpdateData(TRUE))
        return FALSE;
    g_bWizardEmail = m_bCheckMAPI;
    g_bWizardNoUpdates = m_bNoUpdates;
    g_strWizardName = m_strName;
    if (m_strName.IsEmpty()) {
        AfxMessageBox(IDS_NO_NAME, MB_ICONINFORMATION);
        g_strWizardName = "(unnamed)";
    }
    return TRUE;
}

// ---- Done! ----

BEGIN_MESSAGE_MAP(CWizardDone, CPropertyPage)
    ON_EN_CHANGE(IDC_WIZ_DONE_UPDATES, OnUpdatesChanged)
END_MESSAGE_MAP()

CWizardDone::CWizardDone() : CPropertyPage(IDD_WIZARD_DONE) {}

BOOL CWizardDone::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet())
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    UpdateData(FALSE);
    return CPropertyPage::OnSetActive();
}

void CWizardDone::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    m_strName = "My name is " + g_strWizardName;
    m_strAppBar = g_bWizardAppBar ? "I will show you the application bar at the top of the screen."
                                  : "You will not see the application bar.";
    m_strEmail = g_bWizardEmail ? "I will watch your email for your requests." : "You cannot send me email.";
    m_strUpdates = g_bWizardNoUpdates ? kNoUpdatesText : kUpdatesText;
    // Always shown as built: what was typed into the page is written over.
    m_bWriting = true;
    SetDlgItemText(IDC_WIZ_DONE_NAME, m_strName);
    SetDlgItemText(IDC_WIZ_DONE_MAIL, m_strEmail);
    SetDlgItemText(IDC_WIZ_DONE_BAR, m_strAppBar);
    SetDlgItemText(IDC_WIZ_DONE_UPDATES, m_strUpdates);
    m_bWriting = false;
}

void CWizardDone::OnUpdatesChanged()
{
    if (!m_bWriting)
        UpdateData(FALSE);
}
