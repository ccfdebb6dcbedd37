// Property sheets and pages on the system's property sheet control.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

using namespace fx::win;

// ---- CPropertyPage ----

CPropertyPage::CPropertyPage() { CommonConstruct(nullptr, 0); }

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate)
{
    CommonConstruct(m_lpszTemplateName, nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption) : CDialog(lpszTemplateName)
{
    CommonConstruct(m_lpszTemplateName, nIDCaption);
}

CPropertyPage::~CPropertyPage()
{
    if (m_pSheet)
        m_pSheet->RemovePage(this);
}

PROPSHEETPAGEA CPropertyPage::SheetPage() const
{
    PROPSHEETPAGEA psp = m_psp;
    HINSTANCE hInst = nullptr;
    psp.pResource = LoadTemplate(&hInst);
    psp.hInstance = hInst;
    psp.dwFlags |= PSP_DLGINDIRECT;
    if (psp.dwFlags & PSP_USETITLE)
        psp.pszTitle = m_strCaption;
    return psp;
}

void CPropertyPage::CommonConstruct(LPCTSTR, UINT nIDCaption)
{
    m_pSheet = nullptr;
    m_bModified = FALSE;
    memset(&m_psp, 0, sizeof m_psp);
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.pfnDlgProc = PageDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (nIDCaption && m_strCaption.LoadString(nIDCaption))
        m_psp.dwFlags |= PSP_USETITLE;
}

INT_PTR CALLBACK CPropertyPage::PageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    auto page = psp ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
    if (!page || page->m_hWnd || !page->SubclassWindow(hWnd))
        return TRUE;
    // WM_INITDIALOG is being handled by this procedure already; run the
    // page's own initialisation here.
    return page->OnInitDialog();
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto nm = reinterpret_cast<NMHDR*>(lParam);
    LRESULT r = 0;
    switch (nm->code) {
    case PSN_SETACTIVE: r = OnSetActive() ? 0 : -1; break;
    case PSN_KILLACTIVE: r = OnKillActive() ? FALSE : TRUE; break;
    case PSN_APPLY: r = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE; break;
    case PSN_RESET: OnReset(); break;
    case PSN_QUERYCANCEL: r = OnQueryCancel() ? FALSE : TRUE; break;
    case PSN_WIZBACK: r = OnWizardBack(); break;
    case PSN_WIZNEXT: r = OnWizardNext(); break;
    case PSN_WIZFINISH: r = OnWizardFinish() ? FALSE : TRUE; break;
    default: return CDialog::OnNotify(wParam, lParam, pResult);
    }
    // The sheet reads the answer from the message result and from the dialog's result slot.
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, r);
    *pResult = r;
    return TRUE;
}

BOOL CPropertyPage::OnSetActive() { return TRUE; }
BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }
void CPropertyPage::OnOK() { m_bModified = FALSE; }
void CPropertyPage::OnCancel() {}
BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}
void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
BOOL CPropertyPage::OnWizardFinish() { return TRUE; }

void CPropertyPage::SetModified(BOOL bChanged)
{
    m_bModified = bChanged;
    HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (sheet)
        ::SendMessageA(sheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, (WPARAM)m_hWnd, 0);
}

void CPropertyPage::CancelToClose()
{
    HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (sheet)
        ::SendMessageA(sheet, PSM_CANCELTOCLOSE, 0, 0);
}

// ---- CPropertySheet ----

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

namespace {
// The sheet whose window is being created on this thread (for the callback).
thread_local CPropertySheet* t_sheetInit = nullptr;
}

CPropertySheet::CPropertySheet() { CommonConstruct(nullptr, 0); }

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption.LoadString(nIDCaption);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption ? pszCaption : "";
}

CPropertySheet::~CPropertySheet()
{
    for (CPropertyPage* p : m_pages)
        p->m_pSheet = nullptr;
    if (m_hWnd)
        DestroyWindow();
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    memset(&m_psh, 0, sizeof m_psh);
    m_psh.dwSize = sizeof m_psh;
    m_psh.nStartPage = iSelectPage;
    m_pParentWnd = pParentWnd;
    m_bModeless = FALSE;
    m_dwCreateStyle = (DWORD)-1;
    m_dwCreateExStyle = 0;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage || GetPageIndex(pPage) >= 0)
        return;
    m_pages.push_back(pPage);
    pPage->m_pSheet = this;
    if (m_hWnd) {
        PROPSHEETPAGEA psp = pPage->SheetPage();
        HPROPSHEETPAGE h = ::CreatePropertySheetPageA(&psp);
        if (h)
            ::SendMessageA(m_hWnd, PSM_ADDPAGE, 0, (LPARAM)h);
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    CPropertyPage* page = m_pages[nPage];
    if (m_hWnd)
        ::SendMessageA(m_hWnd, PSM_REMOVEPAGE, nPage, 0);
    m_pages.erase(m_pages.begin() + nPage);
    page->m_pSheet = nullptr;
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[nPage] : nullptr;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (m_pages[i] == pPage)
            return i;
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    if (!m_hWnd)
        return GetPage(m_psh.nStartPage);
    HWND h = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    for (CPropertyPage* p : m_pages)
        if (h && p->m_hWnd == h)
            return p;
    return nullptr;
}

