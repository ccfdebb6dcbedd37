// The desktop toolbar as the program creates it, under Wine's own shell: its
// stored state, the request line, the hot-key library and its destruction.
#include "shell_bar.h"
#include "shell_bar_site.h"

#include "fx/msgbox.h"
#include "notice_dlg.h"
#include "notice_ids.h"
#include "options/wmoptions.h"
#include "winmgr/winmgr.h"

#include <gtest/gtest.h>

#include "testsupport/win_wait.h"

#include <string>
#include <vector>

namespace {

void Pump(DWORD ms = 0)
{
    const DWORD until = ::GetTickCount() + ms;
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxGetThread() || !AfxGetThread()->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        if (ms)
            ::Sleep(10);
    } while (ms && static_cast<LONG>(until - ::GetTickCount()) > 0);
}

// Pumps messages until done() holds or a minute has passed.
template <typename F>
bool PumpUntil(F done)
{
    const DWORD until = ::GetTickCount() + 60000;
    while (!done()) {
        if (static_cast<LONG>(until - ::GetTickCount()) <= 0)
            return false;
        Pump(20);
    }
    return true;
}

class ShellBarFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearStored();
        m_requests.clear();
        g_ShellBarSite = CShellBarSite();
        g_ShellBarSite.noShape = [this] { return m_noShape; };
        g_ShellBarSite.autoHide = [this] { return m_autoHide; };
        g_ShellBarSite.alwaysOnTop = [] { return 1; };
        g_ShellBarSite.runRequest = [this](const CString& text, const CString& file) {
            m_requests.push_back({static_cast<const char*>(text), static_cast<const char*>(file)});
            return m_answer;
        };
        m_old = AfxSetMessageBoxHook([this](HWND, LPCTSTR text, LPCTSTR, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
    }
    void TearDown() override
    {
        CShellBar::DestroyShellBar();
        for (CNoticeDlg* n : Notices())
            n->DestroyWindow();
        g_WindowMgr.RefreshWindowVector();
        CWMOptions::m_bShowAnim = m_anim;
        AfxSetMessageBoxHook(m_old);
        g_ShellBarSite = CShellBarSite();
        ClearStored();
    }
    static void ClearStored()
    {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, SHELLBAR_STATE_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            ::RegDeleteValueA(key, SHELLBAR_STATE_VALUE);
            ::RegCloseKey(key);
        }
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Ostrel Software\\Vindalex Personal Assistant\\History");
    }
    static void StoreState(const CAppBarState& s, DWORD size = sizeof(CAppBarState))
    {
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, SHELLBAR_STATE_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, SHELLBAR_STATE_VALUE, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&s), size);
        ::RegCloseKey(key);
    }
    static bool ReadState(CAppBarState* s)
    {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, SHELLBAR_STATE_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        DWORD size = sizeof *s;
        const bool ok = ::RegQueryValueExA(key, SHELLBAR_STATE_VALUE, nullptr, nullptr, reinterpret_cast<BYTE*>(s),
                                           &size) == ERROR_SUCCESS && size == sizeof *s;
        ::RegCloseKey(key);
        return ok;
    }
    CShellBar* Make()
    {
        EXPECT_TRUE(CShellBar::CreateShellBar());
        Pump(50);
        return CShellBar::m_pShellBar;
    }
    static RECT WindowRect(CWnd* w)
    {
        RECT r;
        w->GetWindowRect(&r);
        return r;
    }

    // The notices on the desktop, newest last.
    static std::vector<CNoticeDlg*> Notices()
    {
        std::vector<CNoticeDlg*> found;
        for (int i = 0; i < g_WindowMgr.GetWindowCount(); ++i)
            if (auto* n = dynamic_cast<CNoticeDlg*>(g_WindowMgr.GetWindowAt(i)))
                if (n->m_hWnd)
                    found.push_back(n);
        return found;
    }
    static std::string NoticeText(CNoticeDlg* n)
    {
        CString s;
        n->GetDlgItemText(IDC_NOTICE_TEXT, s);
        return static_cast<LPCTSTR>(s);
    }

    struct Request {
        std::string text, file;
    };
    int m_noShape = 0, m_autoHide = 0, m_answer = 1;
    std::vector<Request> m_requests;
    std::vector<std::string> m_boxes;
    AfxMessageBoxHook m_old;
    int m_anim = 0;
};

