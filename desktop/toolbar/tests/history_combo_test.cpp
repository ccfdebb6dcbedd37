// The history combo box on a real window, its history in the registry.
#include "history_combo.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
const char kCompany[] = "Vindalex Test Company";
const char kApp[] = "History Combo Test";
const char kValue[] = "Requests";
const char kKey[] = "Software\\Vindalex Test Company\\History Combo Test\\History";

class Host : public CWnd {
public:
    Host() { CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr); }
    ~Host() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
};

class HistoryFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vindalex Test Company");
        ASSERT_TRUE(m_combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL,
                                   CRect(5, 5, 200, 150), &m_host, 1002));
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vindalex Test Company"); }

    static std::vector<std::string> Items(CHistoryCombo& combo)
    {
        std::vector<std::string> items;
        for (int i = 0; i < combo.GetCount(); ++i) {
            CString s;
            combo.GetLBText(i, s);
            items.push_back(static_cast<const char*>(s));
        }
        return items;
    }
    static bool StoredValue(std::string* out)
    {
        char data[1024] = {};
        DWORD size = sizeof data, type = 0;
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        const bool found = ::RegQueryValueExA(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
                           ERROR_SUCCESS;
        ::RegCloseKey(key);
        if (found && out)
            *out = data;
        return found;
    }
    static void Store(const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, kValue, 0, REG_SZ, static_cast<const BYTE*>(data), size);
        ::RegCloseKey(key);
    }

    Host m_host;
    CHistoryCombo m_combo;
};

using S = std::vector<std::string>;

TEST_F(HistoryFixture, KeepsTheSixNewestCaseInsensitivelyAcrossARestart)
{
    for (const char* t : {"one", "two", "three", "four", "five", "six", "seven"})
        EXPECT_EQ(m_combo.AddToHistory(t), 1) << t;
    EXPECT_EQ(Items(m_combo), (S{"seven", "six", "five", "four", "three", "two"}));
    // Another spelling of a listed item replaces it, first.
    EXPECT_EQ(m_combo.AddToHistory("FOUR"), 0);
    EXPECT_EQ(Items(m_combo), (S{"FOUR", "seven", "six", "five", "three", "two"}));
    EXPECT_EQ(m_combo.AddToHistory(""), 0) << "the combo's own text is empty";

    m_combo.SetWindowText("a | in a request");
    ASSERT_TRUE(m_combo.SaveHistory(kValue, kCompany, kApp, HKEY_CURRENT_USER, TRUE));
    std::string stored;
    ASSERT_TRUE(StoredValue(&stored));
    EXPECT_EQ(stored, "a \\| in a request|FOUR|seven|six|five|three");

    CHistoryCombo again;
    ASSERT_TRUE(again.Create(WS_CHILD | CBS_DROPDOWN, CRect(5, 5, 200, 150), &m_host, 1003));
    ASSERT_TRUE(again.LoadHistory(kValue, kCompany, kApp, HKEY_CURRENT_USER, TRUE));
    EXPECT_EQ(Items(again), (S{"a | in a request", "FOUR", "seven", "six", "five", "three"}));
    EXPECT_EQ(again.GetCurSel(), 0);
}

