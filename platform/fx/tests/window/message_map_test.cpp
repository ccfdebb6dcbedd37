// Windows and message maps: creation hook, dispatch, chaining, reflection,
// handle maps, update handlers, translation chain and threads.
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using fxtest::MessageBoxRecorder;
using fxtest::PumpUntil;

namespace {

constexpr UINT ID_BASE_CMD = 40001;
constexpr UINT ID_DERIVED_CMD = 40002;
constexpr UINT ID_RANGE_FIRST = 40100;
constexpr UINT ID_RANGE_LAST = 40109;
constexpr UINT WM_TEST_APP = WM_APP + 1;
constexpr UINT WM_TEST_THROW = WM_APP + 2;

UINT RegisteredTestMessage()
{
    static UINT msg = ::RegisterWindowMessageA("FxWindowTestRegistered");
    return msg;
}

class BaseWnd : public CWnd {
public:
    std::vector<std::string> log;
    HWND hWndSeenInCreate = nullptr;
    LPVOID createParam = nullptr;
    bool ncCreateSeen = false;
    bool failCreate = false;
    int postNcDestroyCalls = 0;
    UINT_PTR timerSeen = 0;
    UINT rangeId = 0;
    static UINT s_registered;

protected:
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT cs)
    {
        ncCreateSeen = true;
        return CWnd::OnNcCreate(cs);
    }
    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        hWndSeenInCreate = m_hWnd;
        createParam = cs->lpCreateParams;
        log.push_back("create");
        return failCreate ? -1 : CWnd::OnCreate(cs);
    }
    afx_msg void OnDestroy()
    {
        log.push_back("destroy");
        CWnd::OnDestroy();
    }
    afx_msg void OnTimer(UINT_PTR id)
    {
        timerSeen = id;
        KillTimer(id);
    }
    afx_msg void OnBaseCmd() { log.push_back("base-cmd"); }
    afx_msg void OnDerivedCmdInBase() { log.push_back("base-sees-derived-cmd"); }
    afx_msg void OnRange(UINT id) { rangeId = id; }
    afx_msg LRESULT OnTestApp(WPARAM w, LPARAM) { log.push_back("base-app"); return (LRESULT)w + 1; }
    afx_msg LRESULT OnRegistered(WPARAM w, LPARAM l) { return (LRESULT)(w * l); }
    afx_msg LRESULT OnThrow(WPARAM, LPARAM) { throw new CNotSupportedException; }
    void PostNcDestroy() override { ++postNcDestroyCalls; }

    DECLARE_MESSAGE_MAP()
};

UINT BaseWnd::s_registered = RegisteredTestMessage();

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
    ON_WM_NCCREATE()
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_COMMAND(ID_BASE_CMD, OnBaseCmd)
    ON_COMMAND(ID_DERIVED_CMD, OnDerivedCmdInBase)
    ON_COMMAND_RANGE(ID_RANGE_FIRST, ID_RANGE_LAST, OnRange)
    ON_MESSAGE(WM_TEST_APP, OnTestApp)
    ON_REGISTERED_MESSAGE(s_registered, OnRegistered)
    ON_MESSAGE(WM_TEST_THROW, OnThrow)
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
protected:
    afx_msg void OnDerivedCmd() { log.push_back("derived-cmd"); }
    afx_msg LRESULT OnTestApp(WPARAM w, LPARAM l)
    {
        log.push_back("derived-app");
        return BaseWnd::OnTestApp(w, l) * 10;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
    ON_COMMAND(ID_DERIVED_CMD, OnDerivedCmd)
    ON_MESSAGE(WM_TEST_APP, OnTestApp)
END_MESSAGE_MAP()

bool CreatePopup(CWnd& wnd, LPVOID param = nullptr)
{
    return wnd.CreateEx(0, nullptr, "fx test", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, param) != FALSE;
}

} // namespace

TEST(MessageMap, CreationHookDeliversCreateToTheObject)
{
    DerivedWnd wnd;
    int param = 0;
    ASSERT_TRUE(CreatePopup(wnd, &param));
    EXPECT_TRUE(wnd.ncCreateSeen);
    EXPECT_EQ(wnd.hWndSeenInCreate, wnd.m_hWnd);
    EXPECT_EQ(wnd.createParam, &param);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    ASSERT_EQ(wnd.log.size(), 1u);
    EXPECT_EQ(wnd.log[0], "create");

    HWND h = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_EQ(wnd.postNcDestroyCalls, 1);
    EXPECT_EQ(wnd.log.back(), "destroy");
    EXPECT_FALSE(::IsWindow(h));
}

