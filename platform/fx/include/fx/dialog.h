// CDialog: a dialog from a template of the resource chain, modal (DoModal,
// ended by EndDialog) or modeless (Create), with data exchange (UpdateData).
#pragma once

#include "fx/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless: creates the dialog (shown when its template says WS_VISIBLE).
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                        HINSTANCE hInst = nullptr);

    // Modal: runs the dialog until EndDialog; returns its result, or -1 when
    // the dialog could not be created or the loop got WM_QUIT (posted again).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Keeps running the modal loop while TRUE.
    virtual BOOL ContinueModal();
    int RunModalLoop(DWORD dwFlags = 0);
    void EndModalLoop(int nResult);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void SetDefID(UINT nID);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT lpRect) const;

    LPCTSTR m_lpszTemplateName;
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

protected:
    // The owner of a modal dialog: the parent's top-level window, else the main window.
    HWND PreModal();
    void PostModal();

    HWND CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent, HINSTANCE hInst);
    LPCDLGTEMPLATE LoadTemplate(HINSTANCE* phInst) const;

    int m_nModalResult;
    BOOL m_bInModalLoop;
    BOOL m_bContinueModal;
    HWND m_hWndTop;  // the owner disabled during DoModal

    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
