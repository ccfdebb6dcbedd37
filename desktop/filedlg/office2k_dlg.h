// COffice2KDlg: the program's open and save dialog, the system's explorer
// dialog with a dark places bar on the left (History, My Documents, Desktop,
// Favourites, Web Folders) and a split Open/Save button with a menu.
#pragma once

#include "fx/fxwin.h"

#include "places_buttons.h"

class COffice2KDlg : public CFileDialog {
public:
    explicit COffice2KDlg(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                          DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                          CWnd* pParentWnd = nullptr);

    static const int kPlaces = 5;
    CPlacesButton* GetPlace(int i) { return (i >= 0 && i < kPlaces) ? &m_Places[i] : nullptr; }
    CDropDownButton& GetSplitButton() { return m_SplitButton; }

    // The folder a place stands for ("" when the system has none).
    static CString PlacePath(UINT nCommand);
    // The jump of place nCommand to `path`; an empty path goes nowhere.
    void NavigateTo(UINT nCommand, const CString& path);

protected:
    BOOL OnInitDialog() override;
    void OnInitDone() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void Layout();
    void GoToPlace(UINT nCommand);

    BOOL m_bOpen;
    bool m_bLaidOut = false;
    CDropDownButton m_SplitButton;
    CPlacesButton m_Places[kPlaces];
    CImageList m_ImageList;
    CFileNameEdit m_FileNameEdit;
};
