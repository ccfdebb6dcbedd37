// The colour picker and its palette popup on real windows: the keyboard, the
// messages to the parent, the popup's place near the screen's corner and the
// system colour dialog behind "More Colours...", the palette realised again
// on others' palette changes, and the mouse relayed to the cells' tool tips.
#include "colour_picker.h"
#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

using namespace colourgrid;

namespace {

// A parent that records the picker's messages.
class PickerParent : public CWnd {
public:
    explicit PickerParent(CPoint at = CPoint(40, 40))
    {
        CreateEx(0, AfxRegisterWndClass(0), "picker parent", WS_POPUP | WS_VISIBLE | WS_CAPTION, at.x, at.y, 220, 120,
                 nullptr, nullptr);
    }
    ~PickerParent() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    std::vector<std::pair<UINT, COLORREF>> messages;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message >= CPN_SELCHANGE && message <= CPN_SELENDCANCEL)
            messages.emplace_back(message, static_cast<COLORREF>(wParam));
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
};

struct Picker {
    PickerParent parent;
    CColourPicker picker;
    explicit Picker(COLORREF colour, CPoint at = CPoint(40, 40)) : parent(at)
    {
        CRect client;
        parent.GetClientRect(&client);
        HWND h = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, client.right - 90,
                                   client.bottom - 30, 80, 20, parent.m_hWnd, (HMENU)1034, nullptr, nullptr);
        picker.SubclassWindow(h);
        picker.SetColour(colour);
    }
    CColourPopup* Open()
    {
        parent.SendMessage(WM_COMMAND, MAKEWPARAM(1034, BN_CLICKED), (LPARAM)picker.m_hWnd);
        return picker.GetPopup();
    }
    void Key(CColourPopup* popup, UINT vk) { popup->SendMessage(WM_KEYDOWN, vk, 0); }
};

}  // namespace

TEST(ColourPicker, KeyboardMovesAndEnterTakesTheColour)
{
    Picker p(0x123456);  // not in the table: nothing chosen, nothing selected
    CColourPopup* popup = p.Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(p.picker.IsActive());
    EXPECT_EQ(popup->GetSelection(), kNone);
    EXPECT_EQ(popup->GetChosen(), kCustomBox);
    ASSERT_FALSE(p.parent.messages.empty());
    EXPECT_EQ(p.parent.messages.front().first, (UINT)CPN_DROPDOWN);
    optest::SaveWindowPicture(popup->m_hWnd, "colour_popup");

    struct Step {
        UINT key;
        int selection;
    } steps[] = {{VK_UP, kDefaultBox}, {VK_DOWN, 0}, {VK_RIGHT, 1}, {VK_DOWN, 9}, {VK_LEFT, 8}, {VK_LEFT, 7}};
    for (const Step& s : steps) {
        p.Key(popup, s.key);
        EXPECT_EQ(popup->GetSelection(), s.selection) << "after key " << s.key;
    }
    p.parent.messages.clear();
    p.Key(popup, VK_RETURN);
    EXPECT_EQ(p.picker.GetPopup(), nullptr) << "the popup is gone";
    EXPECT_FALSE(p.picker.IsActive());
    EXPECT_EQ(p.picker.GetColour(), kTable[7].colour);
    ASSERT_EQ(p.parent.messages.size(), 2u);
    EXPECT_EQ(p.parent.messages[0].first, (UINT)CPN_CLOSEUP);
    EXPECT_EQ(p.parent.messages[1].first, (UINT)CPN_SELENDOK);
    EXPECT_EQ(p.parent.messages[1].second, kTable[7].colour);
}

