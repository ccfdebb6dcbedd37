// CHttpDownloadDlg: a modal progress dialog that downloads one HTTP address
// into one local file on a worker thread. DoModal answers IDOK only when the
// server answered 200 and the whole body is in the file; on any failure or
// cancel no file is left behind.
#pragma once

#include "transfer_progress_dlg.h"

#include <atomic>

class CHttpDownloadDlg : public CTransferProgressDlg {
public:
    explicit CHttpDownloadDlg(CWnd* pParent = nullptr);
    ~CHttpDownloadDlg() override;

    CString m_sURLToDownload;
    CString m_sFileToDownloadInto;
    CString m_sUserName;
    CString m_sPassword;
    bool m_bSilent = false;       // no questions, no error box, no password box
    bool m_bOverwrite = true;     // with m_bSilent: replace an existing file
    bool m_bUpdateCaption = false;

    // The error text of the last failure (empty when cancelled or done).
    const CString& GetErrorText() const { return m_sError; }

    // Progress operations, called from the worker.
    void SetPercentage(int percent);
    void HandleThreadError(UINT nID);
    void HandleThreadErrorWithLastError(UINT nID, DWORD dwLastError = 0);

    static UINT _DownloadThread(LPVOID pParam);

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg LRESULT OnThreadFinished(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DownloadThread();
    bool Aborted() const { return m_abort.load() != 0; }
    void RequestAbort();
    void DeleteLocalFile();
    // Reads and drops what is left of a response body.
    void DrainResponse();

    CString m_sError;
    CString m_sServer, m_sObject, m_sFilename;
    INTERNET_PORT m_nPort = 0;
    DWORD m_dwServiceType = 0;
    HINTERNET m_hInternetSession = nullptr;
    HINTERNET m_hHttpConnection = nullptr;
    HINTERNET m_hHttpFile = nullptr;
    std::atomic<int> m_abort{0};
    std::atomic<int> m_threadFinished{0};
    CFile m_FileToWrite;
    CWinThread* m_pThread = nullptr;
};
