// The shape button on real windows: its caption through WM_GETTEXT, colour
// defaults, one accepted press a second with the command sent either way,
// the space key, a button made from a window of its class alone, and its
// painted face.
#include "shape_button.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

time_t g_now = 1000000;
time_t TestClock() { return g_now; }

class Parent : public CWnd {
public:
    std::vector<UINT> clicks;
    Parent()
    {
        CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr);
    }
    ~Parent() override
    {
        if (m_hWnd)
            DestroyWindow();
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(wParam) == BN_CLICKED)
            clicks.push_back(LOWORD(wParam));
        return CWnd::OnCommand(wParam, lParam);
    }
};

// Whether the class was there before the first test ran (nothing has made a
// button yet then).
bool g_classAtStart = false;
class ClassAtStart : public ::testing::Environment {
public:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        g_classAtStart = ::GetClassInfoA(::GetModuleHandleA(nullptr), CShapeButton::ClassName(), &wc) != FALSE;
    }
};
[[maybe_unused]] ::testing::Environment* const g_classAtStartEnv = ::testing::AddGlobalTestEnvironment(new ClassAtStart);

// A dialog template with one control of the button's class.
std::vector<WORD> TemplateWithAShapeButton()
{
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(t.data());
    dlg->style = WS_POPUP;
    dlg->cdit = 1;
    dlg->cx = 100;
    dlg->cy = 40;
    t.insert(t.end(), {0, 0, 0});  // no menu, default class, no title
    while (t.size() % 2)
        t.push_back(0);  // items start on a DWORD boundary
    const size_t at = t.size();
    t.resize(at + sizeof(DLGITEMTEMPLATE) / sizeof(WORD), 0);
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(t.data() + at);
    item->style = WS_CHILD | WS_VISIBLE;
    item->x = 5;
    item->y = 5;
    item->cx = 60;
    item->cy = 14;
    item->id = 77;
    for (const char* c = CShapeButton::ClassName(); *c; ++c)
        t.push_back(static_cast<WORD>(*c));
    t.push_back(0);
    for (const char* c = "In a template"; *c; ++c)
        t.push_back(static_cast<WORD>(*c));
    t.push_back(0);
    t.push_back(0);  // no creation data
    return t;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct ClockGuard {
    fx::TimeSource previous = fx::SetTimeSource(TestClock);
    ~ClockGuard() { fx::SetTimeSource(previous); }
};

}  // namespace

TEST(ShapeButton, CaptionThroughGetText)
{
    Parent parent;
    CShapeButton button;
    ASSERT_TRUE(button.Create("Menu", CRect(0, 0, 60, 20), &parent, 7));
    const struct {
        const char* caption;
        WPARAM size;
        LRESULT copied;
        const char* text;
    } cases[] = {
        {"Menu", 5, 4, "Menu"}, {"Menu", 100, 4, "Menu"}, {"Longer", 5, 4, "Long"},
        {"Menu", 1, 0, ""},     {"", 5, 0, ""},
    };
    for (const auto& c : cases) {
        button.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.caption));
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(button.SendMessage(WM_GETTEXT, c.size, reinterpret_cast<LPARAM>(buffer)), c.copied) << c.caption;
        EXPECT_STREQ(buffer, c.text) << c.caption << " " << c.size;
    }
    // A buffer of no size is not written at all.
    char untouched[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(button.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(untouched)), 0);
    EXPECT_EQ(untouched[0], 'x');
}

TEST(ShapeButton, ColourDefaults)
{
    CShapeButton button;
    const COLORREF none = CShapeButton::kNoColor;
    button.SetColors(none, none, none, none);
    EXPECT_EQ(button.GetTextColor(), ::GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(button.GetBackgroundColor(), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(button.GetPressedTextColor(), ::GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(button.GetPressedBackgroundColor(), ::GetSysColor(COLOR_BTNFACE));
    button.SetColors(none, 0xFFFFFF, none, 0x4040FF, 0xFFFFFF, none);
    EXPECT_EQ(button.GetPressedTextColor(), 0x4040FFu);
}

TEST(ShapeButton, OnePressASecondButEveryReleaseClicks)
{
    ClockGuard clock;
    Parent parent;
    CShapeButton button;
    ASSERT_TRUE(button.Create("Go", CRect(10, 10, 70, 30), &parent, 9));
    g_now += 10;
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsPressed());
    EXPECT_EQ(button.VisualState(), 1);
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(button.IsPressed());
    // Within the same second: not shown pressed, yet the release still clicks.
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(button.IsPressed());
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    // Released outside: no click.
    g_now += 1;
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsPressed());
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    EXPECT_EQ(parent.clicks, (std::vector<UINT>{9, 9}));

    // The space key presses, and its timer releases at (0, 0), which is inside.
    g_now += 1;
    button.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !button.IsPressed(); }, testsupport::kWindowWaitMs, true))
        << "the space key's timer never released the button";
    EXPECT_EQ(parent.clicks.size(), 3u);

    button.SetDisabled(TRUE);
    EXPECT_EQ(button.VisualState(), 3);
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(parent.clicks.size(), 3u);  // a disabled button sends nothing
}

TEST(ShapeButton, ADialogTemplateNamesTheClassRegisteredAtStart)
{
    EXPECT_TRUE(g_classAtStart) << "the class was not registered when the program started";
    std::vector<WORD> t = TemplateWithAShapeButton();
    HWND dlg = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()),
                                            nullptr, PlainDialogProc, 0);
    ASSERT_NE(dlg, nullptr) << "a template naming the class failed";
    HWND control = ::GetDlgItem(dlg, 77);
    ASSERT_NE(control, nullptr);
    EXPECT_NE(dynamic_cast<CShapeButton*>(CWnd::FromHandlePermanent(control)), nullptr);
    char text[32] = {};
    ::GetWindowTextA(control, text, sizeof text);
    EXPECT_STREQ(text, "In a template");
    ::DestroyWindow(dlg);
}

TEST(ShapeButton, AWindowOfTheClassGetsItsOwnButton)
{
    ASSERT_TRUE(CShapeButton::RegisterWindowClass());
    Parent parent;
    HWND made = ::CreateWindowExA(0, CShapeButton::ClassName(), "From template", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20,
                                  parent.m_hWnd, reinterpret_cast<HMENU>(5), ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(made, nullptr);
    auto* button = dynamic_cast<CShapeButton*>(CWnd::FromHandlePermanent(made));
    ASSERT_NE(button, nullptr);
    char text[32] = {};
    ::GetWindowTextA(made, text, sizeof text);
    EXPECT_STREQ(text, "From template");
    ::DestroyWindow(made);  // deletes the object it made
}

TEST(ShapeButton, PaintsItsFaceAndTakesACapsuleShape)
{
    Parent parent;
    CShapeButton button;
    ASSERT_TRUE(button.Create("", CRect(0, 0, 60, 20), &parent, 3));
    button.SetColors(CShapeButton::kNoColor, RGB(0, 128, 0), CShapeButton::kNoColor, RGB(128, 0, 0));
    ASSERT_TRUE(button.Capsule(nullptr));
    CRgn shape;
    shape.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(button.GetWindowRgn(shape), ERROR);
    EXPECT_FALSE(shape.PtInRegion(0, 0));
    EXPECT_TRUE(shape.PtInRegion(30, 10));

    button.Invalidate();
    button.UpdateWindow();
    CClientDC screen(&button);
    EXPECT_EQ(screen.GetPixel(30, 10), RGB(0, 128, 0));
}