TEST_F(HistoryFixture, StoredValuesOfEveryShapeLoadSafely)
{
    struct Case {
        std::string bytes;  // exactly what the value holds, no terminator added
        S expected;
    };
    const Case cases[] = {
        {std::string("a|b|c|d|e|f|g|h", 15), {"a", "b", "c", "d", "e", "f"}},
        {std::string("no terminator"), {"no terminator"}},
        {std::string("early\0hidden", 12), {"early"}},
        {std::string("|x||y|", 6), {"x", "y"}},
    };
    for (const Case& c : cases) {
        Store(c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        ASSERT_TRUE(m_combo.LoadHistory(kValue, kCompany, kApp, HKEY_CURRENT_USER, FALSE));
        EXPECT_EQ(Items(m_combo), c.expected) << c.bytes;
    }
}

TEST_F(HistoryFixture, EmptyListDeletesTheValueAndAMissingValueLoadsEmpty)
{
    m_combo.AddToHistory("something");
    ASSERT_TRUE(m_combo.SaveHistory(kValue, kCompany, kApp, HKEY_CURRENT_USER, FALSE));
    ASSERT_TRUE(StoredValue(nullptr));
    m_combo.ResetContent();
    m_combo.SetWindowText("");
    EXPECT_TRUE(m_combo.SaveHistory(kValue, kCompany, kApp, HKEY_CURRENT_USER, FALSE));
    EXPECT_FALSE(StoredValue(nullptr));
    m_combo.AddToHistory("left over");
    EXPECT_TRUE(m_combo.LoadHistory(kValue, kCompany, kApp, HKEY_CURRENT_USER, FALSE));
    EXPECT_TRUE(Items(m_combo).empty());
    EXPECT_FALSE(m_combo.SaveHistory("", kCompany, kApp, HKEY_CURRENT_USER, FALSE));
}

TEST_F(HistoryFixture, AListClosedAwayDoesNotWipeTheStoredHistory)
{
    m_combo.AddToHistory("kept");
    ASSERT_TRUE(m_combo.SaveHistory(kValue, kCompany, kApp, HKEY_CURRENT_USER, FALSE));
    // A closing program's windows all get WM_CLOSE: the drop-down list too.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetComboBoxInfo(m_combo.m_hWnd, &info));
    ::SendMessageA(info.hwndList, WM_CLOSE, 0, 0);
    if (::IsWindow(info.hwndList))
        GTEST_SKIP() << "the list outlived WM_CLOSE";
    EXPECT_FALSE(m_combo.SaveHistory(kValue, kCompany, kApp, HKEY_CURRENT_USER, TRUE));
    std::string stored;
    ASSERT_TRUE(StoredValue(&stored));
    EXPECT_EQ(stored, "kept");
}

TEST_F(HistoryFixture, DeletingAndClearing)
{
    for (const char* t : {"c", "b", "a"})
        m_combo.AddToHistory(t);
    m_combo.SetCurSel(1);
    EXPECT_EQ(m_combo.DeleteItem(), 1);
    EXPECT_EQ(Items(m_combo), (S{"a", "c"}));
    EXPECT_EQ(m_combo.GetCurSel(), 1) << "the item that followed is selected";
    EXPECT_EQ(m_combo.DeleteItem(5), 0);
    // Clearing with nothing selected still removes every item.
    m_combo.SetCurSel(-1);
    m_combo.SendMessage(WM_COMMAND, ID_CLEAR_HISTORY);
    EXPECT_EQ(m_combo.GetCount(), 0);
}

TEST_F(HistoryFixture, TypingCompletesFromTheList)
{
    m_combo.AddToHistory("send me my mail");
    m_combo.AddToHistory("what time is it");
    m_combo.SetWindowText("se");
    m_combo.SetEditSel(2, 2);
    m_host.SendMessage(WM_COMMAND, MAKEWPARAM(1002, CBN_EDITUPDATE), reinterpret_cast<LPARAM>(m_combo.m_hWnd));
    CString text;
    m_combo.GetWindowText(text);
    EXPECT_EQ(text, "send me my mail");
    const DWORD sel = m_combo.GetEditSel();
    EXPECT_EQ(LOWORD(sel), 2);
    EXPECT_EQ(HIWORD(sel), 15);

    // Nothing begins so: the typed text stays, the caret at its end.
    m_combo.SetWindowText("xyz");
    m_combo.SetEditSel(3, 3);
    m_host.SendMessage(WM_COMMAND, MAKEWPARAM(1002, CBN_EDITUPDATE), reinterpret_cast<LPARAM>(m_combo.m_hWnd));
    m_combo.GetWindowText(text);
    EXPECT_EQ(text, "xyz");
}

// ---- The button bar and browsing.

const UINT kBarResource = 4100;
const UINT kBarId = 59392;  // the frame's standard tool-bar id

class BarHost : public Host {
public:
    std::vector<std::pair<int, int>> m_notes;  // (control id, notification)

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_notes.push_back({LOWORD(wParam), HIWORD(wParam)});
        return Host::OnCommand(wParam, lParam);
    }
};

HWND BarOf(CWnd& host) { return ::GetDlgItem(host.m_hWnd, kBarId); }