int CPropertySheet::GetActiveIndex() const
{
    if (!m_hWnd)
        return m_psh.nStartPage;
    CTabCtrl* tab = GetTabControl();
    return tab ? tab->GetCurSel() : -1;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = nPage;
        return TRUE;
    }
    return (BOOL)::SendMessageA(m_hWnd, PSM_SETCURSEL, nPage, 0);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }

CTabCtrl* CPropertySheet::GetTabControl() const
{
    if (!m_hWnd)
        return nullptr;
    HWND h = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0));
    // A wrapper adds no data to CWnd, so the temporary object serves.
    return static_cast<CTabCtrl*>(CWnd::FromHandle(h));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText ? lpszText : "";
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd)
        ::SendMessageA(m_hWnd, PSM_SETTITLEA, nStyle, (LPARAM)(LPCSTR)m_strCaption);
}

void CPropertySheet::SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    if (m_hWnd)
        ::PostMessageA(m_hWnd, PSM_SETWIZBUTTONS, 0, dwFlags);
}
void CPropertySheet::SetFinishText(LPCTSTR lpszText)
{
    if (m_hWnd)
        ::SendMessageA(m_hWnd, PSM_SETFINISHTEXTA, 0, (LPARAM)lpszText);
}
BOOL CPropertySheet::PressButton(int nButton)
{
    return m_hWnd && ::SendMessageA(m_hWnd, PSM_PRESSBUTTON, nButton, 0);
}

void CPropertySheet::EndDialog(int nEndID)
{
    if (!m_hWnd)
        return;
    if (m_bModeless)
        DestroyWindow();
    else
        PressButton(nEndID == IDOK ? PSBTN_OK : PSBTN_CANCEL);
}

int CALLBACK CPropertySheet::SheetCallback(HWND, UINT message, LPARAM lParam)
{
    CPropertySheet* sheet = t_sheetInit;
    if (message == PSCB_PRECREATE && sheet && lParam && sheet->m_dwCreateStyle != (DWORD)-1) {
        // The sheet's own template: the style sits after the version words of an extended one.
        auto words = reinterpret_cast<WORD*>(lParam);
        DWORD* style = words[1] == 0xFFFF ? reinterpret_cast<DWORD*>(words + 6) : reinterpret_cast<DWORD*>(words);
        DWORD* exStyle = words[1] == 0xFFFF ? reinterpret_cast<DWORD*>(words + 4) : reinterpret_cast<DWORD*>(words + 2);
        *style = sheet->m_dwCreateStyle;
        *exStyle |= sheet->m_dwCreateExStyle;
    }
    return 0;
}

void CPropertySheet::BuildHeader(DWORD dwExtraFlags, std::vector<PROPSHEETPAGEA>& pages)
{
    pages.clear();
    for (CPropertyPage* p : m_pages) {
        pages.push_back(p->SheetPage());
    }
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_USECALLBACK | dwExtraFlags;
    m_psh.hwndParent = m_pParentWnd->GetSafeHwnd();
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nPages = (UINT)pages.size();
    if (m_psh.nStartPage >= m_psh.nPages)
        m_psh.nStartPage = 0;
    m_psh.ppsp = pages.data();
    m_psh.pfnCallback = SheetCallback;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    if (m_hWnd || m_pages.empty())
        return FALSE;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    m_bModeless = TRUE;
    if (dwStyle == (DWORD)-1)
        dwStyle = DS_MODALFRAME | DS_3DLOOK | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    m_dwCreateStyle = dwStyle;
    m_dwCreateExStyle = dwExStyle;
    std::vector<PROPSHEETPAGEA> pages;
    BuildHeader(PSH_MODELESS, pages);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND hWnd;
    {
        CPropertySheet* prev = t_sheetInit;
        t_sheetInit = this;
        CreationHook hook(this);
        hWnd = reinterpret_cast<HWND>(::PropertySheetA(&m_psh));
        t_sheetInit = prev;
    }
    m_psh.ppsp = nullptr;
    if (!hWnd || hWnd == reinterpret_cast<HWND>(-1)) {
        if (m_hWnd && LookupPermanent(m_hWnd) == this)
            Detach();
        return FALSE;
    }
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    if (m_hWnd || m_pages.empty())
        return -1;
    m_bModeless = FALSE;
    m_dwCreateStyle = (DWORD)-1;
    std::vector<PROPSHEETPAGEA> pages;
    BuildHeader(0, pages);
    if (!m_psh.hwndParent) {
        CWnd* pMain = AfxGetMainWnd();
        m_psh.hwndParent = pMain ? pMain->m_hWnd : nullptr;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    INT_PTR r;
    {
        CPropertySheet* prev = t_sheetInit;
        t_sheetInit = this;
        CreationHook hook(this);
        r = ::PropertySheetA(&m_psh);
        t_sheetInit = prev;
    }
    m_psh.ppsp = nullptr;
    if (r < 0)
        return -1;
    // A wizard closed with its Finish button ends with the finish code.
    if (r > 0 && IsWizard())
        return ID_WIZFINISH;
    return r > 0 ? IDOK : IDCANCEL;
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CPropertySheet::OnInitDialog()
{
    // The control builds its tab, buttons and first page here.
    return (BOOL)Default();
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    if (m_bModeless && (id == IDOK || id == IDCANCEL)) {
        Default();
        // A modeless sheet that has been told to close has no current page.
        if (m_hWnd && !::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0))
            DestroyWindow();
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}
