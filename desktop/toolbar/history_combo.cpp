#include "history_combo.h"

#include "button_bar_place.h"
#include "history_text.h"

#include "BmpMenu.h"

#include <vector>

namespace {
const UINT kMenuResource = 172;
const UINT kSideBitmap = 131;
const UINT kDefaultBarId = 1002;

// "" counts as none in the file dialog's options.
LPCTSTR OrNull(const CString& s) { return s.IsEmpty() ? nullptr : static_cast<LPCTSTR>(s); }

// HKEY root\Software\company\application\History, opened with `access`
// (created when `create`); null when it cannot be had.
HKEY OpenHistoryKey(HKEY root, const CString& company, const CString& application, REGSAM access, bool create)
{
    HKEY software = nullptr, companyKey = nullptr, appKey = nullptr, history = nullptr;
    auto open = [&](HKEY parent, const char* name, HKEY* out) {
        if (create)
            return ::RegCreateKeyExA(parent, name, 0, nullptr, 0, access, nullptr, out, nullptr) == ERROR_SUCCESS;
        return ::RegOpenKeyExA(parent, name, 0, access, out) == ERROR_SUCCESS;
    };
    if (open(root, "Software", &software)) {
        if (open(software, company, &companyKey)) {
            if (open(companyKey, application, &appKey)) {
                if (!open(appKey, "History", &history))
                    history = nullptr;
                ::RegCloseKey(appKey);
            }
            ::RegCloseKey(companyKey);
        }
        ::RegCloseKey(software);
    }
    return history;
}
}  // namespace

IMPLEMENT_DYNAMIC(CHistoryCombo, CComboBox)

BEGIN_MESSAGE_MAP(CHistoryCombo, CComboBox)
    ON_WM_CREATE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_ENABLE()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_CONTROL_REFLECT_EX(CBN_EDITUPDATE, OnEditUpdate)
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_CLEAR_HISTORY, OnClearHistory)
    ON_COMMAND(ID_CLEAR_HISTORY2, OnClearHistory)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CHistoryCombo::CHistoryCombo(int buttonBarPosition, BOOL placement, UINT toolbarId)
    : m_nButtonBarPosition(buttonBarPosition), m_bButtonBarPlacement(placement),
      m_nToolbarId(toolbarId ? toolbarId : kDefaultBarId)
{
    char folder[MAX_PATH] = {};
    const DWORD n = ::GetCurrentDirectoryA(sizeof folder, folder);
    if (n > 0 && n < sizeof folder)
        m_strBrowseFolder = folder;
}

// ---- The button bar.

void CHistoryCombo::PreSubclassWindow()
{
    CComboBox::PreSubclassWindow();
    // A control made by a dialog template is subclassed, not created here.
    // While this combo is itself being created it has no combo data yet:
    // OnCreate makes the bar then.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetComboBoxInfo(m_hWnd, &info))
        return;
    if (CWnd* parent = GetParent())
        CreateButtonBar(parent);
}

int CHistoryCombo::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CComboBox::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (CWnd* parent = GetParent())
        CreateButtonBar(parent);
    return 0;
}

void CHistoryCombo::CreateButtonBar(CWnd* parent)
{
    if (!parent || m_ButtonBar.m_hWnd)
        return;
    if (!m_ButtonBar.CreateEx(parent, TBSTYLE_FLAT, WS_CHILD | CBRS_TOOLTIPS | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0),
                              AFX_IDW_TOOLBAR))
        return;
    // A missing resource leaves the bar without buttons, hidden.
    if (m_ButtonBar.LoadToolBar(m_nToolbarId))
        ApplyShownButtons();
    else
        m_ButtonBar.SetButtons(nullptr, 0);
    PlaceButtonBar();
    if (m_bBound)
        LoadHistory(m_strValueName, m_strCompany, m_strApplication, HKEY_CURRENT_USER, FALSE);
}

