// CHistoryCombo: a drop-down combo box that remembers the texts entered into
// it, newest first, without duplicates (letter case ignored), at most a fixed
// number, kept in the registry as one string; it completes the typed text from
// its list and offers a context menu that clears the list. It can carry a
// small button bar beside it, whose browse button fills it from a file dialog.
#pragma once

#include "fx/fxwin.h"

#define ID_CLEAR_HISTORY 32799
#define ID_CLEAR_HISTORY2 32800
#define HISTORY_BUTTON_COUNT 10

class CHistoryCombo : public CComboBox {
    DECLARE_DYNAMIC(CHistoryCombo)
public:
    CHistoryCombo(int buttonBarPosition = 1, BOOL placement = FALSE, UINT toolbarId = 0);

    // A child tool bar of parent, beside the combo, from the tool-bar resource.
    virtual void CreateButtonBar(CWnd* parent);
    virtual int AddToHistory(LPCTSTR text = nullptr);
    virtual int DeleteItem(int index = -1);
    // A file dialog with the browse options; on OK its path becomes the
    // combo's text and the parent hears CBN_EDITCHANGE. TRUE on OK.
    virtual BOOL Browse();
    virtual BOOL HasText() const;
    virtual BOOL HasSelection() const;
    virtual BOOL CanBrowse() const { return TRUE; }

    BOOL SaveHistory(LPCTSTR valueName, LPCTSTR company, LPCTSTR application, HKEY root, BOOL addCurrent);
    BOOL LoadHistory(LPCTSTR valueName, LPCTSTR company, LPCTSTR application, HKEY root, BOOL selectFirst);
    void SetMaxItems(int count);
    int GetMaxItems() const { return m_nMaxItems; }
    void BindRegistry(LPCTSTR valueName, LPCTSTR company, LPCTSTR application);
    void UnbindRegistry() { m_bBound = FALSE; }
    void ClearHistory() { ResetContent(); }

    // Position 1 hides the bar; 2 to 13 place it around the combo (see
    // ButtonBarOrigin). placement nonzero overlaps the combo's edge by the
    // bar's border.
    void SetButtonBarPosition(int position, BOOL placement);
    void SetButtonShown(int index, BOOL shown);
    BOOL IsButtonShown(int index) const;
    void SetButtonBarId(UINT resourceId);
    // Empty strings count as none; a null parent or folder keeps none / the
    // current one.
    void SetBrowseOptions(BOOL open, LPCTSTR defaultExt, LPCTSTR fileName, DWORD flags, LPCTSTR filter,
                          CWnd* parent, LPCTSTR initialFolder);
    CToolBar& GetButtonBar() { return m_ButtonBar; }

    // Set while the context menu is open: points at the keep-shown flag of an
    // auto-hiding bar that holds the combo, so the bar stays out.
    BOOL* m_pKeepShown = nullptr;

    int m_nButtonBarPosition;
    BOOL m_bButtonBarPlacement;
    UINT m_nToolbarId;
    int m_nMaxItems = 6;
    BOOL m_bBound = FALSE;
    CString m_strCompany, m_strApplication, m_strValueName;
    BOOL m_bAutoComplete = TRUE;
    BOOL m_bButtonShown[HISTORY_BUTTON_COUNT] = {TRUE, TRUE, TRUE};
    BOOL m_bBrowseOpen = TRUE;
    CString m_strBrowseDefExt;
    CString m_strBrowseFileName = "*.*";
    DWORD m_dwBrowseFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    CString m_strBrowseFilter = "All Files (*.*)| *.* ||";
    CWnd* m_pBrowseParent = nullptr;
    CString m_strBrowseFolder;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEditUpdate();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnClearHistory();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void PlaceButtonBar();
    // Keeps only the buttons whose shown flag is set; FALSE when none stays.
    BOOL ApplyShownButtons();
    CToolBar m_ButtonBar;
    bool ResolveKeys(CString& company, CString& application) const;
};