TEST(MessageMap, RefusedCreationLeavesTheObjectUnbound)
{
    BaseWnd wnd;
    wnd.failCreate = true;
    EXPECT_FALSE(CreatePopup(wnd));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(wnd.postNcDestroyCalls, 1);
    // The object can be used again.
    wnd.failCreate = false;
    ASSERT_TRUE(CreatePopup(wnd));
    wnd.DestroyWindow();
}

namespace {
class PreparingWnd : public BaseWnd {
public:
    bool refuse = false;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        if (refuse)
            return FALSE;
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW, ::LoadCursor(nullptr, IDC_CROSS));
        cs.dwExStyle |= WS_EX_TOOLWINDOW;
        return TRUE;
    }
};
} // namespace

TEST(MessageMap, PreCreateWindowShapesOrRefusesTheWindow)
{
    PreparingWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    EXPECT_NE(wnd.GetExStyle() & WS_EX_TOOLWINDOW, 0u);
    EXPECT_EQ(::GetClassLongA(wnd.m_hWnd, GCL_STYLE) & (CS_DBLCLKS | CS_HREDRAW), (DWORD)(CS_DBLCLKS | CS_HREDRAW));
    EXPECT_EQ(wnd.log.front(), "create");
    wnd.DestroyWindow();
    // The same class is registered once.
    EXPECT_EQ(AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW, ::LoadCursor(nullptr, IDC_CROSS)),
              AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW, ::LoadCursor(nullptr, IDC_CROSS)));

    PreparingWnd refused;
    refused.refuse = true;
    EXPECT_FALSE(CreatePopup(refused));
    EXPECT_EQ(refused.m_hWnd, nullptr);
    EXPECT_EQ(refused.postNcDestroyCalls, 1);
}

TEST(MessageMap, DispatchFollowsTheDerivedMapThenTheBase)
{
    DerivedWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    wnd.log.clear();

    // Derived entry first; the base's handler for the same message is not called
    // unless the derived one calls it.
    EXPECT_EQ(wnd.SendMessage(WM_TEST_APP, 4, 0), 50);
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"derived-app", "base-app"}));
    wnd.log.clear();

    wnd.SendMessage(WM_COMMAND, ID_DERIVED_CMD, 0);
    wnd.SendMessage(WM_COMMAND, ID_BASE_CMD, 0);                 // only the base has it
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_BASE_CMD, 1), 0);  // from an accelerator
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"derived-cmd", "base-cmd", "base-cmd"}));

    wnd.SendMessage(WM_COMMAND, ID_RANGE_FIRST + 5, 0);
    EXPECT_EQ(wnd.rangeId, ID_RANGE_FIRST + 5);
    wnd.rangeId = 0;
    wnd.SendMessage(WM_COMMAND, ID_RANGE_LAST + 1, 0);
    EXPECT_EQ(wnd.rangeId, 0u);

    EXPECT_EQ(wnd.SendMessage(RegisteredTestMessage(), 6, 7), 42);

    // Messages without an entry get the default processing.
    wnd.SetWindowText("plain text");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(text, "plain text");

    ASSERT_TRUE(wnd.SetTimer(7, 1));
    EXPECT_TRUE(PumpUntil([&] { return wnd.timerSeen == 7; }));
    wnd.DestroyWindow();
}

TEST(MessageMap, ExceptionFromAHandlerStopsAtTheWindowProcedure)
{
    MessageBoxRecorder boxes;
    BaseWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    EXPECT_EQ(wnd.SendMessage(WM_TEST_THROW), 0);
    EXPECT_TRUE(::IsWindow(wnd.m_hWnd));
    wnd.DestroyWindow();
}

