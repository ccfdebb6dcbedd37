// Window bases with a layout manager: dialog, dialog bar, form view,
// property page and property sheet. Each lays its controls out whenever it
// is sized, cannot be sized below what its tree allows and erases its
// background without flicker. ETSLayoutMgr::ApplyLayout does nothing; a
// derived window that wants its controls placed overrides it, usually with
// ResizeRoot (ETSLayoutPropertySheet does so itself).
#pragma once

#include "ETSLayout.h"

class ETSLayoutDialog : public CDialog, public ETSLayoutMgr {
    DECLARE_DYNAMIC(ETSLayoutDialog)
public:
    // strName: the profile section that keeps the placement, or null for none.
    explicit ETSLayoutDialog(UINT nID, CWnd* pParent = nullptr, const char* strName = nullptr,
                             bool bGripper = true);

    CRect LayoutArea() override;
    BOOL OnInitDialog() override;

    bool m_bGripper;
    CStatusBar m_StatusBar;
    // The size limits, computed on the first request after the tree exists.
    MINMAXINFO m_MinMaxInfo;
    int m_bMinMaxInfoInited;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

class ETSLayoutDialogBar : public CDialogBar, public ETSLayoutMgr {
    DECLARE_DYNAMIC(ETSLayoutDialogBar)
public:
    ETSLayoutDialogBar();

    CRect LayoutArea() override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    // Builds the tree once the bar's controls exist; nothing here.
    virtual bool InitLayout();

    int m_bInitialized;

protected:
    afx_msg LRESULT OnInitDialogBar(WPARAM, LPARAM);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

class ETSLayoutFormView : public CFormView, public ETSLayoutMgr {
    DECLARE_DYNAMIC(ETSLayoutFormView)
public:
    explicit ETSLayoutFormView(UINT nID, const char* strName = nullptr);

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

class ETSLayoutPropertySheet;

class ETSLayoutPropertyPage : public CPropertyPage, public ETSLayoutMgr {
    DECLARE_DYNAMIC(ETSLayoutPropertyPage)
public:
    ETSLayoutPropertyPage();
    explicit ETSLayoutPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit ETSLayoutPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);

    CRect LayoutArea() override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    // While set, only the layout moves or sizes the page (wizard sheets).
    bool m_bLockMove;

protected:
    ETSLayoutPropertySheet* WizardSheet() const;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

class ETSLayoutPropertySheet : public CPropertySheet, public ETSLayoutMgr {
    DECLARE_DYNAMIC(ETSLayoutPropertySheet)
public:
    explicit ETSLayoutPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0,
                                    const char* strName = nullptr, bool bGripper = true);
    explicit ETSLayoutPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0,
                                    const char* strName = nullptr, bool bGripper = true);

    void ApplyLayout(CRect area) override;
    BOOL OnInitDialog() override;

    void SetAutoDestroy() { m_bAutoDestroy = true; }
    void SetAutoDestroyPages() { m_bAutoDestroyPages = true; }
    void ModelessWithButtons() { m_bModelessButtons = true; }

    CRect m_rcStart;  // the window rectangle after the control built the sheet
    CRect m_rcPage;   // where the active page goes
    CStatusBar m_StatusBar;
    LayoutPanePtr m_ItemTab;
    bool m_bGripper;
    bool m_bAutoDestroy;
    bool m_bAutoDestroyPages;
    bool m_bModelessButtons;

protected:
    void Resize(int cx, int cy);
    void PostNcDestroy() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
