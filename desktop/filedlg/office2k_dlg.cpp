#include "office2k_dlg.h"

#include "office2k_ids.h"

#include <shlobj.h>

namespace {

struct Place {
    const char* caption;
    UINT command;
    int image;
    int folder;  // shell folder id
};
const Place kPlaceTable[COffice2KDlg::kPlaces] = {
    {"History", ID_PLACE_HISTORY, 0, CSIDL_RECENT},
    {"My Documents", ID_PLACE_DOCUMENTS, 2, CSIDL_PERSONAL},
    {"Desktop", ID_PLACE_DESKTOP, 1, CSIDL_DESKTOP},
    {"Favourites", ID_PLACE_FAVOURITES, 3, CSIDL_FAVORITES},
    {"Web Folders", ID_PLACE_WEB_FOLDERS, 4, CSIDL_NETHOOD},
};

// The file name is an edit (edt1) in older dialogs, a combo box with an edit
// (cmb13) in newer ones; the shell view is the list's neighbour in the newer.
const int kFileNameEdit = 1152;
const int kFileNameCombo = 1148;
const int kShellList = 1120;
const int kShellView = 1121;

int FileNameId(HWND dlg) { return ::GetDlgItem(dlg, kFileNameEdit) ? kFileNameEdit : kFileNameCombo; }

// The edit the user types the file name into.
HWND FileNameEdit(HWND dlg)
{
    HWND c = ::GetDlgItem(dlg, FileNameId(dlg));
    if (!c)
        return nullptr;
    char cls[32] = {};
    ::GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0)
        return c;
    // Down through the combo boxes to their edit.
    for (HWND w = c; w;) {
        HWND edit = ::FindWindowExA(w, nullptr, "Edit", nullptr);
        if (edit)
            return edit;
        w = ::FindWindowExA(w, nullptr, "ComboBox", nullptr);
    }
    return nullptr;
}