TEST(ColourPicker, EscapeGivesBackTheOpeningColour)
{
    Picker p(kTable[3].colour);
    CColourPopup* popup = p.Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetChosen(), 3);
    p.Key(popup, VK_RIGHT);
    p.Key(popup, VK_DOWN);
    p.parent.messages.clear();
    p.Key(popup, VK_ESCAPE);
    EXPECT_EQ(p.picker.GetColour(), kTable[3].colour);
    ASSERT_EQ(p.parent.messages.size(), 2u);
    EXPECT_EQ(p.parent.messages[0].first, (UINT)CPN_CLOSEUP);
    EXPECT_EQ(p.parent.messages[1].first, (UINT)CPN_SELENDCANCEL);
}

TEST(ColourPicker, TrackSelectionFollowsTheMovingSelection)
{
    for (BOOL track : {FALSE, TRUE}) {
        Picker p(0xFFFFFF);
        p.picker.SetTrackSelection(track);
        CColourPopup* popup = p.Open();
        ASSERT_NE(popup, nullptr);
        // Nothing is selected at first: Up goes to "Automatic", Down from there to cell 0.
        p.Key(popup, VK_UP);
        EXPECT_EQ(p.picker.GetColour(), track ? CLR_AUTOMATIC : 0xFFFFFFu);
        p.Key(popup, VK_DOWN);
        EXPECT_EQ(p.picker.GetColour(), track ? kTable[0].colour : 0xFFFFFFu);
        p.Key(popup, VK_ESCAPE);
    }
}

TEST(ColourPicker, PopupNearTheBottomRightCornerOpensAboveItsPicker)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    Picker p(0, CPoint(cx - 220, cy - 120));
    CColourPopup* popup = p.Open();
    ASSERT_NE(popup, nullptr);
    CRect pop, pick;
    popup->GetWindowRect(&pop);
    p.picker.GetWindowRect(&pick);
    EXPECT_LE(pop.right, cx);
    EXPECT_GE(pop.left, 0);
    EXPECT_LE(pop.bottom, pick.top) << "above the picker";
    EXPECT_GE(pop.top, 0);
    p.Key(popup, VK_ESCAPE);
}

TEST(ColourPicker, MoreColoursGoesThroughTheSystemColourDialog)
{
    struct Case {
        int button;
        UINT ending;
        COLORREF typed;  // what the dialog's red/green/blue fields are set to
        COLORREF result;
    } cases[] = {
        {IDCANCEL, CPN_SELENDCANCEL, 0, 0x123456},
        {IDOK, CPN_SELENDOK, RGB(10, 20, 30), RGB(10, 20, 30)},
    };
    for (const Case& c : cases) {
        Picker p(0x123456);
        CColourPopup* popup = p.Open();
        ASSERT_NE(popup, nullptr);
        p.Key(popup, VK_DOWN);  // "More Colours..."
        ASSERT_EQ(popup->GetSelection(), kCustomBox);
        bool sawDialog = false;
        optest::ModalDriver driver([&] {
            // The colour dialog among this thread's windows (not whichever is active).
            HWND dlg = nullptr;
            for (HWND h : testsupport::ThreadWindows(::GetCurrentThreadId(), "#32770"))
                if (::GetDlgItem(h, 706))
                    dlg = h;
            if (!dlg)
                return false;
            sawDialog = true;
            if (c.button == IDOK) {
                // Red, green and blue fields of the dialog.
                ::SetDlgItemInt(dlg, 706, GetRValue(c.typed), FALSE);
                ::SetDlgItemInt(dlg, 707, GetGValue(c.typed), FALSE);
                ::SetDlgItemInt(dlg, 708, GetBValue(c.typed), FALSE);
            }
            optest::Click(dlg, c.button);
            return true;
        }, "the system colour dialog to show and take the typed colour");
        p.parent.messages.clear();
        p.Key(popup, VK_RETURN);
        EXPECT_TRUE(sawDialog);
        EXPECT_FALSE(driver.GaveUp());
        ASSERT_FALSE(p.parent.messages.empty());
        EXPECT_EQ(p.parent.messages.back().first, c.ending);
        EXPECT_EQ(p.picker.GetColour(), c.result);
    }
}

