// Property sheets and pages on the system's control.
#include "fx/fxwin.h"
#include "gdi_controls_ids.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;

class Page : public CPropertyPage {
public:
    Page(UINT id, const char* name, UINT caption = 0) : CPropertyPage(id, caption), m_name(name) {}
    std::string m_name;
    BOOL refuseLeave = FALSE;
    CString text = "start";

    BOOL OnInitDialog() override
    {
        g_events.push_back(m_name + ":init");
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        g_events.push_back(m_name + ":active");
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        g_events.push_back(m_name + ":leave");
        return refuseLeave ? FALSE : CPropertyPage::OnKillActive();
    }
    BOOL OnApply() override
    {
        g_events.push_back(m_name + ":apply");
        return CPropertyPage::OnApply();
    }
    LRESULT OnWizardNext() override
    {
        g_events.push_back(m_name + ":next");
        return 0;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (GetDlgItem(IDC_GC_EDIT))
            DDX_Text(pDX, IDC_GC_EDIT, text);
    }
};

bool Has(const std::string& e)
{
    for (auto& s : g_events)
        if (s == e)
            return true;
    return false;
}

} // namespace

TEST(PropSheet, ModelessSheetCreatesPagesAsTheyAreShown)
{
    g_events.clear();
    Page one(IDD_GC_PAGE1, "one"), two(IDD_GC_PAGE2, "two", IDS_GC_PAGE2);
    CPropertySheet sheet("Sheet");
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetPageIndex(&two), 1);
    ASSERT_TRUE(sheet.Create());
    ASSERT_NE(sheet.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(sheet.m_hWnd), &sheet);

    // The first page exists, bound to its object, and got its data.
    ASSERT_NE(one.m_hWnd, nullptr);
    EXPECT_EQ(two.m_hWnd, nullptr);
    EXPECT_TRUE(Has("one:init"));
    EXPECT_TRUE(Has("one:active"));
    CString edit;
    one.GetDlgItemText(IDC_GC_EDIT, edit);
    EXPECT_STREQ(edit, "start");
    EXPECT_EQ(sheet.GetActivePage(), &one);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);

    CTabCtrl* tab = sheet.GetTabControl();
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->GetItemCount(), 2);
    TCITEMA item = {};
    char buf[64] = {};
    item.mask = TCIF_TEXT;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    tab->GetItem(1, &item);
    EXPECT_STREQ(buf, "Second page");  // the caption id replaces the template's caption

    // A page that refuses to be left keeps the sheet where it is.
    one.refuseLeave = TRUE;
    sheet.SetActivePage(1);
    EXPECT_EQ(sheet.GetActivePage(), &one);
    one.refuseLeave = FALSE;
    one.SetDlgItemText(IDC_GC_EDIT, "typed");
    EXPECT_TRUE(sheet.SetActivePage(&two));
    EXPECT_EQ(sheet.GetActivePage(), &two);
    EXPECT_TRUE(Has("two:init"));
    EXPECT_STREQ(one.text, "typed");  // leaving the page saved its data

    // OK applies every page and closes the modeless sheet.
    one.SetModified();
    g_events.clear();
    // As a click on the sheet's OK button.
    sheet.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)sheet.GetDlgItem(IDOK)->GetSafeHwnd());
    EXPECT_TRUE(fxtest::PumpUntil([&] { return sheet.m_hWnd == nullptr; })) << "the sheet did not close after OK";
    EXPECT_TRUE(Has("one:apply"));
    EXPECT_TRUE(Has("two:apply"));
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(one.m_hWnd, nullptr);
}

TEST(PropSheet, WizardMovesWithNext)
{
    g_events.clear();
    Page one(IDD_GC_PAGE1, "one"), two(IDD_GC_PAGE2, "two");
    CPropertySheet sheet("Wizard");
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    sheet.SetWizardMode();
    EXPECT_TRUE(sheet.IsWizard());
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.GetActivePage(), &one);
    sheet.PressButton(PSBTN_NEXT);
    EXPECT_TRUE(fxtest::PumpUntil([&] { return sheet.GetActivePage() == &two; })) << "Next did not reach page two";
    EXPECT_TRUE(Has("one:next"));
    EXPECT_EQ(sheet.GetActivePage(), &two);
    sheet.DestroyWindow();
    EXPECT_EQ(two.m_hWnd, nullptr);
}

