// CFTPTransferDlg: the FTP sibling of the HTTP download dialog. Downloads one
// remote file into a local file, or uploads a local file, on a worker thread.
// An upload goes to a temporary remote name and is renamed over the target
// only when it is complete, so a cancelled or failed upload never truncates
// the file already on the server.
#pragma once

#include "transfer_progress_dlg.h"

#include <atomic>

class CFTPTransferDlg : public CTransferProgressDlg {
public:
    explicit CFTPTransferDlg(CWnd* pParent = nullptr);
    ~CFTPTransferDlg() override;

    BOOL Create(CWnd* pParent);
    // Uses the caller's open session and connection; the dialog neither opens nor closes them.
    void AttachToExisitingHandles(HINTERNET hInternetSession, HINTERNET hFTPConnection);

    bool m_bDownload = true;
    CString m_sServer;
    CString m_sRemoteFile;
    CString m_sLocalFile;
    CString m_sUserName;
    CString m_sPassword;
    INTERNET_PORT m_nPort = INTERNET_DEFAULT_FTP_PORT;
    bool m_bBinary = true;
    bool m_bSilent = false;
    bool m_bOverwrite = true;

    const CString& GetErrorText() const { return m_sError; }
    // The temporary name an upload of `remote` is written under.
    static CString UploadTemporaryName(const CString& remote);
    // The name the server's file steps aside to while an upload replaces it
    // on a server that will not rename over an existing name.
    static CString UploadSetAsideName(const CString& remote);

    void SetPercentage(int percent);
    void HandleThreadError(UINT nID);
    void HandleThreadErrorWithLastError(UINT nID, DWORD dwLastError = 0);

    static UINT _TransferThread(LPVOID pParam);

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg LRESULT OnThreadFinished(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAskOverwrite(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void TransferThread();
    bool Transfer();
    bool Aborted() const { return m_abort.load() != 0; }
    void RequestAbort();
    void Finish(WPARAM result);

    CString m_sError;
    HINTERNET m_hInternetSession = nullptr;
    HINTERNET m_hFTPConnection = nullptr;
    HINTERNET m_hFTPFile = nullptr;
    int m_bUsingAttached = 0;
    std::atomic<int> m_abort{0};
    std::atomic<int> m_threadFinished{0};
    CFile m_LocalFile;
    CWinThread* m_pThread = nullptr;
    CString m_sUploadName;  // the temporary remote name while an upload runs
    bool m_bUploadStarted = false;
};
