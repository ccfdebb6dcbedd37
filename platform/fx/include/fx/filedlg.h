// The system's explorer-style open and save dialogs. A child template and the
// hook make the dialog's own child dialog this object's window, so it gets
// the dialog's notifications (CDN_) through the usual virtuals and can add and
// place controls of its own.
#pragma once

#include "fx/dialog.h"

#include <commdlg.h>

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter: pairs of text and pattern separated by '|', ended by "||".
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    ~CFileDialog() override;

    OPENFILENAMEA m_ofn;

    // Runs the dialog; IDOK with the chosen file, IDCANCEL otherwise.
    INT_PTR DoModal() override;
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    BOOL IsOpenDialog() const { return m_bOpenFileDialog; }
    // The system dialog that holds this object's child window (null outside the run).
    HWND GetFileDialogWindow() const;
    // The folder the dialog shows, while it runs.
    CString GetFolderPath() const;

protected:
    // Notifications of the running dialog.
    virtual void OnInitDone();
    virtual void OnFolderChange();
    virtual void OnFileNameChange();
    virtual void OnTypeChange();
    // FALSE keeps the dialog open on the chosen file.
    virtual BOOL OnFileNameOK();
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void PostNcDestroy() override;

    BOOL m_bOpenFileDialog;
    char m_szFileName[MAX_PATH];
    char m_szFileTitle[MAX_PATH];
    CString m_strFilter;

private:
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