CRect ChildRect(CWnd& host, HWND child)
{
    CRect r;
    ::GetWindowRect(child, &r);
    host.ScreenToClient(&r);
    return r;
}

TEST(HistoryButtonBar, StandsWhereItsPositionSaysAndFollowsTheCombo)
{
    struct Case {
        int position;
        bool shown;
        const char* side;  // where the bar's middle lies from the combo's
    };
    const Case cases[] = {
        {1, false, ""},      {2, true, "above"}, {3, true, "above"},  {4, true, "above"},
        {5, true, "below"},  {6, true, "below"}, {7, true, "below"},  {8, true, "left"},
        {9, true, "left"},   {10, true, "left"}, {11, true, "right"}, {12, true, "right"},
        {13, true, "right"},
    };
    for (const Case& c : cases) {
        BarHost host;
        CHistoryCombo combo(c.position, FALSE, kBarResource);
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(100, 60, 200, 160), &host, 1002));
        const HWND bar = BarOf(host);
        ASSERT_NE(bar, nullptr) << c.position;
        EXPECT_EQ(::IsWindowVisible(bar) != FALSE, c.shown) << c.position;
        EXPECT_EQ(combo.GetButtonBar().GetCount(), 3) << "the first three buttons are shown";
        if (!c.shown)
            continue;
        const CRect edit = ChildRect(host, combo.m_hWnd), r = ChildRect(host, bar);
        const CPoint middle = r.CenterPoint();
        const std::string side = c.side;
        if (side == "above")
            EXPECT_LT(middle.y, edit.top) << c.position;
        if (side == "below")
            EXPECT_GT(middle.y, edit.bottom) << c.position;
        if (side == "left")
            EXPECT_LT(middle.x, edit.left) << c.position;
        if (side == "right")
            EXPECT_GT(middle.x, edit.right) << c.position;

        // Moving the combo takes the bar along.
        combo.SetWindowPos(nullptr, 120, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        const CRect moved = ChildRect(host, bar);
        EXPECT_EQ(moved.left - r.left, 20) << c.position;
        EXPECT_EQ(moved.top - r.top, 10) << c.position;

        // Disabled and enabled with the combo.
        combo.EnableWindow(FALSE);
        EXPECT_FALSE(::IsWindowEnabled(bar)) << c.position;
        combo.EnableWindow(TRUE);
        EXPECT_TRUE(::IsWindowEnabled(bar)) << c.position;

        // Hidden at position 1, shown again elsewhere.
        combo.SetButtonBarPosition(1, FALSE);
        EXPECT_FALSE(::IsWindowVisible(bar)) << c.position;
        combo.SetButtonBarPosition(c.position, TRUE);
        EXPECT_TRUE(::IsWindowVisible(bar)) << c.position;

        combo.DestroyWindow();
        EXPECT_FALSE(::IsWindow(bar)) << "the bar goes with the combo";
        EXPECT_EQ(combo.GetButtonBar().m_hWnd, nullptr);
    }
}

TEST(HistoryButtonBar, OnlyShownButtonsStay)
{
    struct Case {
        std::vector<int> hidden;
        UINT resource;
        int buttons;
        bool visible;
    };
    const Case cases[] = {
        {{}, kBarResource, 3, true},
        {{1}, kBarResource, 2, true},
        {{0, 1, 2}, kBarResource, 0, false},  // nothing shown: no bar
        {{}, 4999, 0, false},                 // no such resource: no buttons, hidden
    };
    for (const Case& c : cases) {
        BarHost host;
        CHistoryCombo combo(6, FALSE, 0);
        combo.SetButtonBarId(c.resource);
        for (int i : c.hidden)
            combo.SetButtonShown(i, FALSE);
        EXPECT_FALSE(combo.IsButtonShown(3)) << "later buttons start hidden";
        EXPECT_FALSE(combo.IsButtonShown(HISTORY_BUTTON_COUNT)) << "no such button";
        combo.SetButtonShown(-1, TRUE);  // ignored, not a write before the flags
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(100, 60, 200, 160), &host, 1002));
        const HWND bar = BarOf(host);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(combo.GetButtonBar().GetCount(), c.buttons) << c.resource;
        EXPECT_EQ(::IsWindowVisible(bar) != FALSE, c.visible) << c.resource;
        if (c.buttons == 2)
            EXPECT_EQ(combo.GetButtonBar().GetItemID(1), 41003u) << "the hidden one is gone, not another";
    }
}