BOOL CHistoryCombo::ApplyShownButtons()
{
    int kept = 0;
    for (int i = m_ButtonBar.GetCount() - 1; i >= 0; --i) {
        if (i >= HISTORY_BUTTON_COUNT || !m_bButtonShown[i])
            m_ButtonBar.GetToolBarCtrl().DeleteButton(i);
        else
            ++kept;
    }
    return kept > 0;
}

void CHistoryCombo::PlaceButtonBar()
{
    if (!m_ButtonBar.m_hWnd)
        return;
    CWnd* parent = m_ButtonBar.GetParent();
    const bool hasButtons = m_ButtonBar.GetCount() > 0;
    CRect combo;
    GetWindowRect(&combo);
    if (parent)
        parent->ScreenToClient(&combo);
    const CSize size = hasButtons ? m_ButtonBar.CalcFixedLayout(FALSE, TRUE) : CSize(0, 0);
    const BarBox borders{m_ButtonBar.m_cxLeftBorder, m_ButtonBar.m_cyTopBorder, m_ButtonBar.m_cxRightBorder,
                         m_ButtonBar.m_cyBottomBorder};
    const BarPlace place = ButtonBarOrigin(m_nButtonBarPosition, m_bButtonBarPlacement != FALSE, hasButtons,
                                           {combo.left, combo.top, combo.right, combo.bottom}, size.cx, size.cy,
                                           borders);
    if (!place.shown) {
        m_ButtonBar.ShowWindow(SW_HIDE);
        return;
    }
    m_ButtonBar.SetWindowPos(nullptr, place.x, place.y, size.cx, size.cy,
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CHistoryCombo::SetButtonBarPosition(int position, BOOL placement)
{
    m_nButtonBarPosition = position;
    m_bButtonBarPlacement = placement;
    PlaceButtonBar();
}

void CHistoryCombo::SetButtonShown(int index, BOOL shown)
{
    if (index >= 0 && index < HISTORY_BUTTON_COUNT)
        m_bButtonShown[index] = shown;
}

BOOL CHistoryCombo::IsButtonShown(int index) const
{
    return index >= 0 && index < HISTORY_BUTTON_COUNT && m_bButtonShown[index];
}

void CHistoryCombo::SetButtonBarId(UINT resourceId) { m_nToolbarId = resourceId ? resourceId : kDefaultBarId; }

void CHistoryCombo::SetBrowseOptions(BOOL open, LPCTSTR defaultExt, LPCTSTR fileName, DWORD flags, LPCTSTR filter,
                                     CWnd* parent, LPCTSTR initialFolder)
{
    m_bBrowseOpen = open;
    m_strBrowseDefExt = defaultExt ? defaultExt : "";
    m_strBrowseFileName = fileName ? fileName : "";
    m_dwBrowseFlags = flags;
    m_strBrowseFilter = filter ? filter : "";
    m_pBrowseParent = parent;
    if (initialFolder)
        m_strBrowseFolder = initialFolder;
}

BOOL CHistoryCombo::Browse()
{
    CFileDialog dialog(m_bBrowseOpen, OrNull(m_strBrowseDefExt), OrNull(m_strBrowseFileName), m_dwBrowseFlags,
                       OrNull(m_strBrowseFilter), m_pBrowseParent);
    dialog.m_ofn.lpstrInitialDir = OrNull(m_strBrowseFolder);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    if (!m_hWnd)
        return TRUE;
    SetWindowText(dialog.GetPathName());
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CBN_EDITCHANGE), reinterpret_cast<LPARAM>(m_hWnd));
    return TRUE;
}

void CHistoryCombo::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CComboBox::OnWindowPosChanged(lpwndpos);
    PlaceButtonBar();
}

void CHistoryCombo::OnEnable(BOOL bEnable)
{
    CComboBox::OnEnable(bEnable);
    if (m_ButtonBar.m_hWnd)
        m_ButtonBar.EnableWindow(bEnable);
    SetEditSel(-1, 0);
}

