// The small modeless wait window shown while a capture card is probed or a
// sound is recorded: a progress bar, its percent and a status line. It keeps
// the thread's windows painting by emptying the message queue at each step.
#pragma once

#include "fx/fxwin.h"

enum {
    IDD_WAIT = 102,
    IDC_WAIT_PROGRESS = 1003,
    IDC_WAIT_PERCENT = 1004,
    IDC_WAIT_STATUS = 1005,
};

// "%d%c" of the position's share of the range: 100 stays 100, other values
// are taken modulo 100; an empty range counts as 0.
int WaitPercent(int position, int low, int high);

// Empties the thread's message queue, at most `most` messages so a flood
// cannot hold the caller, keeping its windows painting during a long wait.
// Messages for a live dialog go through its keyboard handling. A WM_QUIT is
// posted again for the outer loop and ends the pumping.
void PumpThreadMessages(int most, HWND dialog = nullptr);

class CWaitDialog : public CDialog {
public:
    CWaitDialog();

    // Creates the window from the template of module over parent (or none);
    // disables the parent's owner while it exists. FALSE when it cannot.
    BOOL Create(HMODULE module, CWnd* parent, const CString& title);
    void SetRange(int low, int high);
    void SetStatus(const CString& text);
    void SetPos(int position);
    // Enables the owner again and destroys the window; the object stays.
    void Destroy();
    bool Exists() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

    int m_nLow = 0;
    int m_nHigh = 100;
    int m_nStep = 10;
    CWnd* m_pOwner = nullptr;
    bool m_bOwnerDisabled = false;
    CString m_strTitle;
    CString m_strPercent;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    // The one object outlives its windows: nothing to delete here.
    void PostNcDestroy() override {}
};
