// What the HTTP and FTP transfer dialogs share: the progress controls their
// worker updates, the texts of amounts and times, and WinINet's status
// notices shown on the status line.
#pragma once

#include "fx/fxwin.h"
#include "transfer_texts.h"

#include <wininet.h>

// The string ids a dialog shows its progress and notices with.
struct TransferStringIds {
    UINT bytes, kilobytes, megabytes, amountOf, seconds, minutes, minutesSeconds, timeLeft, bytesPerSec,
        kilobytesPerSec;
    // Notice texts; redirecting is 0 where the protocol has none.
    UINT resolving, resolved, connecting, connected, redirecting;
};

class CTransferProgressDlg : public CDialog {
public:
    CTransferProgressDlg(CWnd* pParent, const TransferStringIds& ids);

    // Progress operations, called from the worker.
    void SetStatus(const CString& text);
    void SetStatus(UINT nID);
    void SetStatus(UINT nID, const CString& arg);
    void SetProgressRange(uint64_t total);
    void SetProgress(uint64_t bytes);
    void SetTimeLeft(unsigned secondsLeft, uint64_t bytes, uint64_t fileSize);
    void SetTransferRate(double kbPerSecond);
    void PlayAnimation();

    // The session's status callback; the context is StatusContext().
    static void CALLBACK _OnStatusCallBack(HINTERNET hInternet, DWORD_PTR dwContext, DWORD dwInternetStatus,
                                           LPVOID lpvStatusInformation, DWORD dwStatusInformationLength);

protected:
    DWORD_PTR StatusContext() { return reinterpret_cast<DWORD_PTR>(this); }
    // A server that stops answering cannot hold the worker (and Cancel) for
    // long: every connect, send and receive gives up after a minute.
    static void LimitWaits(HINTERNET session);
    static CString Decimal(long long v);
    // Control texts are set through the dialog's handle: the worker's calls
    // cross to the dialog's thread as sent messages.
    void SetItemText(int id, const CString& text);

    transfer::TextPatterns m_texts;

private:
    void OnStatusCallBack(DWORD dwInternetStatus, LPVOID info, DWORD length);

    TransferStringIds m_ids;
};