TEST(HistoryButtonBar, ASubclassedControlGetsItsBarAndCommandsReachTheParent)
{
    BarHost host;
    const HWND plain = ::CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 10, 60, 150, 100,
                                         host.m_hWnd, reinterpret_cast<HMENU>(1002), nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    CHistoryCombo combo(5, FALSE, kBarResource);
    ASSERT_TRUE(combo.SubclassWindow(plain));
    const HWND bar = BarOf(host);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(::IsWindowVisible(bar));
    // A click on the first button: the parent hears it from the bar.
    RECT item;
    ASSERT_TRUE(::SendMessageA(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(bar, WM_LBUTTONUP, 0, at);
    bool heard = false;
    for (const auto& [id, code] : host.m_notes)
        heard = heard || id == 41001;
    EXPECT_TRUE(heard);
    EXPECT_EQ(CToolBar::GetToolTipText(41001), "Browse");
    combo.DestroyWindow();
}

// Fills the thread's open file dialog with a name and presses OK (or
// Cancel when the name is empty). The test's watchdog bounds the dialog.
std::string g_pick;
HWND g_seenDialog = nullptr;

BOOL CALLBACK FindFileDialog(HWND w, LPARAM out)
{
    char cls[16] = {};
    ::GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && ::IsWindowVisible(w) && ::GetDlgItem(w, IDOK)) {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriveFileDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dlg = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindFileDialog, reinterpret_cast<LPARAM>(&dlg));
    if (!dlg)
        return;
    ::KillTimer(nullptr, id);
    g_seenDialog = dlg;
    if (g_pick.empty()) {
        ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(dlg, IDCANCEL));
        return;
    }
    // The file name: an edit (edt1) or, in newer dialogs, a combo box (cmb13).
    ::SendMessageA(dlg, CDM_SETCONTROLTEXT, ::GetDlgItem(dlg, 1152) ? 1152 : 1148, (LPARAM)g_pick.c_str());
    ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(dlg, IDOK));
}

TEST(HistoryButtonBar, BrowseFillsTheComboFromAFileDialog)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp;
    const std::string file = folder + "history_browse_probe.txt";
    HANDLE h = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);

    struct Case {
        std::string pick;  // empty: the dialog is cancelled
        BOOL result;
        std::string text;
    };
    const Case cases[] = {
        {file, TRUE, file},
        {"", FALSE, "typed before"},
    };
    for (const Case& c : cases) {
        BarHost host;
        CHistoryCombo combo(1, FALSE, kBarResource);
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(10, 60, 200, 160), &host, 1002));
        // Empty texts count as none; the folder is the one the dialog opens in.
        combo.SetBrowseOptions(TRUE, "", "", OFN_HIDEREADONLY, "Text files (*.txt)|*.txt||", &host, folder.c_str());
        combo.SetWindowText("typed before");
        host.m_notes.clear();
        g_pick = c.pick;
        g_seenDialog = nullptr;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, DriveFileDialog);
        testsupport::ModalWatchdog watchdog(c.pick.empty() ? "the browse dialog to show and be cancelled"
                                                            : "the browse dialog to show and take " + c.pick);
        const BOOL result = combo.Browse();
        watchdog.Disarm();
        ::KillTimer(nullptr, timer);
        ASSERT_NE(g_seenDialog, nullptr) << "the file dialog opened";
        EXPECT_EQ(result, c.result) << c.pick;
        CString text;
        combo.GetWindowText(text);
        EXPECT_EQ(std::string(text), c.text);
        bool changed = false;
        for (const auto& [id, code] : host.m_notes)
            changed = changed || (id == 1002 && code == CBN_EDITCHANGE);
        EXPECT_EQ(changed, c.result != FALSE) << "the parent hears of a new text";
    }
    ::DeleteFileA(file.c_str());
}
}  // namespace