TEST_F(ShellBarFixture, DocksAtTheTopByDefaultAndAtTheBottomFromAStoredState)
{
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(CShellBar::CreateShellBar(), 0) << "one toolbar per process";
    EXPECT_EQ(bar->GetState(), APPBAR_TOP);
    EXPECT_TRUE(bar->IsAlwaysOnTop());
    EXPECT_TRUE(bar->GetExStyle() & WS_EX_TOPMOST);
    RECT r = WindowRect(bar);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom - r.top, bar->m_barState.dockSize[APPBAR_TOP]);
    EXPECT_EQ(bar->m_nOverlap, bar->LayoutArea().Height() / 8);
    CShellBar::DestroyShellBar();
    EXPECT_EQ(CShellBar::m_pShellBar, nullptr);

    CAppBarState stored;
    ASSERT_TRUE(ReadState(&stored)) << "destruction stores the state";
    EXPECT_EQ(stored.cbSize, 48u);
    EXPECT_EQ(stored.state, APPBAR_TOP);
    stored.state = APPBAR_BOTTOM;
    StoreState(stored);
    bar = Make();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetState(), APPBAR_BOTTOM);
    EXPECT_EQ(WindowRect(bar).bottom, ::GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(ShellBarFixture, StoredStatesOfAnotherSizeOrStateFallBackToTheDefault)
{
    CAppBarState stored = DefaultAppBarState();
    stored.state = 7;
    StoreState(stored);
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetState(), APPBAR_TOP);
    CShellBar::DestroyShellBar();

    stored.state = APPBAR_BOTTOM;
    StoreState(stored, 40);  // too short to be the record
    bar = Make();
    EXPECT_EQ(bar->GetState(), APPBAR_TOP);
}

TEST_F(ShellBarFixture, EnterRunsTheRequestWithTheAttachedFile)
{
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    bar->m_DropIcon.m_strPath = "Z:\\tmp\\report.txt";
    bar->m_Combo.SetWindowText("Send me my mail");
    bar->SendMessage(WM_COMMAND, IDOK);  // Enter: the default button
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_EQ(m_requests[0].text, "Send me my mail");
    EXPECT_EQ(m_requests[0].file, "Z:\\tmp\\report.txt");
    CString text;
    bar->m_Combo.GetWindowText(text);
    EXPECT_TRUE(text.IsEmpty()) << "a handled request leaves the line empty";
    EXPECT_EQ(bar->m_Combo.GetCount(), 1);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(Notices().empty());

    // Not understood: the notice, and the text stays for correction.
    m_answer = 0;
    bar->m_Combo.SetWindowText("gibberish");
    bar->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SHELLBAR_GO, BN_CLICKED),
                     reinterpret_cast<LPARAM>(bar->m_GoButton.m_hWnd));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(NoticeText(Notices()[0]), SHELLBAR_TEXT_NOT_UNDERSTOOD);
    EXPECT_TRUE(Notices()[0]->IsWindowVisible());
    EXPECT_TRUE(Notices()[0]->m_bAutoClose) << "the notice goes away by itself";
    const HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == bar->m_Combo.m_hWnd || ::IsChild(bar->m_Combo.m_hWnd, focus))
        << "typing goes on in the request line";
    bar->m_Combo.GetWindowText(text);
    EXPECT_EQ(text, "gibberish");

    // Busy elsewhere: said so, not taken for "not understood".
    m_answer = 2;
    bar->SendMessage(WM_COMMAND, IDOK);
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_EQ(NoticeText(Notices()[1]), SHELLBAR_TEXT_BUSY);
    EXPECT_TRUE(m_boxes.empty()) << "no message box holds up the desktop";

    // Escape clears the line.
    bar->SendMessage(WM_COMMAND, IDCANCEL);
    bar->m_Combo.GetWindowText(text);
    EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ShellBarFixture, ClosingKeepsTheLineInTheStoredHistory)
{
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    for (const char* t : {"one", "two"})
        bar->m_Combo.AddToHistory(t);
    bar->m_Combo.SetWindowText("left in the line");
    HWND hwnd = bar->m_hWnd;
    CShellBar::DestroyShellBar();
    EXPECT_FALSE(::IsWindow(hwnd)) << "the window itself is destroyed";
    bar = Make();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->m_Combo.GetCount(), 3);
    CString first;
    bar->m_Combo.GetLBText(0, first);
    EXPECT_EQ(first, "left in the line");
}

