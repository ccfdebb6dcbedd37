// CNoticeDlg: a small window with a text the assistant shows on the desktop;
// as the new-version alert it offers "&Update Now!", which runs the web
// update download and hands the files to the copier.
#pragma once

#include "fx/fxwin.h"

class CNoticeDlg : public CDialog {
public:
    explicit CNoticeDlg(CWnd* pParent = nullptr);
    ~CNoticeDlg() override;

    CString m_strText;
    BOOL m_bAutoClose = TRUE;    // close 3 seconds after it was shown
    BOOL m_bShowClose = FALSE;
    BOOL m_bShowUpdate = FALSE;
    CStringArray m_arrFiles;     // names of the files to fetch, relative to the folder
    CString m_strCopyDest;
    CString m_strCopySource;
    CString m_strFolder;         // the program folder
    CString m_strUpdateHost;     // where the files are fetched from (the profile's host)

    // Opens the release notes in the user's browser; tests replace it.
    static void (*s_pfnOpenReleaseNotes)(const CString& address, const CString& folder);
    // The window told to end the program once the copier runs (the main window when null).
    HWND m_hWndExitTarget = nullptr;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Closing a modeless notice destroys its window (hiding it would keep it for good).
    void OnCancel() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnCloseButton();
    afx_msg void OnUpdateNow();
    DECLARE_MESSAGE_MAP()

private:
    void FailUpdate();
    CFont m_titleFont;
};
