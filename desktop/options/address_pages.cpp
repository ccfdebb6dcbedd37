#include "address_pages.h"

#include <algorithm>

#include "assistant_settings.h"
#include "options_ids.h"

namespace {
const char kDefaultPrompt[] = "Enter Email address I can accept messages from.";
const char kShortPrompt[] =
    "If I see this type of address, I will try to send a short (100-120 character) reply.  You may use wildcards here.";

// The column as wide as the larger of its contents and its header.
void FitColumn(CListCtrl& list, int col)
{
    list.SetColumnWidth(col, LVSCW_AUTOSIZE);
    const int contents = list.GetColumnWidth(col);
    list.SetColumnWidth(col, LVSCW_AUTOSIZE_USEHEADER);
    const int header = list.GetColumnWidth(col);
    list.SetColumnWidth(col, std::max(contents, header));
}

// A typed address without the blanks around it; blank text is no entry.
CString Entry(CString text)
{
    text.TrimLeft();
    text.TrimRight();
    return text;
}
}  // namespace

void RemoveSelectedRow(CListCtrl& list)
{
    const int row = list.GetNextItem(-1, LVNI_SELECTED);
    if (row >= 0)
        list.DeleteItem(row);
}

// ---- CAddAddressDlg ----

CAddAddressDlg::CAddAddressDlg(CWnd* pParent) : CDialog(IDD_ADD_ADDRESS, pParent), m_strPrompt(kDefaultPrompt) {}

BOOL CAddAddressDlg::OnInitDialog()
{
    SetDlgItemText(IDC_ADD_PROMPT, m_strPrompt);
    return CDialog::OnInitDialog();
}

void CAddAddressDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ADD_ADDRESS, m_strAddress);
    DDV_MaxChars(pDX, m_strAddress, kMaxAddressChars);
}

// An empty address would match a sender without an address: it is not taken.
void CAddAddressDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (Entry(m_strAddress).IsEmpty()) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(IDC_ADD_ADDRESS));
        return;
    }
    m_strAddress = Entry(m_strAddress);
    EndDialog(IDOK);
}

// ---- CAddForwardRuleDlg ----

CAddForwardRuleDlg::CAddForwardRuleDlg(CWnd* pParent) : CDialog(IDD_ADD_FORWARD_RULE, pParent) {}

void CAddForwardRuleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ADD_FROM, m_strFrom);
    DDX_Text(pDX, IDC_ADD_TO, m_strTo);
}

void CAddForwardRuleDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    const int missing = Entry(m_strFrom).IsEmpty() ? IDC_ADD_FROM : Entry(m_strTo).IsEmpty() ? IDC_ADD_TO : 0;
    if (missing) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(missing));
        return;
    }
    m_strFrom = Entry(m_strFrom);
    m_strTo = Entry(m_strTo);
    EndDialog(IDOK);
}

// ---- CAcceptAddress ----

BEGIN_MESSAGE_MAP(CAcceptAddress, CPropertyPage)
    ON_BN_CLICKED(IDC_ADDR_ADD, OnAdd)
    ON_BN_CLICKED(IDC_ADDR_REMOVE, OnRemove)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CAcceptAddress::CAcceptAddress(const CAssistantSettings* pSettings)
    : CPropertyPage(IDD_ACCEPT_ADDRESS), m_pSettings(pSettings)
{
}

BOOL CAcceptAddress::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_bShown = true;
    m_List.SubclassDlgItem(IDC_ADDR_LIST, this);
    m_List.InsertColumn(0, "Email Address");
    if (m_pSettings)
        for (int i = 0; i < m_pSettings->GetNumOKAddresses(); ++i)
            m_List.InsertItem(m_List.GetItemCount(), m_pSettings->GetOKAddress(i));
    FitColumn(m_List, 0);
    return TRUE;
}

void CAcceptAddress::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_NO_UPDATES, m_bNoUpdates);
}

void CAcceptAddress::OnAdd()
{
    CAddAddressDlg dlg(this);
    if (dlg.DoModal() == IDOK)
        m_List.InsertItem(m_List.GetItemCount(), dlg.m_strAddress);
}

void CAcceptAddress::OnRemove() { RemoveSelectedRow(m_List); }

void CAcceptAddress::OnDestroy()
{
    m_Addresses.clear();
    for (int i = 0; i < m_List.GetItemCount(); ++i) {
        const CString address = m_List.GetItemText(i, 0);
        if (!Entry(address).IsEmpty())
            m_Addresses.push_back(address);
    }
    if (m_List.m_hWnd)
        m_List.UnsubclassWindow();
    CPropertyPage::OnDestroy();
}

// ---- CHandheldProp ----

