// The small dialog that guards the settings with the program password, and
// the one limit every program password field shares.
#pragma once

#include "fx/fxwin.h"

// The attributes page, the gate and the confirmation all take this many
// characters: a password that could be typed once can always be typed again.
constexpr int kProgramPasswordMaxChars = 16;

class CProgramPasswordDlg : public CDialog {
public:
    explicit CProgramPasswordDlg(CWnd* pParent = nullptr);
    CString m_strPassword;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// The gate before the settings: true when no program password is stored, or
// when the dialog was closed with OK on exactly the stored password.
bool PassProgramPasswordGate(const CString& storedPlain, CWnd* pParent = nullptr);
