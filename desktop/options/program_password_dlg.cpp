#include "program_password_dlg.h"

#include "options_ids.h"

CProgramPasswordDlg::CProgramPasswordDlg(CWnd* pParent) : CDialog(IDD_PROGRAM_PASSWORD, pParent) {}

void CProgramPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROGRAM_PASSWORD, m_strPassword);
    DDV_MaxChars(pDX, m_strPassword, kProgramPasswordMaxChars);
}

bool PassProgramPasswordGate(const CString& storedPlain, CWnd* pParent)
{
    if (storedPlain.IsEmpty())
        return true;
    CProgramPasswordDlg dlg(pParent);
    return dlg.DoModal() == IDOK && dlg.m_strPassword == storedPlain;
}
