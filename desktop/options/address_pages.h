// "Acceptable" and "Handheld": the accepted senders, the short-reply senders
// and the forward rules, with the two small dialogs that add an entry. The
// pages read the lists from the settings when their window is made and hand
// them back (empty entries left out) when it goes.
#pragma once

#include "fx/fxwin.h"

#include <vector>

class CAssistantSettings;

class CAddAddressDlg : public CDialog {
public:
    explicit CAddAddressDlg(CWnd* pParent = nullptr);
    CString m_strPrompt;
    CString m_strAddress;

    static const int kMaxAddressChars = 128;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};

class CAddForwardRuleDlg : public CDialog {
public:
    explicit CAddForwardRuleDlg(CWnd* pParent = nullptr);
    CString m_strFrom;
    CString m_strTo;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};

class CAcceptAddress : public CPropertyPage {
public:
    explicit CAcceptAddress(const CAssistantSettings* pSettings = nullptr);
    const CAssistantSettings* m_pSettings;
    int m_bNoUpdates = 0;
    // Collected when the page's window goes; the sheet reads it after OK.
    std::vector<CString> m_Addresses;
    // True once the page's window existed (its list then replaces the stored one).
    bool m_bShown = false;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnAdd();
    afx_msg void OnRemove();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    CListCtrl m_List;
};

class CHandheldProp : public CPropertyPage {
public:
    explicit CHandheldProp(const CAssistantSettings* pSettings = nullptr);
    const CAssistantSettings* m_pSettings;
    int m_nShortMessageLength = 0;
    std::vector<CString> m_ShortAddresses;
    std::vector<CString> m_ForwardFrom;
    std::vector<CString> m_ForwardTo;
    bool m_bShown = false;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnAddShort();
    afx_msg void OnRemoveShort();
    afx_msg void OnAddForward();
    afx_msg void OnRemoveForward();
    afx_msg void OnSpin(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    CListCtrl m_ShortList;
    CListCtrl m_ForwardList;
};

// Deletes the selected row of a list; nothing without a selection.
void RemoveSelectedRow(CListCtrl& list);
