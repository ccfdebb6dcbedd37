// CHistoryCombo: a drop-down combo box that remembers the texts entered into
// it, newest first, without duplicates (letter case ignored), at most a fixed
// number, kept in the registry as one string; it completes the typed text from
// its list and offers a context menu that clears the list.
#pragma once

#include "fx/fxwin.h"

#define ID_CLEAR_HISTORY 32799
#define ID_CLEAR_HISTORY2 32800

class CHistoryCombo : public CComboBox {
    DECLARE_DYNAMIC(CHistoryCombo)
public:
    CHistoryCombo(int buttonBarPosition = 1, BOOL placement = FALSE, UINT toolbarId = 0);

    virtual int AddToHistory(LPCTSTR text = nullptr);
    virtual int DeleteItem(int index = -1);
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

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg BOOL OnEditUpdate();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnClearHistory();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    bool ResolveKeys(CString& company, CString& application) const;
};
