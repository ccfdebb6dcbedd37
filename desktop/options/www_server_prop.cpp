#include "www_server_prop.h"

#include "login_password_dlg.h"
#include "options_ids.h"

const COLORREF CWWWServerProp::kFactory[5] = {0xFFFFFF, 0x000000, 0x0000CC, 0x551A8B, 0xFF0000};

namespace {
// The colour index each picker shows: the one under "Visited Link" is index 4.
const int kPickerColour[5] = {0, 1, 2, 4, 3};
}  // namespace

BEGIN_MESSAGE_MAP(CWWWServerProp, CPropertyPage)
    ON_BN_CLICKED(IDC_WWW_LOGIN1, OnLogin1)
    ON_BN_CLICKED(IDC_WWW_LOGIN2, OnLogin2)
    ON_BN_CLICKED(IDC_WWW_PORT_HELP, OnPortHelp)
    ON_BN_CLICKED(IDC_WWW_FACTORY, OnFactory)
END_MESSAGE_MAP()

CWWWServerProp::CWWWServerProp() : CPropertyPage(IDD_WWW_SERVER_PROP) {}

void CWWWServerProp::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_WWW_USE, m_bUseWeb);
    DDX_Check(pDX, IDC_WWW_PRIVATE, m_bPrivateSite);
    DDX_Check(pDX, IDC_WWW_PUBLIC, m_bPublicSite);
    DDX_Text(pDX, IDC_WWW_PORT, m_nPort);
    DDV_MinMaxUInt(pDX, m_nPort, 0, 65535);
    for (int i = 0; i < 5; ++i) {
        DDX_Control(pDX, IDC_PICK_1 + i, m_Pickers[i]);
        DDX_ColourPicker(pDX, IDC_PICK_1 + i, m_Colors[kPickerColour[i]]);
    }
}

void CWWWServerProp::OnLogin1()
{
    CLoginPasswordDlg dlg(this);
    dlg.m_strLoginName = m_strLogin1Name;
    dlg.m_strPassword = m_strLogin1Password;
    dlg.m_strSessionPassword = m_strSessionPassword;
    dlg.m_nAskSessionPassword = 1;
    if (dlg.DoModal() != IDOK)
        return;
    m_strLogin1Name = dlg.m_strLoginName;
    m_strLogin1Password = dlg.m_strPassword;
    m_strSessionPassword = dlg.m_strSessionPassword;
}

void CWWWServerProp::OnLogin2()
{
    CLoginPasswordDlg dlg(this);
    dlg.m_strLoginName = m_strLogin2Name;
    dlg.m_strPassword = m_strLogin2Password;
    dlg.m_nAskSessionPassword = 0;
    if (dlg.DoModal() != IDOK)
        return;
    m_strLogin2Name = dlg.m_strLoginName;
    m_strLogin2Password = dlg.m_strPassword;
}

void CWWWServerProp::OnPortHelp()
{
    AfxMessageBox("Web communication is done through a Port.\nBy default, web pages go over port 80.\n"
                  "If you change the port, give it to your web browser in the page address after a colon, "
                  "for example http://yourcomputer:8080/.\n"
                  "A changed port makes the system harder for intruders to find.\n"
                  "It also resolves conflicts with another web server on the same system.",
                  MB_ICONINFORMATION);
}

void CWWWServerProp::OnFactory()
{
    UpdateData(TRUE);
    for (int i = 0; i < 5; ++i)
        m_Colors[i] = kFactory[i];
    UpdateData(FALSE);
    AfxMessageBox("Colors only updated.\nPasswords, Activated features,\nand the Port (default 80)\nhave not been modified.",
                  MB_ICONINFORMATION);
}