TEST(PropSheet, PagesLeaveTheSheetWhenRemoved)
{
    Page one(IDD_GC_PAGE1, "one");
    {
        CPropertySheet sheet("Sheet");
        sheet.AddPage(&one);
        EXPECT_EQ(one.GetSheet(), &sheet);
        sheet.RemovePage(&one);
        EXPECT_EQ(one.GetSheet(), nullptr);
        EXPECT_EQ(sheet.GetPageCount(), 0);
        EXPECT_FALSE(sheet.Create());  // nothing to show
        sheet.AddPage(&one);
    }
    // The sheet went first; the page no longer points at it.
    EXPECT_EQ(one.GetSheet(), nullptr);
}

namespace {
CPropertySheet* g_modalSheet = nullptr;
int g_modalButton = PSBTN_OK;
void CALLBACK PressWhenShown(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_modalSheet && g_modalSheet->m_hWnd && g_modalSheet->GetActivePage()) {
        ::KillTimer(nullptr, id);
        g_modalSheet->PressButton(g_modalButton);
    }
}
} // namespace

TEST(PropSheet, ModalSheetEndsWithItsButtons)
{
    for (int button : {PSBTN_OK, PSBTN_CANCEL}) {
        g_events.clear();
        Page one(IDD_GC_PAGE1, "one");
        CPropertySheet sheet("Modal");
        sheet.AddPage(&one);
        g_modalSheet = &sheet;
        g_modalButton = button;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, PressWhenShown);
        testsupport::ModalWatchdog watchdog("the modal sheet to end with its pressed button");
        INT_PTR result = sheet.DoModal();
        watchdog.Disarm();
        ::KillTimer(nullptr, timer);
        g_modalSheet = nullptr;
        EXPECT_EQ(result, button == PSBTN_OK ? IDOK : IDCANCEL);
        EXPECT_TRUE(Has("one:init"));
        EXPECT_EQ(Has("one:apply"), button == PSBTN_OK);
        EXPECT_EQ(sheet.m_hWnd, nullptr);
        EXPECT_EQ(one.m_hWnd, nullptr);
        EXPECT_FALSE(sheet.IsModeless());
    }
}

namespace {
void CALLBACK FinishWhenShown(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!g_modalSheet || !g_modalSheet->m_hWnd || !g_modalSheet->GetActivePage())
        return;
    if (g_modalSheet->GetActiveIndex() < 0 || g_modalSheet->GetActivePage() != g_modalSheet->GetPage(1)) {
        g_modalSheet->PressButton(PSBTN_NEXT);
        return;
    }
    ::KillTimer(nullptr, id);
    g_modalSheet->PressButton(g_modalButton);
}
} // namespace

TEST(PropSheet, ModalWizardEndsWithFinishOrCancel)
{
    struct Case {
        int button;
        INT_PTR result;
    } cases[] = {{PSBTN_FINISH, ID_WIZFINISH}, {PSBTN_CANCEL, IDCANCEL}};
    for (const Case& c : cases) {
        g_events.clear();
        Page one(IDD_GC_PAGE1, "one"), two(IDD_GC_PAGE2, "two");
        CPropertySheet sheet("Wizard");
        sheet.AddPage(&one);
        sheet.AddPage(&two);
        sheet.SetWizardMode();
        g_modalSheet = &sheet;
        g_modalButton = c.button;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, FinishWhenShown);
        testsupport::ModalWatchdog watchdog("the modal wizard to end with its pressed button");
        INT_PTR result = sheet.DoModal();
        watchdog.Disarm();
        ::KillTimer(nullptr, timer);
        g_modalSheet = nullptr;
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(Has("one:next"));
    }
}