TEST_F(ShellBarFixture, AClosedToolbarStillKeepsItsHistory)
{
    // Ending a program closes every one of its windows: the toolbar's close
    // comes before the frame destroys the toolbar.
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    for (const char* t : {"one", "two"})
        bar->m_Combo.AddToHistory(t);
    bar->SendMessage(WM_CLOSE);
    Pump(50);
    CShellBar::DestroyShellBar();
    bar = Make();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->m_Combo.GetCount(), 2);
}

TEST_F(ShellBarFixture, ShapeAndOverlapFollowTheNoShapeSetting)
{
    m_noShape = 1;
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->m_nOverlap, 0);
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(bar->m_hWnd, rgn), ERROR) << "rectangular";
    CShellBar::DestroyShellBar();
    m_noShape = 0;
    bar = Make();
    EXPECT_NE(::GetWindowRgn(bar->m_hWnd, rgn), ERROR) << "a rounded rim";
    // The shape follows the docked size, not the size of the template.
    RECT box, window = WindowRect(bar);
    ::GetRgnBox(rgn, &box);
    EXPECT_EQ(box.right - box.left, window.right - window.left);
    ::DeleteObject(rgn);
}

TEST_F(ShellBarFixture, AutoHideToolbarSlidesOutOnTheHotKeyMessage)
{
    m_autoHide = 1;
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    if (!bar->IsAutoHide())
        GTEST_SKIP() << "the shell refused the auto-hide bar";
    bar->ShowHiddenBar(FALSE);
    RECT hidden = WindowRect(bar);
    EXPECT_LT(hidden.top, 0) << "hidden against the top edge";
    bar->SendMessage(WM_ACTIVATE_INSTANCE);
    EXPECT_EQ(WindowRect(bar).top, 0);
    CWnd* combo = bar->GetDlgItem(IDC_SHELLBAR_COMBO);
    EXPECT_TRUE(PumpUntil([&] {
        HWND focus = ::GetFocus();
        return focus && (focus == combo->m_hWnd || ::IsChild(combo->m_hWnd, focus));
    })) << "the request line has the focus";
}

