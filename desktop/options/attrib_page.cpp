#include "attrib_page.h"

#include "options_ids.h"
#include "program_password_dlg.h"

#include <cstdlib>

BEGIN_MESSAGE_MAP(AttribPage, CPropertyPage)
    ON_BN_CLICKED(IDC_ATTR_AUTOLOGIN, OnAutoLogin)
    ON_NOTIFY(UDN_DELTAPOS, IDC_ATTR_REFRESH_SPIN, OnRefreshSpin)
END_MESSAGE_MAP()

AttribPage::AttribPage()
    : CPropertyPage(IDD_ATTRIB_PAGE), m_timeActiveFrom(1999, 1, 1, 0, 0, 0), m_timeActiveUntil(1999, 1, 1, 23, 59, 59)
{
}

void AttribPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ATTR_NAME, m_strName);
    DDX_Check(pDX, IDC_ATTR_AUTOLOGIN, m_bAutoLogin);
    DDX_Text(pDX, IDC_ATTR_REFRESH, m_nRefreshRate);
    DDV_MinMaxUInt(pDX, m_nRefreshRate, 1, 1000000);
    DDX_Text(pDX, IDC_ATTR_PPM, m_strProgramPassword);
    DDV_MaxChars(pDX, m_strProgramPassword, kProgramPasswordMaxChars);
    DDX_Text(pDX, IDC_ATTR_UNZIP_PW, m_strUnZipPassword);
    DDX_Text(pDX, IDC_ATTR_ZIP_PW, m_strZipPassword);
    DDX_DateTimeCtrl(pDX, IDC_ATTR_FROM, m_timeActiveFrom);
    DDX_DateTimeCtrl(pDX, IDC_ATTR_UNTIL, m_timeActiveUntil);
    DDX_Check(pDX, IDC_ATTR_STARTMIN, m_bStartMin);
    EnableControls();
}

void AttribPage::EnableControls()
{
    const BOOL active = IsDlgButtonChecked(IDC_ATTR_AUTOLOGIN) != 0;
    for (int id : {IDC_ATTR_STARTMIN, IDC_ATTR_AUTOLOGIN})
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(TRUE);
    for (int id : {IDC_ATTR_FROM, IDC_ATTR_UNTIL})
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(active);
}

void AttribPage::OnAutoLogin() { UpdateData(TRUE); }

UINT AttribPage::StepRefreshRate(UINT current, int delta)
{
    long value = static_cast<long>(current);
    if (delta < 0)
        value += 10;
    else if (delta > 0)
        value -= 10;
    if (value < 1)
        value = 1;
    if (value > 3600)
        value = 3600;
    return static_cast<UINT>(value);
}

void AttribPage::OnRefreshSpin(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* updown = reinterpret_cast<NMUPDOWN*>(pNMHDR);
    CString text;
    GetDlgItemText(IDC_ATTR_REFRESH, text);
    // Text that is no number (or too large) counts from the nearest end.
    const unsigned long typed = std::strtoul(text, nullptr, 10);
    const UINT current = typed > 1000000ul ? 1000000u : static_cast<UINT>(typed);
    CString out;
    out.Format("%u", StepRefreshRate(current, updown->iDelta));
    SetDlgItemText(IDC_ATTR_REFRESH, out);
    *pResult = 0;
}
