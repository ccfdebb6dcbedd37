// "Screen": the window colour scheme, its preview and the animation switch.
#pragma once

#include "fx/fxwin.h"

#include "colour_picker.h"
#include "sheet_with_logo.h"

class CInterfacePage : public CPropertyPage {
public:
    CInterfacePage();

    // Background 1, background 2, background highlight, normal, dim and highlighted text.
    COLORREF m_Colors[6] = {};
    int m_nScheme = 2;  // 0 factory, 1 steel, 2 custom; not stored
    int m_bMainUseBackground2 = 0;
    int m_bShowAnim = 0;

    static const COLORREF kFactory[6];
    static const COLORREF kSteel[6];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnKillActive() override;
    afx_msg void OnFactory();
    afx_msg void OnSteel();
    afx_msg void OnCustom();
    afx_msg LRESULT OnPickerChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ApplyScheme(const COLORREF* colours);
    CColourPicker m_Pickers[6];
    CColourPreview m_Preview;
};