TEST_F(ShellBarFixture, HotKeyLibraryLivesWithTheToolbar)
{
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(KeyboardHookModule(), nullptr) << "vndHook.dll beside the program";
    CShellBar::DestroyShellBar();
    EXPECT_EQ(KeyboardHookModule(), nullptr);
    EXPECT_EQ(::GetModuleHandleA("vndHook.dll"), nullptr);
    // A rebuilt toolbar loads it afresh and the key reaches it again.
    g_ShellBarSite.hotKey = [](char* key, BOOL* shift, BOOL* ctrl, BOOL* alt) {
        *key = 'q';
        *shift = FALSE;
        *ctrl = TRUE;
        *alt = TRUE;
    };
    m_autoHide = 1;
    bar = Make();
    ASSERT_NE(KeyboardHookModule(), nullptr);
    if (!bar->IsAutoHide())
        GTEST_SKIP() << "the shell refused the auto-hide bar";
    // Wine delivers a registered hot key while one of the program's windows
    // has the focus: the key pressed on the hidden toolbar slides it out.
    // Typed keys go to the foreground window of the shared display: they are
    // sent only once that is the toolbar, never to another program's window.
    ASSERT_TRUE(PumpUntil([&] {
        if (::GetForegroundWindow() != bar->m_hWnd)
            bar->SetForegroundWindow();
        return ::GetForegroundWindow() == bar->m_hWnd;
    })) << "the toolbar never became the foreground window to type the hot key into";
    bar->m_Combo.SetFocus();
    bar->ShowHiddenBar(FALSE);
    ASSERT_LT(WindowRect(bar).top, 0);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(::GetForegroundWindow(), &owner);
    ASSERT_EQ(owner, ::GetCurrentProcessId()) << "another program's window took the foreground before the keys";
    INPUT keys[6] = {};
    const WORD vks[3] = {VK_CONTROL, VK_MENU, 'Q'};
    for (int i = 0; i < 3; ++i) {
        keys[i].type = keys[5 - i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = keys[5 - i].ki.wVk = vks[i];
        keys[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    ::SendInput(6, keys, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return WindowRect(bar).top == 0; })) << "the hot key did not reach the toolbar";
}

// Stands for the console view: it takes the console and deactivate commands
// and greys Activate, as the program's view does; nothing else.
class ConsolePeer : public CWnd {
public:
    ConsolePeer()
    {
        CreateEx(0, AfxRegisterWndClass(0), "console peer", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    }
    ~ConsolePeer() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    int console = 0, deactivate = 0;

protected:
    void OnConsole() { ++console; }
    void OnDeactivate() { ++deactivate; }
    void OnUpdateActivate(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ConsolePeer, CWnd)
    ON_COMMAND(32779, OnConsole)
    ON_COMMAND(32783, OnDeactivate)
    ON_UPDATE_COMMAND_UI(32782, OnUpdateActivate)
END_MESSAGE_MAP()

// The toolbar's bitmap menus on this thread, outermost first.
std::vector<HWND> MenuWindows(DWORD thread)
{
    std::vector<HWND> found = testsupport::ThreadWindows(thread, "BitmapMenu");
    std::vector<HWND> chain;
    for (HWND h : found) {
        char cls[32] = {};
        ::GetClassNameA(::GetWindow(h, GW_OWNER), cls, sizeof cls);
        if (lstrcmpA(cls, "BitmapMenu") == 0)
            chain.push_back(h);
        else
            chain.insert(chain.begin(), h);
    }
    return chain;
}

// Opens the toolbar's menu with its button and presses the keys in it; the
// state of item `probe` in the last menu opened is returned (-1: not found).
int PressInToolbarMenu(CShellBar* bar, const std::vector<UINT>& keys, UINT probe = 0)
{
    const DWORD thread = ::GetCurrentThreadId();
    int state = -1;
    testsupport::ScriptThread script([&] {
        if (!testsupport::WaitUntil([&] { return !MenuWindows(thread).empty(); })) {
            ADD_FAILURE() << "the toolbar's menu did not open";
            return;
        }
        for (UINT k : keys) {
            std::vector<HWND> chain = MenuWindows(thread);
            if (chain.empty())
                break;
            const size_t before = chain.size();
            ::PostMessageA(chain.front(), WM_KEYDOWN, k, 0);
            testsupport::WaitUntil([&] { return MenuWindows(thread).size() != before; }, 3000);
        }
        std::vector<HWND> chain = MenuWindows(thread);
        if (probe && !chain.empty()) {
            HWND items = ::FindWindowExA(chain.back(), nullptr, TOOLBARCLASSNAMEA, nullptr);
            state = static_cast<int>(::SendMessageA(items, TB_GETSTATE, probe, 0));
        }
        for (int i = 0; i < 3 && !MenuWindows(thread).empty(); ++i) {
            ::PostMessageA(MenuWindows(thread).front(), WM_KEYDOWN, VK_ESCAPE, 0);
            testsupport::WaitUntil([&] { return MenuWindows(thread).empty(); }, 3000);
        }
    });
    {
        testsupport::ModalWatchdog watchdog("the toolbar's menu to close");
        bar->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SHELLBAR_MENU, BN_CLICKED),
                         reinterpret_cast<LPARAM>(bar->m_MenuButton.m_hWnd));
    }
    script.Join();
    Pump(50);  // the chosen command is posted
    return state;
}

TEST_F(ShellBarFixture, MenuCommandsGoToTheConsoleViewFirstThenTheToolbar)
{
    ConsolePeer peer;
    bool consoleOpen = true;
    g_ShellBarSite.consoleView = [&]() -> CWnd* { return consoleOpen ? &peer : nullptr; };
    int options = 0;
    g_ShellBarSite.options = [&] { ++options; };
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);

    struct Row {
        const char* what;
        bool console;
        std::vector<UINT> keys;
        int peerConsole, peerDeactivate, options;
    };
    const Row rows[] = {
        {"View > Console, console open: the view's", true, {'V', 'C'}, 1, 0, 0},
        {"Actions > Deactivate, console open: the view's", true, {'A', 'D'}, 0, 1, 0},
        {"View > Options, console open: the toolbar's", true, {'V', 'O'}, 0, 0, 1},
        {"View > Options, no console: the toolbar's", false, {'V', 'O'}, 0, 0, 1},
        {"Actions > Deactivate, no console: the toolbar's (nothing)", false, {'A', 'D'}, 0, 0, 0},
    };
    for (const Row& r : rows) {
        consoleOpen = r.console;
        peer.console = peer.deactivate = options = 0;
        PressInToolbarMenu(bar, r.keys);
        EXPECT_EQ(peer.console, r.peerConsole) << r.what;
        EXPECT_EQ(peer.deactivate, r.peerDeactivate) << r.what;
        EXPECT_EQ(options, r.options) << r.what;
    }

    // Item states come from the same route: the open console greys Activate.
    consoleOpen = true;
    const int withConsole = PressInToolbarMenu(bar, {'A'}, 32782);
    consoleOpen = false;
    const int withoutConsole = PressInToolbarMenu(bar, {'A'}, 32782);
    ASSERT_NE(withConsole, -1);
    ASSERT_NE(withoutConsole, -1);
    EXPECT_FALSE(withConsole & TBSTATE_ENABLED) << "Activate while the console is open";
    EXPECT_TRUE(withoutConsole & TBSTATE_ENABLED) << "Activate without a console";
}

