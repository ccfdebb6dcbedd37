#include "simple_pages.h"

#include "options_ids.h"

#include <shellapi.h>

int g_bWizardAppBar = 0;

namespace {
// The program's folder (of the running executable), without a trailing "\".
CString ProgramFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString folder = path;
    const int slash = folder.ReverseFind('\\');
    return slash >= 0 ? folder.Left(slash) : CString();
}
}  // namespace

// ---- Keyboard ----

CAppBarProp::CAppBarProp() : CPropertyPage(IDD_APPBAR_PROP) {}

void CAppBarProp::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_BAR_CREATE, m_bCreateAppBar);
    DDX_Check(pDX, IDC_BAR_AUTOHIDE, m_bAutoHide);
    DDX_Check(pDX, IDC_BAR_NOSHAPE, m_bNoShape);
    DDX_Check(pDX, IDC_KEY_SHIFT, m_bShift);
    DDX_Check(pDX, IDC_KEY_CTRL, m_bCtrl);
    DDX_Check(pDX, IDC_KEY_ALT, m_bAlt);
    DDX_Text(pDX, IDC_KEY_CHAR, m_strKey);
    DDV_MaxChars(pDX, m_strKey, 1);
}

BOOL CAppBarProp::OnKillActive()
{
    g_bWizardAppBar = IsDlgButtonChecked(IDC_BAR_CREATE) ? 1 : 0;
    return CPropertyPage::OnKillActive();
}

// ---- Mail ----

MailBoxProp::MailBoxProp() : CPropertyPage(IDD_MAILBOX_PROP) {}

void MailBoxProp::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_MAIL_NAME, m_strName);
    DDX_Text(pDX, IDC_MAIL_PASSWORD, m_strPassword);
    DDX_Check(pDX, IDC_MAIL_FIFO, m_bSortByDate);
    DDX_Check(pDX, IDC_MAIL_MAPI, m_bAllowInteraction);
    DDX_Text(pDX, IDC_MAIL_PREFIX, m_strProtocolPrefix);
}

// ---- Address Book ----

BEGIN_MESSAGE_MAP(CAddrBookProp, CPropertyPage)
    ON_BN_CLICKED(IDC_ADDRBOOK_COPY, OnCopyExportFilename)
END_MESSAGE_MAP()

CAddrBookProp::CAddrBookProp() : CPropertyPage(IDD_ADDRBOOK_PROP)
{
    m_strExportFile = ProgramFolder() + "\\OutlookExpressExport.CDF";
}

void CAddrBookProp::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ADDRBOOK_FILE, m_strExportFile);
}

void CAddrBookProp::OnCopyExportFilename()
{
    if (!::OpenClipboard(m_hWnd))
        return;
    ::EmptyClipboard();
    const size_t size = static_cast<size_t>(m_strExportFile.GetLength()) + 1;
    if (HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size)) {
        if (void* p = ::GlobalLock(block)) {
            memcpy(p, static_cast<LPCTSTR>(m_strExportFile), size);
            ::GlobalUnlock(block);
            if (!::SetClipboardData(CF_TEXT, block))
                ::GlobalFree(block);
        } else {
            ::GlobalFree(block);
        }
    }
    ::CloseClipboard();
}

// ---- ZLM ----

const char ZLMPage::kSiteAddress[] = "http://www.vindalex.example/";

BEGIN_MESSAGE_MAP(ZLMPage, CPropertyPage)
    ON_BN_CLICKED(IDC_ZLM_SITE, OnSite)
END_MESSAGE_MAP()

ZLMPage::ZLMPage() : CPropertyPage(IDD_ZLM_PAGE) {}

BOOL ZLMPage::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet())
        if (sheet->IsWizard())
            sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

void ZLMPage::OnSite() { ::ShellExecuteA(m_hWnd, "open", kSiteAddress, nullptr, ProgramFolder(), SW_SHOWNORMAL); }