LRESULT CHistoryCombo::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (m_ButtonBar.m_hWnd)
        if (CWnd* parent = GetParent())
            m_ButtonBar.UpdateButtons(parent, static_cast<BOOL>(wParam));
    return 0;
}

int CHistoryCombo::AddToHistory(LPCTSTR text)
{
    CString t;
    if (text && *text)
        t = text;
    else if (m_hWnd)
        GetWindowText(t);
    if (t.IsEmpty() || !m_hWnd)
        return 0;
    bool existed = false;
    const int found = FindStringExact(-1, t);
    if (found != CB_ERR) {
        DeleteString(static_cast<UINT>(found));
        existed = true;
    }
    InsertString(0, t);
    SetCurSel(0);
    while (GetCount() > m_nMaxItems)
        DeleteString(static_cast<UINT>(GetCount() - 1));
    SetEditSel(0, -1);
    return existed ? 0 : 1;
}

int CHistoryCombo::DeleteItem(int index)
{
    if (index == -1)
        index = GetCurSel();
    if (index < 0 || DeleteString(static_cast<UINT>(index)) == CB_ERR)
        return 0;
    if (index < GetCount()) {
        SetCurSel(index);
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CBN_SELCHANGE),
                                reinterpret_cast<LPARAM>(m_hWnd));
    } else if (index > 0) {
        SetCurSel(index - 1);
    }
    return 1;
}

BOOL CHistoryCombo::HasText() const
{
    return m_hWnd && ::GetWindowTextLengthA(m_hWnd) > 0;
}

BOOL CHistoryCombo::HasSelection() const { return m_hWnd && GetCurSel() != CB_ERR; }

void CHistoryCombo::SetMaxItems(int count)
{
    m_nMaxItems = count < 1 ? 1 : count;
    if (m_hWnd)
        while (GetCount() > m_nMaxItems)
            DeleteString(static_cast<UINT>(GetCount() - 1));
}

bool CHistoryCombo::ResolveKeys(CString& company, CString& application) const
{
    CWinApp* app = AfxGetApp();
    if (company.IsEmpty() && app && app->m_pszRegistryKey)
        company = app->m_pszRegistryKey;
    if (application.IsEmpty() && app && app->m_pszProfileName)
        application = app->m_pszProfileName;
    return !company.IsEmpty();
}

BOOL CHistoryCombo::SaveHistory(LPCTSTR valueName, LPCTSTR company, LPCTSTR application, HKEY root,
                                BOOL addCurrent)
{
    CString c = company ? company : "", a = application ? application : "";
    if (!valueName || !*valueName || !ResolveKeys(c, a))
        return FALSE;
    if (m_hWnd) {
        // A list that was closed away (every window of a closing program gets
        // WM_CLOSE, the combo's drop-down list too) reads as empty: saving it
        // would wipe the stored history.
        COMBOBOXINFO info = {};
        info.cbSize = sizeof info;
        if (::GetComboBoxInfo(m_hWnd, &info) && info.hwndList && !::IsWindow(info.hwndList))
            return FALSE;
    }
    if (addCurrent)
        AddToHistory();
    std::vector<CString> items;
    if (m_hWnd)
        for (int i = 0; i < GetCount(); ++i) {
            CString item;
            GetLBText(i, item);
            items.push_back(item);
        }
    const CString joined = JoinHistory(items);
    HKEY key = OpenHistoryKey(root, c, a, KEY_READ | KEY_WRITE, true);
    if (!key)
        return FALSE;
    LONG rc;
    if (!joined.IsEmpty())
        rc = ::RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCTSTR>(joined)),
                              static_cast<DWORD>(joined.GetLength() + 1));
    else
        rc = ::RegDeleteValueA(key, valueName);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

