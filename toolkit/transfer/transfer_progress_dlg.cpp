#include "transfer_progress_dlg.h"

#include "transfer_ids.h"
#include "trellane_text.h"

#include <commctrl.h>

CTransferProgressDlg::CTransferProgressDlg(CWnd* pParent, const TransferStringIds& ids)
    : CDialog(IDD_TRANSFER_PROGRESS, pParent), m_ids(ids)
{
    m_texts.bytes = TrellaneString(ids.bytes);
    m_texts.kilobytes = TrellaneString(ids.kilobytes);
    m_texts.megabytes = TrellaneString(ids.megabytes);
    m_texts.amountOf = TrellaneString(ids.amountOf);
    m_texts.seconds = TrellaneString(ids.seconds);
    m_texts.minutes = TrellaneString(ids.minutes);
    m_texts.minutesSeconds = TrellaneString(ids.minutesSeconds);
    m_texts.timeLeft = TrellaneString(ids.timeLeft);
    m_texts.bytesPerSec = TrellaneString(ids.bytesPerSec);
    m_texts.kilobytesPerSec = TrellaneString(ids.kilobytesPerSec);
}

void CTransferProgressDlg::LimitWaits(HINTERNET session)
{
    DWORD ms = 60000;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionA(session, option, &ms, sizeof ms);
}

CString CTransferProgressDlg::Decimal(long long v)
{
    CString s;
    s.Format("%lld", v);
    return s;
}

void CTransferProgressDlg::SetItemText(int id, const CString& text)
{
    if (m_hWnd)
        ::SetDlgItemTextA(m_hWnd, id, text);
}

void CALLBACK CTransferProgressDlg::_OnStatusCallBack(HINTERNET, DWORD_PTR dwContext, DWORD dwInternetStatus,
                                                      LPVOID lpvStatusInformation, DWORD dwStatusInformationLength)
{
    if (dwContext)
        reinterpret_cast<CTransferProgressDlg*>(dwContext)->OnStatusCallBack(dwInternetStatus, lpvStatusInformation,
                                                                              dwStatusInformationLength);
}

void CTransferProgressDlg::OnStatusCallBack(DWORD dwInternetStatus, LPVOID info, DWORD length)
{
    UINT id = 0;
    switch (dwInternetStatus) {
    case INTERNET_STATUS_RESOLVING_NAME: id = m_ids.resolving; break;
    case INTERNET_STATUS_NAME_RESOLVED: id = m_ids.resolved; break;
    case INTERNET_STATUS_CONNECTING_TO_SERVER: id = m_ids.connecting; break;
    case INTERNET_STATUS_CONNECTED_TO_SERVER: id = m_ids.connected; break;
    case INTERNET_STATUS_REDIRECT: id = m_ids.redirecting; break;
    default: return;
    }
    if (!id)
        return;
    // The notice's text is bounded by the length WinINet gives, not by a terminator.
    CString text;
    if (info && length) {
        const char* s = static_cast<const char*>(info);
        DWORD n = 0;
        while (n < length && n < 1024 && s[n])
            ++n;
        text = CString(s, static_cast<int>(n));
    }
    SetStatus(id, text);
}

void CTransferProgressDlg::SetStatus(const CString& text) { SetItemText(IDC_TRANSFER_STATUS, text); }
void CTransferProgressDlg::SetStatus(UINT nID) { SetStatus(TrellaneString(nID)); }
void CTransferProgressDlg::SetStatus(UINT nID, const CString& arg) { SetStatus(TrellaneFormat1(nID, arg)); }

void CTransferProgressDlg::SetProgressRange(uint64_t total)
{
    if (m_hWnd)
        ::SendDlgItemMessageA(m_hWnd, IDC_TRANSFER_PROGRESS, PBM_SETRANGE32, 0, transfer::ProgressUpper(total));
}

void CTransferProgressDlg::SetProgress(uint64_t bytes)
{
    if (m_hWnd)
        ::SendDlgItemMessageA(m_hWnd, IDC_TRANSFER_PROGRESS, PBM_SETPOS, transfer::ProgressPosition(bytes), 0);
}

void CTransferProgressDlg::SetTimeLeft(unsigned secondsLeft, uint64_t bytes, uint64_t fileSize)
{
    SetItemText(IDC_TRANSFER_TIMELEFT, transfer::TimeLeftText(m_texts, secondsLeft, bytes, fileSize));
}

void CTransferProgressDlg::SetTransferRate(double kbPerSecond)
{
    SetItemText(IDC_TRANSFER_RATE, transfer::RateText(m_texts, kbPerSecond));
}

void CTransferProgressDlg::PlayAnimation()
{
    if (m_hWnd)
        ::SendDlgItemMessageA(m_hWnd, IDC_TRANSFER_ANIMATE, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
}
