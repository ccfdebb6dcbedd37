// On-screen message windows: the assistant's answer to a request made at the
// desktop, shown as a free-standing window (subject, date, body, and the
// attached files with their icons and an Open / Edit / Print menu). The
// reply object creates one modeless and hands it to g_WindowMgr; closing it
// destroys the window and the manager then deletes the object.
#pragma once

#include "ETSLayoutBases.h"
#include "CoolGradientButton.h"
#include "TransparentStatic.h"
#include "fx/fxwin.h"
#include "fx/gdi.h"
#include "fx/cmnctrls.h"

#include <commctrl.h>

// The attachment list: a list view in icon mode, one item per file, the
// item's text being the file's full path.
class CAttachmentListCtrl : public CListCtrl {
public:
    using CListCtrl::GetItemText;
    // The item's text whatever its length (a full path).
    CString GetItemText(int nItem) const;
    int GetItemImage(int nItem) const;
    BOOL SetItemImage(int nItem, int nImage);
    BOOL SetItemSelected(int nItem, BOOL bSelected);
};

class CMessageDlg : public ETSLayoutDialog {
    DECLARE_DYNAMIC(CMessageDlg)
public:
    explicit CMessageDlg(CWnd* pParent = nullptr);
    ~CMessageDlg() override;

    CCoolGradientButton m_Separator;
    CString m_strSubject;
    CString m_strDate;
    CString m_strBody;
    CString m_strTitle;
    HICON m_hIcon;
    CTransparentStatic m_Labels[3];

protected:
    CMessageDlg(UINT nIDTemplate, CWnd* pParent);
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void ApplyLayout(CRect area) override;
    // The message-specific rows of the layout (row 4).
    virtual void AddMiddleRows(LayoutPanePtr& root);
    void FinishInit(int nLabels, const UINT* labelIDs);

    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTextChange();
    DECLARE_MESSAGE_MAP()

    CFont m_Font;
    bool m_bRestoring;
};

class CMessageAttachDlg : public CMessageDlg {
    DECLARE_DYNAMIC(CMessageAttachDlg)
public:
    explicit CMessageAttachDlg(CWnd* pParent = nullptr);
    ~CMessageAttachDlg() override;

    // Gives each listed file its icon from the shell.
    void UpdateAttachmentIcons();

    CAttachmentListCtrl m_AttachList;
    CImageList m_ImageList;

    // How files are handed to the shell; tests record instead of launching.
    typedef HINSTANCE (*ShellRunner)(HWND hWnd, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show);
    static ShellRunner SetShellRunner(ShellRunner runner);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void AddMiddleRows(LayoutPanePtr& root) override;
    void RunOnSelection(LPCSTR verb);

    afx_msg void OnRClickList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnAttachOpen();
    afx_msg void OnAttachPrint();
    afx_msg void OnAttachEdit();
    DECLARE_MESSAGE_MAP()
};
