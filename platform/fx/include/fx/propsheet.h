// Property sheets and their pages, on the system's property sheet control.
// A page is a CDialog whose window the sheet creates when it is first shown;
// the sheet's window gets its object through the creation hook, so both run
// through message maps like any window of the layer.
#pragma once

#include "fx/dialog.h"
#include "fx/cmnctrls.h"

#include <prsht.h>
#include <vector>

class CPropertySheet;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    PROPSHEETPAGEA m_psp;

    // Notifications from the sheet. OnSetActive/OnKillActive return FALSE to
    // refuse; the wizard handlers return 0 to go on, -1 to stay, or a page's
    // template id to jump there.
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    virtual void OnOK();
    virtual void OnCancel();
    virtual BOOL OnApply();
    virtual void OnReset();
    virtual BOOL OnQueryCancel();
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    virtual BOOL OnWizardFinish();

    void SetModified(BOOL bChanged = TRUE);
    void CancelToClose();
    // The sheet holding this page (null before it is added).
    CPropertySheet* GetSheet() const { return m_pSheet; }

    // Page windows are not created through DoModal or Create.
    INT_PTR DoModal() override { return -1; }

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption);
    // The page procedure: binds the page object on WM_INITDIALOG.
    static INT_PTR CALLBACK PageDlgProc(HWND, UINT, WPARAM, LPARAM);
    // m_psp as the sheet hands it to the system: the template loaded, the caption set.
    PROPSHEETPAGEA SheetPage() const;
    friend class CPropertySheet;
    CPropertySheet* m_pSheet;
    CString m_strCaption;
    BOOL m_bModified;
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    PROPSHEETHEADERA m_psh;

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const { return (int)m_pages.size(); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    CTabCtrl* GetTabControl() const;
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
    void SetWizardMode();
    BOOL IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
    void SetWizardButtons(DWORD dwFlags);
    void SetFinishText(LPCTSTR lpszText);
    BOOL PressButton(int nButton);
    void EndDialog(int nEndID);
    BOOL IsModeless() const { return m_bModeless; }

    // Modeless: creates the sheet's window (and the first page's).
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);
    // Modal: runs the sheet until it closes; IDOK, ID_WIZFINISH (a wizard's Finish)
    // or IDCANCEL (-1 when it could not be created).
    virtual INT_PTR DoModal();

    virtual BOOL OnInitDialog();

    CWnd* m_pParentWnd;

protected:
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    void BuildHeader(DWORD dwExtraFlags, std::vector<PROPSHEETPAGEA>& pages);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);

    std::vector<CPropertyPage*> m_pages;
    CString m_strCaption;
    BOOL m_bModeless;
    DWORD m_dwCreateStyle;
    DWORD m_dwCreateExStyle;
    friend class CPropertyPage;
    static int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