TEST(ColourPicker, DataExchangeBothWays)
{
    Picker p(0);
    COLORREF value = 0x00C0FFEE & 0xFFFFFF;
    CDataExchange load(&p.parent, FALSE);
    DDX_ColourPicker(&load, 1034, value);
    EXPECT_EQ(p.picker.GetColour(), value);
    p.picker.SetColour(0x0000FF);
    COLORREF out = 0;
    CDataExchange save(&p.parent, TRUE);
    DDX_ColourPicker(&save, 1034, out);
    EXPECT_EQ(out, 0x0000FFu);
    // Text mode: the colour is the text colour.
    p.picker.SetSelectionMode(CColourPicker::CP_MODE_TEXT);
    p.picker.SetColour(0x00FF00);
    EXPECT_EQ(p.picker.GetDefaultColour(), 0x00FF00u);
}

namespace {

bool NeedsPainting(CWnd* w)
{
    RECT r;
    return ::GetUpdateRect(w->m_hWnd, &r, FALSE) != FALSE;
}

}  // namespace

// A palette change from another window, or a request for a new palette,
// realises the popup's palette again and repaints it; its own change does not
// (that would loop between windows realising in turn).
TEST(ColourPicker, PopupRepaintsOnPaletteChangesOfOthers)
{
    Picker p(kTable[0].colour);
    CColourPopup* popup = p.Open();
    ASSERT_NE(popup, nullptr);
    const struct {
        const char* what;
        UINT message;
        HWND from;
        bool repaints;
    } cases[] = {
        {"a change by another window", WM_PALETTECHANGED, p.parent.m_hWnd, true},
        {"its own change", WM_PALETTECHANGED, popup->m_hWnd, false},
        {"a new palette asked for", WM_QUERYNEWPALETTE, nullptr, true},
    };
    for (const auto& c : cases) {
        popup->UpdateWindow();
        ASSERT_FALSE(NeedsPainting(popup)) << c.what;
        popup->SendMessage(c.message, reinterpret_cast<WPARAM>(c.from), 0);
        EXPECT_EQ(c.repaints, NeedsPainting(popup)) << c.what;
    }
    p.Key(popup, VK_ESCAPE);
}

namespace {

std::vector<UINT> g_relayed;
WNDPROC g_tipProc = nullptr;

LRESULT CALLBACK RecordRelays(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_RELAYEVENT && lParam)
        g_relayed.push_back(reinterpret_cast<const MSG*>(lParam)->message);
    return ::CallWindowProcA(g_tipProc, wnd, message, wParam, lParam);
}

HWND g_tip = nullptr;

BOOL CALLBACK FindTipOf(HWND wnd, LPARAM owner)
{
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (std::string(cls) == TOOLTIPS_CLASSA && ::GetWindow(wnd, GW_OWNER) == reinterpret_cast<HWND>(owner)) {
        g_tip = wnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

// The cells' names show as tool tips only when the mouse messages the popup
// takes from the queue reach its tool-tip control.
TEST(ColourPicker, MouseMessagesReachTheCellsToolTips)
{
    Picker p(kTable[0].colour);
    CColourPopup* popup = p.Open();
    ASSERT_NE(popup, nullptr);
    g_tip = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindTipOf, reinterpret_cast<LPARAM>(popup->m_hWnd));
    ASSERT_NE(g_tip, nullptr);
    g_relayed.clear();
    g_tipProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(g_tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordRelays)));
    CRect cell;
    ASSERT_TRUE(popup->GetCellRect(5, &cell));
    const LPARAM at = MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y);
    for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN})
        popup->PostMessage(m, 0, at);
    // The program's own loop: each message walks the windows' pre-translation first.
    MSG msg;
    while (::PeekMessageA(&msg, popup->m_hWnd, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    ::SetWindowLongPtrA(g_tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_tipProc));
    EXPECT_EQ(g_relayed, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN}));
    p.Key(popup, VK_ESCAPE);
}