TEST(MessageMap, ObjectDestructionDestroysItsWindow)
{
    HWND h;
    {
        BaseWnd wnd;
        ASSERT_TRUE(CreatePopup(wnd));
        h = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

// ---- Handle maps and subclassing ------------------------------------------------

namespace {

class SubclassedStatic : public CWnd {
public:
    int appMessages = 0;
    bool presubclassed = false;
protected:
    void PreSubclassWindow() override { presubclassed = true; }
    afx_msg LRESULT OnTestApp(WPARAM, LPARAM) { ++appMessages; return 5; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SubclassedStatic, CWnd)
    ON_MESSAGE(WM_TEST_APP, OnTestApp)
END_MESSAGE_MAP()

} // namespace

TEST(HandleMap, ForeignWindowsGetTemporaryObjects)
{
    HWND h = ::CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    CWnd* temp = CWnd::FromHandle(h);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, h);
    EXPECT_EQ(CWnd::FromHandle(h), temp);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    CString text;
    temp->GetWindowText(text);
    EXPECT_STREQ(text, "foreign");
    AfxDeleteTempMaps();
    EXPECT_TRUE(::IsWindow(h));  // deleting a temporary object leaves its window alone

    // Destroyed through a temporary object: the handle is no longer mapped to it.
    CWnd* again = CWnd::FromHandle(h);
    EXPECT_TRUE(again->DestroyWindow());
    EXPECT_FALSE(::IsWindow(h));
    HWND next = ::CreateWindowExA(0, "STATIC", "next", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CWnd::FromHandle(next)->m_hWnd, next);
    ::DestroyWindow(next);
    AfxDeleteTempMaps();
}

TEST(HandleMap, SubclassAndUnsubclassAnExistingWindow)
{
    HWND h = ::CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    LONG_PTR original = ::GetWindowLongPtrA(h, GWLP_WNDPROC);
    SubclassedStatic wnd;
    ASSERT_TRUE(wnd.SubclassWindow(h));
    EXPECT_TRUE(wnd.presubclassed);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &wnd);
    EXPECT_EQ(CWnd::FromHandle(h), &wnd);
    EXPECT_EQ(::SendMessageA(h, WM_TEST_APP, 0, 0), 5);
    // The control's own procedure still answers the rest.
    ::SetWindowTextA(h, "changed");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(text, "changed");
    // A second object cannot take the same window.
    SubclassedStatic other;
    EXPECT_FALSE(other.SubclassWindow(h));

    EXPECT_EQ(wnd.UnsubclassWindow(), h);
    EXPECT_EQ(::GetWindowLongPtrA(h, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_EQ(::SendMessageA(h, WM_TEST_APP, 0, 0), 0);
    EXPECT_EQ(wnd.appMessages, 1);
    ::DestroyWindow(h);
}

TEST(HandleMap, AttachDetachAndSubclassDlgItem)
{
    BaseWnd parent;
    ASSERT_TRUE(CreatePopup(parent));
    HWND child = ::CreateWindowExA(0, "STATIC", "c", WS_CHILD, 0, 0, 10, 10, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(77), nullptr, nullptr);
    SubclassedStatic wnd;
    ASSERT_TRUE(wnd.SubclassDlgItem(77, &parent));
    EXPECT_EQ(wnd.m_hWnd, child);
    EXPECT_EQ(parent.GetDlgItem(77), &wnd);
    EXPECT_FALSE(wnd.SubclassDlgItem(78, &parent));  // no such control
    wnd.UnsubclassWindow();

    CWnd plain;
    ASSERT_TRUE(plain.Attach(child));
    EXPECT_EQ(CWnd::FromHandlePermanent(child), &plain);
    EXPECT_EQ(plain.Detach(), child);
    EXPECT_EQ(CWnd::FromHandlePermanent(child), nullptr);
    EXPECT_TRUE(::IsWindow(child));
    parent.DestroyWindow();
    EXPECT_FALSE(::IsWindow(child));
}

// ---- Reflection and notifications ---------------------------------------------

namespace {

constexpr UINT IDC_REFLECTING = 200;
constexpr UINT IDC_PASSING = 201;
constexpr UINT IDC_PLAIN = 202;
constexpr UINT NM_TEST = (UINT)-1234;

class ReflectingButton : public CButton {
public:
    int clicks = 0;
    int notifies = 0;
    BOOL passOn = FALSE;
protected:
    afx_msg void OnClicked() { ++clicks; }
    afx_msg void OnTestNotify(NMHDR*, LRESULT* result) { ++notifies; *result = 99; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_NOTIFY_REFLECT(NM_TEST, OnTestNotify)
END_MESSAGE_MAP()

class PassingButton : public CButton {
public:
    int clicks = 0;
protected:
    afx_msg BOOL OnClicked() { ++clicks; return FALSE; }  // the parent hears it too
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PassingButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class ParentWnd : public CWnd {
public:
    std::vector<UINT> clicked;
    std::vector<UINT> notified;
protected:
    afx_msg void OnReflectingClicked() { clicked.push_back(IDC_REFLECTING); }
    afx_msg void OnPassingClicked() { clicked.push_back(IDC_PASSING); }
    afx_msg void OnPlainClicked() { clicked.push_back(IDC_PLAIN); }
    afx_msg void OnNotifyAny(UINT id, NMHDR*, LRESULT* result)
    {
        notified.push_back(id);
        *result = 7;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ParentWnd, CWnd)
    ON_BN_CLICKED(IDC_REFLECTING, OnReflectingClicked)
    ON_BN_CLICKED(IDC_PASSING, OnPassingClicked)
    ON_BN_CLICKED(IDC_PLAIN, OnPlainClicked)
    ON_NOTIFY_RANGE(NM_TEST, IDC_REFLECTING, IDC_PLAIN, OnNotifyAny)
END_MESSAGE_MAP()

LRESULT SendTestNotify(CWnd& parent, HWND from, UINT id)
{
    NMHDR hdr = {from, id, NM_TEST};
    return parent.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&hdr));
}

} // namespace

TEST(MessageMap, ControlNotificationsAreReflectedToTheControlFirst)
{
    ParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    ReflectingButton reflecting;
    PassingButton passing;
    CButton plain;
    ASSERT_TRUE(reflecting.Create("r", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &parent, IDC_REFLECTING));
    ASSERT_TRUE(passing.Create("p", WS_CHILD | WS_VISIBLE, CRect(0, 30, 50, 50), &parent, IDC_PASSING));
    ASSERT_TRUE(plain.Create("n", WS_CHILD | WS_VISIBLE, CRect(0, 60, 50, 80), &parent, IDC_PLAIN));

    // A real click notification from each control (BM_CLICK makes the button send it).
    reflecting.SendMessage(BM_CLICK);
    passing.SendMessage(BM_CLICK);
    plain.SendMessage(BM_CLICK);
    EXPECT_EQ(reflecting.clicks, 1);
    EXPECT_EQ(passing.clicks, 1);
    EXPECT_EQ(parent.clicked, (std::vector<UINT>{IDC_PASSING, IDC_PLAIN}));

    EXPECT_EQ(SendTestNotify(parent, reflecting.m_hWnd, IDC_REFLECTING), 99);
    EXPECT_EQ(reflecting.notifies, 1);
    EXPECT_EQ(SendTestNotify(parent, plain.m_hWnd, IDC_PLAIN), 7);
    EXPECT_EQ(parent.notified, (std::vector<UINT>{IDC_PLAIN}));
    parent.DestroyWindow();
    EXPECT_EQ(reflecting.m_hWnd, nullptr);
}

// ---- Update handlers ------------------------------------------------------------

namespace {

constexpr UINT ID_ITEM_ENABLED = 41001;
constexpr UINT ID_ITEM_DISABLED = 41002;
constexpr UINT ID_ITEM_HANDLED_ONLY = 41003;
constexpr UINT ID_ITEM_UNHANDLED = 41004;

class UpdateTarget : public CCmdTarget {
protected:
    afx_msg void OnUpdateEnabled(CCmdUI* ui)
    {
        ui->Enable(TRUE);
        ui->SetCheck(1);
        ui->SetText("Renamed");
    }
    afx_msg void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
    afx_msg void OnHandledOnly() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(UpdateTarget, CCmdTarget)
    ON_UPDATE_COMMAND_UI(ID_ITEM_ENABLED, OnUpdateEnabled)
    ON_UPDATE_COMMAND_UI(ID_ITEM_DISABLED, OnUpdateDisabled)
    ON_COMMAND(ID_ITEM_HANDLED_ONLY, OnHandledOnly)
END_MESSAGE_MAP()

} // namespace

TEST(CommandUpdate, MenuItemsFollowTheirHandlers)
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, ID_ITEM_ENABLED, "Enabled");
    ::AppendMenuA(menu, MF_STRING, ID_ITEM_DISABLED, "Disabled");
    ::AppendMenuA(menu, MF_STRING, ID_ITEM_HANDLED_ONLY, "Handled");
    ::AppendMenuA(menu, MF_STRING, ID_ITEM_UNHANDLED, "Unhandled");
    UpdateTarget target;
    CCmdUI ui;
    ui.m_hMenu = menu;
    ui.m_nIndexMax = 4;
    for (UINT i = 0; i < 4; ++i) {
        ui.m_nIndex = i;
        ui.m_nID = ::GetMenuItemID(menu, (int)i);
        ui.DoUpdate(&target, TRUE);
    }
    auto state = [&](UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND); };
    EXPECT_EQ(state(ID_ITEM_ENABLED) & (MF_GRAYED | MF_DISABLED), 0u);
    EXPECT_NE(state(ID_ITEM_ENABLED) & MF_CHECKED, 0u);
    char text[32] = {};
    ::GetMenuStringA(menu, ID_ITEM_ENABLED, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Renamed");
    EXPECT_NE(state(ID_ITEM_DISABLED) & MF_GRAYED, 0u);
    EXPECT_EQ(state(ID_ITEM_HANDLED_ONLY) & MF_GRAYED, 0u);
    EXPECT_NE(state(ID_ITEM_UNHANDLED) & MF_GRAYED, 0u);
    ::DestroyMenu(menu);
}

TEST(CommandUpdate, DialogControlsFollowTheirHandlers)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr));
    CButton a, b;
    ASSERT_TRUE(a.Create("a", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, 20, 20), &parent, ID_ITEM_DISABLED));
    ASSERT_TRUE(b.Create("b", WS_CHILD | BS_PUSHBUTTON, CRect(0, 30, 20, 50), &parent, ID_ITEM_UNHANDLED));
    UpdateTarget target;
    parent.UpdateDialogControls(&target, TRUE);
    EXPECT_FALSE(a.IsWindowEnabled());
    EXPECT_FALSE(b.IsWindowEnabled());
    parent.DestroyWindow();
}