TEST_F(ShellBarFixture, MenuAndGoButtonsShowTheirWholeCaptions)
{
    CShellBar* bar = Make();
    ASSERT_NE(bar, nullptr);
    struct Row {
        CShapeButton* button;
        const char* shown;
    };
    const Row rows[] = {{&bar->m_MenuButton, "Menu"}, {&bar->m_GoButton, "Go!"}};
    for (const Row& r : rows) {
        ASSERT_NE(r.button->m_hWnd, nullptr) << r.shown;
        // Drawn in the toolbar's font, not the device context's wide system font.
        HFONT font = reinterpret_cast<HFONT>(r.button->SendMessage(WM_GETFONT));
        EXPECT_NE(font, nullptr) << r.shown;
        HDC dc = ::GetDC(r.button->m_hWnd);
        HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
        RECT need = {0, 0, 0, 0};
        ::DrawTextA(dc, r.shown, -1, &need, DT_SINGLELINE | DT_CALCRECT);
        if (old)
            ::SelectObject(dc, old);
        ::ReleaseDC(r.button->m_hWnd, dc);
        CRect has;
        r.button->GetClientRect(&has);
        // The capsule's round ends take a few pixels at either side.
        EXPECT_LE(need.right - need.left, has.Width() - 6) << r.shown << " is cut off";
        EXPECT_LE(need.bottom - need.top, has.Height()) << r.shown << " is cut off";
    }
}

}  // namespace
