#include "wait_dialog.h"

#include <commctrl.h>

int WaitPercent(int position, int low, int high)
{
    if (high == low)
        return 0;
    int p = (position - low) * 100 / (high - low);
    return p == 100 ? 100 : p % 100;
}

CWaitDialog::CWaitDialog() : m_strPercent(" 0 %") {}

BOOL CWaitDialog::Create(HMODULE module, CWnd* parent, const CString& title)
{
    m_strTitle = title;
    m_pOwner = nullptr;
    m_bOwnerDisabled = false;
    HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
    while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD) && ::GetParent(owner))
        owner = ::GetParent(owner);
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        m_pOwner = CWnd::FromHandle(owner);
        m_bOwnerDisabled = true;
    }
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDD_WAIT), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    LPCDLGTEMPLATE dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATE>(::LockResource(loaded)) : nullptr;
    if (!dialogTemplate || !CreateIndirect(dialogTemplate, parent, module)) {
        if (m_bOwnerDisabled)
            ::EnableWindow(owner, TRUE);
        m_bOwnerDisabled = false;
        return FALSE;
    }
    ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CWaitDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    HWND bar = ::GetDlgItem(m_hWnd, IDC_WAIT_PROGRESS);
    ::SendMessageA(bar, PBM_SETRANGE32, m_nLow, m_nHigh);
    ::SendMessageA(bar, PBM_SETSTEP, m_nStep, 0);
    ::SendMessageA(bar, PBM_SETPOS, m_nLow, 0);
    SetWindowText(m_strTitle);
    return TRUE;
}

void CWaitDialog::SetRange(int low, int high)
{
    m_nLow = low;
    m_nHigh = high;
    if (Exists())
        ::SendDlgItemMessageA(m_hWnd, IDC_WAIT_PROGRESS, PBM_SETRANGE32, low, high);
}

void CWaitDialog::SetStatus(const CString& text)
{
    if (Exists())
        ::SetDlgItemTextA(m_hWnd, IDC_WAIT_STATUS, text);
}

void PumpThreadMessages(int most, HWND dialog)
{
    MSG msg;
    for (int n = 0; n < most && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!dialog || !::IsWindow(dialog) || !::IsDialogMessageA(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void CWaitDialog::SetPos(int position)
{
    // Keep every window of the thread painting while the caller works.
    PumpThreadMessages(1000, m_hWnd);
    if (!Exists())
        return;
    ::SendDlgItemMessageA(m_hWnd, IDC_WAIT_PROGRESS, PBM_SETPOS, position, 0);
    CString percent;
    percent.Format("%d%c", WaitPercent(position, m_nLow, m_nHigh), '%');
    if (percent != m_strPercent) {
        m_strPercent = percent;
        ::SetDlgItemTextA(m_hWnd, IDC_WAIT_PERCENT, percent);
    }
}

void CWaitDialog::Destroy()
{
    if (m_bOwnerDisabled && m_pOwner && m_pOwner->GetSafeHwnd())
        ::EnableWindow(m_pOwner->GetSafeHwnd(), TRUE);
    m_bOwnerDisabled = false;
    m_pOwner = nullptr;
    if (Exists())
        DestroyWindow();
}
