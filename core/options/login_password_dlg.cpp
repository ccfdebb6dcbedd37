#include "login_password_dlg.h"

CLoginPasswordDlg::CLoginPasswordDlg(CWnd* pParent) : CDialog(IDD_LOGIN_PASSWORD, pParent) {}

void CLoginPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGIN_SESSION_PASSWORD, m_SessionPasswordEdit);
    DDX_Text(pDX, IDC_LOGIN_NAME, m_strLoginName);
    DDX_Text(pDX, IDC_LOGIN_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_LOGIN_SESSION_PASSWORD, m_strSessionPassword);
    m_SessionPasswordEdit.EnableWindow(m_nAskSessionPassword > 0);
}
