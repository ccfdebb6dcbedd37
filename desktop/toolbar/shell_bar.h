// The desktop toolbar: a small bar docked at the top or bottom of the screen
// in which the user types a request, optionally with one attached file, and
// presses "&Go!" or Enter. It keeps a history of requests, takes dropped
// files, offers the program's menu and comes forward on a hot key. One per
// process.
#pragma once

#include "drop_files_icon.h"
#include "history_combo.h"
#include "layout_appbar.h"
#include "shape_button.h"
#include "window_shaper.h"

#define IDD_SHELLBAR 156
#define IDC_SHELLBAR_COMBO 1002
#define IDC_SHELLBAR_DROP 1054
#define IDC_SHELLBAR_MENU_PLACE 1053
#define IDC_SHELLBAR_GO_PLACE 1004
#define ID_SHELLBAR_GO 25468
#define ID_SHELLBAR_MENU 25517
#define IDR_SHELLBAR_MENU 143
#define WM_ACTIVATE_INSTANCE 0x2490
#define IDS_NOT_UNDERSTOOD 61248

#define SHELLBAR_STATE_KEY "Software\\Ostrel Software\\Vindalex Personal Assistant\\Korvaneant1"
#define SHELLBAR_STATE_VALUE "kVAppBar"
#define SHELLBAR_HISTORY_VALUE "DesktopToolbarHistory"
#define SHELLBAR_COMPANY "Ostrel Software"
#define SHELLBAR_APPLICATION "Vindalex Personal Assistant"
#define SHELLBAR_TEXT_NOT_UNDERSTOOD                                                              \
    "I'm sorry, I had trouble understanding what it is you wanted me to do, perhaps I was "       \
    "instructed to ignore these types of requests?"
#define SHELLBAR_TEXT_BUSY \
    "Your assistant is busy with another request right now. Please try again in a moment."

class CShellBar : public ETSLayoutAppBar, public CWindowShaper {
    DECLARE_DYNAMIC(CShellBar)
public:
    CShellBar();
    ~CShellBar() override;

    static int CreateShellBar();
    static void DestroyShellBar();
    // The toolbar, or null while there is none.
    static CShellBar* m_pShellBar;

    CWnd* GetShapedWnd() const override { return const_cast<CShellBar*>(this); }
    void ApplyLayout(CRect area) override;
    // A docked bar keeps the size of its edge; only a floating one is held
    // within the sizes its layout allows.
    void Relayout() override;
    BOOL OnInitDialog() override;
    void OnAppBarStateChange(BOOL proposed, int state) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // The menu's commands and their states: the console view (while one is
    // open) first, then the toolbar, then the application.
    BOOL RouteMenuCommand(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    void SaveState();
    void ShapeWindow(int width, int height);

    CToolTipCtrl m_ToolTip;
    CFont m_TitleFont, m_TextFont;
    CPen m_WhitePen, m_BlackPen, m_ShadowPen, m_FacePen;
    CSize m_sizeClient;
    CString m_strFile, m_strRequest;
    CDropFilesIcon m_DropIcon;
    CShapeButton m_MenuButton, m_GoButton;
    CHistoryCombo m_Combo;

protected:
    afx_msg void OnGo();
    afx_msg void OnMenuButton();
    afx_msg void OnConsoleCommand();
    afx_msg void OnActivateMail();
    afx_msg void OnNothing();
    afx_msg void OnPreviousLog();
    afx_msg void OnOptions();
    afx_msg void OnClearHistory();
    afx_msg void OnToggleOnTop();
    afx_msg void OnToggleAutoHide();
    afx_msg LRESULT OnHotKey(WPARAM, LPARAM);
    afx_msg LRESULT OnInitMenuPopupMsg(WPARAM wParam, LPARAM lParam);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    void ShapeButtons();
    void MakeButton(CShapeButton& button, UINT placeholder, UINT id, LPCTSTR caption, LPCTSTR text);
    void ShowNotice(LPCTSTR text);
};

// The hot-key library "vndHook.dll": loaded for the toolbar's window, given
// the key, freed with the toolbar. Without it the toolbar has no hot key.
void LoadKeyboardHook(HWND window);
void SetHookHotKey(char key, BOOL shift, BOOL ctrl, BOOL alt);
void UnloadKeyboardHook();
HMODULE KeyboardHookModule();