// ---- Translation chain -------------------------------------------------------------

namespace {

std::vector<std::string> g_translated;

class TranslatingWnd : public CWnd {
public:
    std::string name;
    bool swallow = false;
    int keyDowns = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            g_translated.push_back(name);
        return swallow && pMsg->message == WM_KEYDOWN;
    }
protected:
    afx_msg void OnKeyDown(UINT, UINT, UINT) { ++keyDowns; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TranslatingWnd, CWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class TranslatingThread : public CWinThread {
public:
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (CWinThread::PreTranslateMessage(pMsg))
            return TRUE;
        if (pMsg->message == WM_KEYDOWN)
            g_translated.push_back("thread");
        return FALSE;
    }
};

} // namespace

TEST(MessageLoop, TranslationGoesFromTheWindowUpToItsParentsThenTheThread)
{
    TranslatingWnd parent, child;
    parent.name = "parent";
    child.name = "child";
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    ASSERT_TRUE(child.Create(nullptr, "c", WS_CHILD, CRect(0, 0, 10, 10), &parent, 1));
    TranslatingThread thread;  // this thread's loop, driven by hand
    thread.m_bAutoDelete = FALSE;

    // Runs the loop's step over everything queued (TranslateMessage adds WM_CHAR).
    auto pumpAll = [&] {
        MSG peek;
        while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE))
            ASSERT_TRUE(thread.PumpMessage());
    };
    g_translated.clear();
    child.PostMessage(WM_KEYDOWN, 'A', 0);
    pumpAll();
    EXPECT_EQ(g_translated, (std::vector<std::string>{"child", "parent", "thread"}));
    EXPECT_EQ(child.keyDowns, 1);

    g_translated.clear();
    parent.swallow = true;
    child.PostMessage(WM_KEYDOWN, 'B', 0);
    pumpAll();
    EXPECT_EQ(g_translated, (std::vector<std::string>{"child", "parent"}));
    EXPECT_EQ(child.keyDowns, 1);  // translated, so never dispatched
    parent.swallow = false;

    // A popup owned by the thread's main window: the main window translates once.
    TranslatingWnd owned;
    owned.name = "owned";
    ASSERT_TRUE(owned.CreateEx(0, nullptr, "o", WS_POPUP, 0, 0, 10, 10, parent.m_hWnd, nullptr));
    thread.m_pMainWnd = &parent;
    g_translated.clear();
    owned.PostMessage(WM_KEYDOWN, 'C', 0);
    pumpAll();
    EXPECT_EQ(g_translated, (std::vector<std::string>{"owned", "parent", "thread"}));

    // A window outside the main window's family still offers it to the main window.
    TranslatingWnd stranger;
    stranger.name = "stranger";
    ASSERT_TRUE(stranger.CreateEx(0, nullptr, "s", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    g_translated.clear();
    stranger.PostMessage(WM_KEYDOWN, 'D', 0);
    pumpAll();
    EXPECT_EQ(g_translated, (std::vector<std::string>{"stranger", "parent", "thread"}));
    thread.m_pMainWnd = nullptr;
    stranger.DestroyWindow();
    parent.DestroyWindow();
}

// ---- Threads ---------------------------------------------------------------------------

namespace {

constexpr UINT WM_THREAD_PING = WM_APP + 20;

class UiThread : public CWinThread {
    DECLARE_DYNCREATE(UiThread)
public:
    static LONG s_pings;
    static LONG s_exited;
    BOOL InitInstance() override
    {
        auto* wnd = new SelfDeletingWnd;
        if (!wnd->CreateEx(0, nullptr, "ui thread", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = wnd;
        return TRUE;
    }
    int ExitInstance() override
    {
        InterlockedExchange(&s_exited, 1);
        return CWinThread::ExitInstance();
    }
protected:
    afx_msg void OnPing(WPARAM w, LPARAM)
    {
        InterlockedExchangeAdd(&s_pings, (LONG)w);
        m_pMainWnd->PostMessage(WM_CLOSE);  // closing the main window ends the loop
    }
    struct SelfDeletingWnd : CWnd {
        void PostNcDestroy() override { delete this; }
    };
    DECLARE_MESSAGE_MAP()
};

LONG UiThread::s_pings = 0;
LONG UiThread::s_exited = 0;
IMPLEMENT_DYNCREATE(UiThread, CWinThread)

BEGIN_MESSAGE_MAP(UiThread, CWinThread)
    ON_THREAD_MESSAGE(WM_THREAD_PING, OnPing)
END_MESSAGE_MAP()

UINT WorkerProc(LPVOID param)
{
    return *static_cast<UINT*>(param) * 2;
}

} // namespace

TEST(Threads, WorkerThreadRunsItsFunction)
{
    UINT input = 21;
    CWinThread* t = AfxBeginThread(WorkerProc, &input, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(t, nullptr);
    t->m_bAutoDelete = FALSE;
    t->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(t->m_hThread, testsupport::kWindowWaitMs), WAIT_OBJECT_0)
        << "the worker thread did not end";
    DWORD code = 0;
    ::GetExitCodeThread(t->m_hThread, &code);
    EXPECT_EQ(code, 42u);
    delete t;
}

TEST(Threads, ThreadWithMessageLoopEndsWhenItsMainWindowCloses)
{
    UiThread::s_pings = 0;
    UiThread::s_exited = 0;
    CWinThread* t = AfxBeginThread(RUNTIME_CLASS(UiThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(t, nullptr);
    t->m_bAutoDelete = FALSE;
    t->ResumeThread();
    // The thread's queue exists once it is running its loop; retry until the post lands.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return t->PostThreadMessage(WM_THREAD_PING, 3, 0) != FALSE; }))
        << "the thread never had a queue to post to";
    ASSERT_EQ(::WaitForSingleObject(t->m_hThread, testsupport::kWindowWaitMs), WAIT_OBJECT_0)
        << "the thread's loop did not end when its main window closed";
    EXPECT_EQ(UiThread::s_pings, 3);
    EXPECT_EQ(UiThread::s_exited, 1);
    delete t;
}

// ---- Message cracking ----------------------------------------------------------------

namespace {

class CrackingWnd : public CWnd {
public:
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    HDC ctlColorDC = nullptr;
    HWND ctlColorWnd = nullptr;
    UINT ctlColorKind = 99;
    bool painted = false;
    bool paintDCValid = false;
    CSize size;
    CPoint click;
    UINT clickFlags = 0;
    ~CrackingWnd() override { ::DeleteObject(brush); }
protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        if (pWnd->GetDlgCtrlID() == 2)  // the reflecting child answers for itself
            return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
        ctlColorDC = pDC->GetSafeHdc();
        ctlColorWnd = pWnd->m_hWnd;
        ctlColorKind = nCtlColor;
        return brush;
    }
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        paintDCValid = dc.GetSafeHdc() != nullptr;
        painted = true;
    }
    afx_msg void OnSize(UINT, int cx, int cy) { size = CSize(cx, cy); }
    afx_msg void OnLButtonDown(UINT flags, CPoint point)
    {
        clickFlags = flags;
        click = point;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CrackingWnd, CWnd)
    ON_WM_CTLCOLOR()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

class ColouredStatic : public CStatic {
public:
    HBRUSH brush = ::CreateSolidBrush(RGB(4, 5, 6));
    ~ColouredStatic() override { ::DeleteObject(brush); }
protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT)
    {
        pDC->SetTextColor(RGB(7, 8, 9));
        return brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColouredStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// Handler signatures are checked when the map is compiled.
struct SignatureProbe : CWnd {
    void RightTimer(UINT_PTR) {}
    void WrongTimer(int) {}
    int WrongCreate(CREATESTRUCT*) { return 0; }
};
static_assert(fx::detail::HasSignature<&SignatureProbe::RightTimer, void(UINT_PTR)>);
static_assert(!fx::detail::HasSignature<&SignatureProbe::WrongTimer, void(UINT_PTR)>);
static_assert(fx::detail::HasSignature<&SignatureProbe::WrongCreate, int(LPCREATESTRUCT)>);

} // namespace

TEST(MessageMap, ParametersAreCrackedForTheHandlers)
{
    CrackingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "c", WS_POPUP | WS_VISIBLE, 0, 0, 120, 80, nullptr, nullptr));
    CStatic label;
    ColouredStatic coloured;
    ASSERT_TRUE(label.Create("label", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &wnd, 1));
    ASSERT_TRUE(coloured.Create("coloured", WS_CHILD | WS_VISIBLE, CRect(0, 30, 50, 50), &wnd, 2));

    CClientDC dc(&wnd);
    LRESULT r = wnd.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                reinterpret_cast<LPARAM>(label.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), wnd.brush);
    EXPECT_EQ(wnd.ctlColorDC, dc.GetSafeHdc());
    EXPECT_EQ(wnd.ctlColorWnd, label.m_hWnd);
    EXPECT_EQ(wnd.ctlColorKind, (UINT)CTLCOLOR_STATIC);

    r = wnd.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                        reinterpret_cast<LPARAM>(coloured.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), coloured.brush);
    EXPECT_EQ(::GetTextColor(dc.GetSafeHdc()), RGB(7, 8, 9));

    wnd.MoveWindow(0, 0, 150, 90);
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(wnd.size, client.Size());

    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 7));
    EXPECT_EQ(wnd.click, CPoint(-5, 7));
    EXPECT_EQ(wnd.clickFlags, (UINT)MK_LBUTTON);

    wnd.Invalidate();
    wnd.UpdateWindow();
    EXPECT_TRUE(wnd.painted);
    EXPECT_TRUE(wnd.paintDCValid);
    wnd.DestroyWindow();
}

namespace {
class OwnerDrawnButton : public CButton {
public:
    int draws = 0;
    UINT lastCtlId = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        ++draws;
        lastCtlId = dis->CtlID;
        ::FillRect(dis->hDC, &dis->rcItem, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    }
};
} // namespace

TEST(MessageMap, OwnerDrawnButtonsPaintThemselves)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
    OwnerDrawnButton button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 40, 20), &parent, 33));
    button.Invalidate();
    button.UpdateWindow();
    EXPECT_GE(button.draws, 1);
    EXPECT_EQ(button.lastCtlId, 33u);
    parent.DestroyWindow();
}