BOOL CHistoryCombo::LoadHistory(LPCTSTR valueName, LPCTSTR company, LPCTSTR application, HKEY root,
                                BOOL selectFirst)
{
    CString c = company ? company : "", a = application ? application : "";
    if (!valueName || !*valueName || !ResolveKeys(c, a) || !m_hWnd)
        return FALSE;
    CString stored;
    if (HKEY key = OpenHistoryKey(root, c, a, KEY_READ, false)) {
        DWORD type = 0, size = 0;
        if (::RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0 &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            std::vector<unsigned char> data(size);
            if (::RegQueryValueExA(key, valueName, nullptr, &type, data.data(), &size) == ERROR_SUCCESS)
                stored = HistoryValueText(data.data(), size < data.size() ? size : data.size());
        }
        ::RegCloseKey(key);
    }
    ResetContent();
    for (const CString& item : SplitHistory(stored, m_nMaxItems))
        AddString(item);
    if (selectFirst && GetCount() > 0) {
        SetCurSel(0);
        if (::GetFocus() == m_hWnd && IsWindowEnabled())
            SetEditSel(0, -1);
    }
    return TRUE;
}

void CHistoryCombo::BindRegistry(LPCTSTR valueName, LPCTSTR company, LPCTSTR application)
{
    m_bBound = TRUE;
    m_strValueName = valueName ? valueName : "";
    m_strCompany = company ? company : "";
    m_strApplication = application ? application : "";
    if (m_hWnd)
        LoadHistory(m_strValueName, m_strCompany, m_strApplication, HKEY_CURRENT_USER, FALSE);
}

BOOL CHistoryCombo::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN)
        m_bAutoComplete = !(pMsg->wParam == VK_DELETE || pMsg->wParam == VK_BACK);
    return CComboBox::PreTranslateMessage(pMsg);
}

BOOL CHistoryCombo::OnEditUpdate()
{
    if (!m_bAutoComplete)
        return FALSE;
    CString typed;
    GetWindowText(typed);
    const int length = typed.GetLength();
    const DWORD sel = GetEditSel();
    const int selStart = LOWORD(sel), selEnd = HIWORD(sel);
    const bool hadSelection = sel != static_cast<DWORD>(CB_ERR);
    if (SelectString(-1, typed) == CB_ERR) {
        SetWindowText(typed);
        if (hadSelection)
            SetEditSel(selStart, selEnd);
    }
    if (!hadSelection || selEnd >= length)
        SetEditSel(length, -1);
    else
        SetEditSel(selStart, selEnd);
    return FALSE;
}

void CHistoryCombo::OnContextMenu(CWnd*, CPoint point)
{
    HMENU bar = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(kMenuResource));
    HMENU popup = bar ? ::GetSubMenu(bar, 0) : nullptr;
    HMENU own = nullptr;
    if (!popup) {
        // A module without the menu resource still offers the one command.
        own = ::CreatePopupMenu();
        ::AppendMenuA(own, MF_STRING, ID_CLEAR_HISTORY, "&Clear History");
        popup = own;
    }
    HBITMAP side = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(kSideBitmap));
    if (m_pKeepShown)
        *m_pKeepShown = TRUE;
    {
        CBmpMenu menu(24, 1, side, 1);
        menu.Attach(popup);
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
        menu.Detach();
    }
    if (m_pKeepShown)
        *m_pKeepShown = FALSE;
    if (side)
        ::DeleteObject(side);
    if (bar)
        ::DestroyMenu(bar);
    if (own)
        ::DestroyMenu(own);
}

void CHistoryCombo::OnClearHistory() { ResetContent(); }

void CHistoryCombo::OnDestroy()
{
    if (m_bBound)
        SaveHistory(m_strValueName, m_strCompany, m_strApplication, HKEY_CURRENT_USER, TRUE);
    if (m_ButtonBar.m_hWnd)
        m_ButtonBar.DestroyWindow();
    Default();
}
