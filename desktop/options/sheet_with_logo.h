// CPropertySheetWithLogo: the settings sheet and the first-run wizard. It paints
// an embossed logo text left of its buttons and steps through its pages with
// Page Up and Page Down. CColourPreview: the "Screen" page's sample of the six
// window colours.
#pragma once

#include "fx/fxwin.h"

class CPropertySheetWithLogo : public CPropertySheet {
public:
    CPropertySheetWithLogo(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    CPropertySheetWithLogo(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheetWithLogo() override;

    void SetLogoText(CString text) { m_strLogo = text; }
    const CString& GetLogoText() const { return m_strLogo; }

    BOOL OnInitDialog() override;
    INT_PTR DoModal() override;
    BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0) override;
    // A key released in the sheet or one of its controls: Page Up and Page Down
    // move through the pages (in a wizard through Back and Next, so each page's
    // own checks run). True when the key was taken.
    BOOL OnPageKeyUp(UINT nChar);
    // The rectangle the logo is painted in (client coordinates); empty without a sheet.
    CRect GetLogoRect() const;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void HookKeys();
    void UnhookKeys();
    static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam);

    CString m_strLogo;
    CFont m_fontLogo;
    HHOOK m_hKeyHook = nullptr;
};

class CColourPreview : public CStatic {
public:
    COLORREF m_Colors[6] = {};
    void SetColours(const COLORREF colours[6]);

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