BEGIN_MESSAGE_MAP(CHandheldProp, CPropertyPage)
    ON_BN_CLICKED(IDC_ADDR_ADD, OnAddShort)
    ON_BN_CLICKED(IDC_ADDR_REMOVE, OnRemoveShort)
    ON_BN_CLICKED(IDC_FWD_ADD, OnAddForward)
    ON_BN_CLICKED(IDC_FWD_REMOVE, OnRemoveForward)
    ON_NOTIFY(UDN_DELTAPOS, IDC_SHORT_SPIN, OnSpin)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CHandheldProp::CHandheldProp(const CAssistantSettings* pSettings)
    : CPropertyPage(IDD_HANDHELD_PROP), m_pSettings(pSettings)
{
}

BOOL CHandheldProp::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_bShown = true;
    m_ShortList.SubclassDlgItem(IDC_ADDR_LIST, this);
    m_ForwardList.SubclassDlgItem(IDC_FWD_LIST, this);
    m_ShortList.InsertColumn(0, "Email From (you may use wildcards)");
    m_ForwardList.InsertColumn(0, "Email Request From");
    m_ForwardList.InsertColumn(1, "Reply To", LVCFMT_LEFT, -1, 1);
    if (m_pSettings) {
        for (int i = 0; i < m_pSettings->GetNumShortAddresses(); ++i)
            m_ShortList.InsertItem(m_ShortList.GetItemCount(), m_pSettings->GetShortAddress(i));
        for (int i = 0; i < m_pSettings->GetNumForwardAddresses(); ++i) {
            const int row =
                m_ForwardList.InsertItem(m_ForwardList.GetItemCount(), m_pSettings->GetForwardFromAddress(i));
            m_ForwardList.SetItemText(row, 1, m_pSettings->GetForwardToAddress(i));
        }
    }
    FitColumn(m_ShortList, 0);
    m_ForwardList.SetColumnWidth(0, LVSCW_AUTOSIZE);
    m_ForwardList.SetColumnWidth(1, LVSCW_AUTOSIZE_USEHEADER);
    const int both = (m_ForwardList.GetColumnWidth(0) + m_ForwardList.GetColumnWidth(1)) / 2;
    m_ForwardList.SetColumnWidth(0, both);
    m_ForwardList.SetColumnWidth(1, both);
    ::SendDlgItemMessageA(m_hWnd, IDC_SHORT_SPIN, UDM_SETRANGE32, 0, 2000);
    return TRUE;
}

void CHandheldProp::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SHORT_LENGTH, m_nShortMessageLength);
    DDV_MinMaxInt(pDX, m_nShortMessageLength, 0, 2000);
}

void CHandheldProp::OnSpin(NMHDR* pNMHDR, LRESULT* pResult)
{
    reinterpret_cast<NMUPDOWN*>(pNMHDR)->iDelta *= 10;
    *pResult = 0;
}

void CHandheldProp::OnAddShort()
{
    CAddAddressDlg dlg(this);
    dlg.m_strPrompt = kShortPrompt;
    if (dlg.DoModal() == IDOK)
        m_ShortList.InsertItem(m_ShortList.GetItemCount(), dlg.m_strAddress);
}

void CHandheldProp::OnRemoveShort() { RemoveSelectedRow(m_ShortList); }

void CHandheldProp::OnAddForward()
{
    CAddForwardRuleDlg dlg(this);
    if (dlg.DoModal() != IDOK)
        return;
    // The list is sorted: the reply-to goes into the row the insertion returned.
    const int row = m_ForwardList.InsertItem(m_ForwardList.GetItemCount(), dlg.m_strFrom);
    m_ForwardList.SetItemText(row, 1, dlg.m_strTo);
}

void CHandheldProp::OnRemoveForward() { RemoveSelectedRow(m_ForwardList); }

void CHandheldProp::OnDestroy()
{
    m_ShortAddresses.clear();
    m_ForwardFrom.clear();
    m_ForwardTo.clear();
    for (int i = 0; i < m_ShortList.GetItemCount(); ++i) {
        const CString address = m_ShortList.GetItemText(i, 0);
        if (!Entry(address).IsEmpty())
            m_ShortAddresses.push_back(address);
    }
    for (int i = 0; i < m_ForwardList.GetItemCount(); ++i) {
        const CString from = m_ForwardList.GetItemText(i, 0);
        const CString to = m_ForwardList.GetItemText(i, 1);
        if (!Entry(from).IsEmpty() && !Entry(to).IsEmpty()) {
            m_ForwardFrom.push_back(from);
            m_ForwardTo.push_back(to);
        }
    }
    for (CListCtrl* list : {&m_ShortList, &m_ForwardList})
        if (list->m_hWnd)
            list->UnsubclassWindow();
    CPropertyPage::OnDestroy();
}