void PostKey(HWND wnd, UINT vk)
{
    ::PostMessageA(wnd, WM_KEYDOWN, vk, 1);
    ::PostMessageA(wnd, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace

BEGIN_MESSAGE_MAP(COffice2KDlg, CFileDialog)
    ON_WM_SIZE()
END_MESSAGE_MAP()

COffice2KDlg::COffice2KDlg(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                           LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd), m_bOpen(bOpenFileDialog)
{
    m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
    m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_OFFICE2K_CHILD);
    m_ofn.hInstance = AfxGetResourceHandle();
}

CString COffice2KDlg::PlacePath(UINT nCommand)
{
    for (const Place& p : kPlaceTable)
        if (p.command == nCommand) {
            char path[MAX_PATH] = {};
            if (::SHGetSpecialFolderPathA(nullptr, path, p.folder, FALSE))
                return path;
            return CString();
        }
    return CString();
}

BOOL COffice2KDlg::OnInitDialog()
{
    CFileDialog::OnInitDialog();
    m_ImageList.Create(IDB_PLACES, 32, 0, RGB(255, 0, 255));
    return TRUE;
}

void COffice2KDlg::OnInitDone()
{
    m_Places[1].SetSelected(TRUE);  // "My Documents", without going there
    if (HWND edit = FileNameEdit(GetFileDialogWindow()))
        if (!m_FileNameEdit.m_hWnd)
            m_FileNameEdit.SubclassWindow(edit);
}

void COffice2KDlg::OnSize(UINT nType, int cx, int cy)
{
    CFileDialog::OnSize(nType, cx, cy);
    if (!m_bLaidOut && GetFileDialogWindow())
        Layout();
}

void COffice2KDlg::Layout()
{
    HWND dlg = GetFileDialogWindow();
    CWnd* size = GetDlgItem(IDC_LAYOUT_SIZE);
    CWnd* bar = GetDlgItem(IDC_PLACES_BAR);
    if (!dlg || !size || !bar)
        return;
    m_bLaidOut = true;
    CRect r;
    size->GetWindowRect(&r);
    ScreenToClient(&r);
    r.right -= 5;
    r.bottom -= 5;
    const int m = 4, L = r.left + m, T = r.top + m, Rr = r.right - m, B = r.bottom - m;
    CRect barClient;
    bar->GetClientRect(&barClient);
    const int W = barClient.Width();

    CRect whole;
    size->GetWindowRect(&whole);
    ::SetWindowPos(dlg, nullptr, 0, 0, whole.Width(), whole.Height() + 20, SWP_NOMOVE | SWP_NOZORDER);

    // The system's controls, placed in this window's coordinates.
    auto place = [&](int id, int x, int y, int w, int h, bool keepSize) {
        HWND c = ::GetDlgItem(dlg, id);
        if (!c)
            return;
        POINT pt = {x, y};
        ::MapWindowPoints(m_hWnd, dlg, &pt, 1);
        ::SetWindowPos(c, nullptr, pt.x, pt.y, w, h, SWP_NOZORDER | (keepSize ? SWP_NOSIZE : 0));
    };
    place(1091, 40, T + 3, 0, 0, true);
    place(1137, L + W + m, T, 250, 180, false);
    if (HWND tools = ::FindWindowExA(dlg, nullptr, "ToolbarWindow32", nullptr)) {
        POINT pt = {L + W + 2 * m + 250, T};
        ::MapWindowPoints(m_hWnd, dlg, &pt, 1);
        ::SetWindowPos(tools, nullptr, pt.x, pt.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    }
    place(kShellList, L + W + m, T + m + 22, Rr - (L + W + m), B - 3 * m - 44 - T - 22, false);
    place(kShellView, L + W + m, T + m + 22, Rr - (L + W + m), B - 3 * m - 44 - T - 22, false);
    place(1090, L + W + m, B - 2 * m - 36, 60, 12, false);
    place(1089, L + W + m, B - 18, 60, 12, false);
    const int X = L + W + m + 70;
    place(FileNameId(dlg), X, B - m - 44, Rr - 120 - X, 22, false);
    place(1136, X, B - 22, Rr - 120 - X, 150, false);
    if (HWND ok = ::GetDlgItem(dlg, IDOK))
        ::ShowWindow(ok, SW_HIDE);
    // A places bar of the system's own (newer dialogs) gives way to this one.
    if (HWND systemPlaces = ::GetDlgItem(dlg, 1184))
        ::ShowWindow(systemPlaces, SW_HIDE);
    place(IDCANCEL, Rr - 90, B - 22, 90, 22, false);

    // The split button sits in this window, where the OK button was.
    m_SplitButton.Create(m_bOpen ? "&Open" : "&Save", WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON,
                         CRect(Rr - 90, B - m - 44, Rr, B - m - 22), this, IDOK);
    m_SplitButton.SetImage(m_bOpen ? IDB_OPEN_GLYPH : IDB_SAVE_GLYPH, RGB(255, 0, 255));
    if (m_bOpen) {
        m_SplitButton.AddMenuItem(IDOK, "&Open", 0);
        m_SplitButton.AddMenuItem(IDOK, "Open &Read-Only", 0);
        m_SplitButton.AddMenuItem(IDOK, "Open as &Copy", 0);
        m_SplitButton.AddMenuItem(IDOK, "Open in &Browser", MF_GRAYED | MF_DISABLED);
    } else {
        m_SplitButton.AddMenuItem(IDOK, "&Save", 0);
        m_SplitButton.AddMenuItem(IDOK, "Save with &Filter", 0);
    }
    m_SplitButton.ShowWindow(SW_SHOW);

    bar->MoveWindow(L, T + m + 22, W, B - T - m - 22);
    bar->GetClientRect(&barClient);
    const int h = barClient.Height() / kPlaces;
    for (int i = 0; i < kPlaces; ++i) {
        const DWORD style = WS_VISIBLE | (kPlaceTable[i].command == ID_PLACE_WEB_FOLDERS ? WS_DISABLED : 0);
        m_Places[i].Create(kPlaceTable[i].caption, style, CRect(0, i * h, barClient.Width(), (i + 1) * h), bar,
                           kPlaceTable[i].command, &m_ImageList, kPlaceTable[i].image);
    }
    m_Places[1].SetSelected(TRUE);
}

BOOL COffice2KDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (id == IDOK) {
        // The split button and each item of its menu: the system dialog's own
        // default action on what the file-name edit names.
        if (HWND dlg = GetFileDialogWindow())
            if (HWND edit = FileNameEdit(dlg))
                PostKey(edit, VK_RETURN);
        return TRUE;
    }
    if (id >= ID_PLACE_HISTORY && id <= ID_PLACE_WEB_FOLDERS) {
        GoToPlace(id);
        return TRUE;
    }
    return CFileDialog::OnCommand(wParam, lParam);
}

void COffice2KDlg::GoToPlace(UINT nCommand) { NavigateTo(nCommand, PlacePath(nCommand)); }

void COffice2KDlg::NavigateTo(UINT nCommand, const CString& path)
{
    // A place the system does not have leaves the dialog where it is.
    if (path.IsEmpty()) {
        for (CPlacesButton& b : m_Places)
            if (b.GetCommand() == nCommand && b.m_hWnd)
                b.SetSelected(FALSE);
        return;
    }
    lstrcpynA(g_szPlacesPath, path, MAX_PATH);
    HWND dlg = GetFileDialogWindow();
    for (int id : {kShellList, kShellView})
        if (HWND list = ::GetDlgItem(dlg, id))
            PostKey(list, VK_F5);
    if (HWND edit = FileNameEdit(dlg)) {
        ::SetWindowTextA(edit, g_szPlacesPath);
        g_bPlacesNavigating = TRUE;
        PostKey(edit, VK_RETURN);
    }
    for (CPlacesButton& b : m_Places)
        if (b.m_hWnd)
            b.SetSelected(b.GetCommand() == nCommand);
}
