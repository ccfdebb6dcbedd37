// Dialogs from templates: data exchange and validation, modeless and modal use.
#include "test_ids.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

using fxtest::DrainQueue;
using fxtest::MessageBoxRecorder;

namespace {

class DataDialog : public CDialog {
public:
    DataDialog(CWnd* parent = nullptr) : CDialog(IDD_DATA, parent) {}

    CString m_strName = "Alice";
    int m_nCount = 12;
    UINT m_uSize = 4000000000u;
    int m_bCheck = 1;
    int m_nRadio = 2;
    CString m_strCombo = "Green";
    int m_nList = 1;
    CEdit m_edit;
    int actions = 0;

protected:
    BOOL OnInitDialog() override
    {
        CComboBox* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO));
        for (const char* s : {"Red", "Green", "Blue"})
            combo->AddString(s);
        CListBox* list = static_cast<CListBox*>(GetDlgItem(IDC_LIST));
        for (const char* s : {"alpha", "beta", "gamma"})
            list->AddString(s);
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_NAME, m_edit);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDV_MaxChars(pDX, m_strName, 10);
        DDX_Text(pDX, IDC_COUNT, m_nCount);
        DDV_MinMaxInt(pDX, m_nCount, 1, 100);
        DDX_Text(pDX, IDC_AMOUNT, m_uSize);
        DDX_Check(pDX, IDC_CHECK, m_bCheck);
        DDX_Radio(pDX, IDC_RADIO1, m_nRadio);
        DDX_CBString(pDX, IDC_COMBO, m_strCombo);
        DDX_LBIndex(pDX, IDC_LIST, m_nList);
    }
    afx_msg void OnAction() { ++actions; }
    afx_msg void OnNameChange() { ++nameChanges; }
    DECLARE_MESSAGE_MAP()
public:
    int nameChanges = 0;
};

BEGIN_MESSAGE_MAP(DataDialog, CDialog)
    ON_BN_CLICKED(IDC_ACTION, OnAction)
    ON_EN_CHANGE(IDC_NAME, OnNameChange)
END_MESSAGE_MAP()

CString ItemText(CWnd& dlg, int id)
{
    CString s;
    dlg.GetDlgItemText(id, s);
    return s;
}

} // namespace

TEST(Dialog, ModelessDialogLoadsItsControlsFromTheMembers)
{
    DataDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_DATA));
    EXPECT_FALSE(dlg.IsWindowVisible());  // the template is not WS_VISIBLE
    EXPECT_STREQ(ItemText(dlg, IDC_NAME), "Alice");
    EXPECT_STREQ(ItemText(dlg, IDC_COUNT), "12");
    EXPECT_STREQ(ItemText(dlg, IDC_AMOUNT), "4000000000");
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_CHECK), 1u);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_RADIO1, IDC_RADIO3), IDC_RADIO3);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_AFTER_RADIOS), 0u);  // outside the group
    EXPECT_STREQ(ItemText(dlg, IDC_COMBO), "Green");
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_LIST, LB_GETCURSEL), 1);
    // DDX_Control bound the edit control to its member.
    EXPECT_EQ(dlg.m_edit.m_hWnd, dlg.GetDlgItem(IDC_NAME)->m_hWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_edit.m_hWnd), &dlg.m_edit);
    // Limited by DDV_MaxChars.
    EXPECT_EQ(dlg.m_edit.GetLimitText(), 10u);

    // A button of the template reaches the dialog's message map.
    dlg.SendDlgItemMessage(IDC_ACTION, BM_CLICK);
    EXPECT_EQ(dlg.actions, 1);

    // Controls changed by the exchange do not notify the dialog; the user's changes do.
    EXPECT_EQ(dlg.nameChanges, 0);
    dlg.m_strName = "Carol";
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(dlg.nameChanges, 0);
    EXPECT_STREQ(ItemText(dlg, IDC_NAME), "Carol");
    dlg.SetDlgItemText(IDC_NAME, "Dave");
    EXPECT_EQ(dlg.nameChanges, 1);
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(dlg.m_edit.m_hWnd, nullptr);
}

TEST(Dialog, SavingReadsEveryControlBack)
{
    DataDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_DATA));
    dlg.SetDlgItemText(IDC_NAME, "Bob");
    dlg.SetDlgItemText(IDC_COUNT, "  -0099 ");
    dlg.SetDlgItemText(IDC_AMOUNT, "17");
    dlg.CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
    dlg.CheckRadioButton(IDC_RADIO1, IDC_RADIO3, IDC_RADIO1);
    dlg.SendDlgItemMessage(IDC_COMBO, CB_SETCURSEL, 2);
    dlg.SendDlgItemMessage(IDC_LIST, LB_SETCURSEL, 0);
    // -99 is an integer but below the minimum.
    {
        MessageBoxRecorder boxes;
        EXPECT_FALSE(dlg.UpdateData(TRUE));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Please enter an integer between 1 and 100.");
    }
    dlg.SetDlgItemText(IDC_COUNT, "  0099 ");
    MessageBoxRecorder boxes;
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_STREQ(dlg.m_strName, "Bob");
    EXPECT_EQ(dlg.m_nCount, 99);
    EXPECT_EQ(dlg.m_uSize, 17u);
    EXPECT_EQ(dlg.m_bCheck, 0);
    EXPECT_EQ(dlg.m_nRadio, 0);
    EXPECT_STREQ(dlg.m_strCombo, "Blue");
    EXPECT_EQ(dlg.m_nList, 0);

    // No radio checked reads back as -1.
    dlg.CheckRadioButton(IDC_RADIO1, IDC_RADIO3, 0);
    for (int id : {IDC_RADIO1, IDC_RADIO2, IDC_RADIO3})
        dlg.CheckDlgButton(id, BST_UNCHECKED);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nRadio, -1);
    dlg.DestroyWindow();
}

TEST(Dialog, FailedValidationTellsTheUserAndKeepsTheMembers)
{
    struct Case {
        int control;
        const char* text;
        const char* message;
        bool parsed;  // a range check fails after the value was taken
    };
    const Case cases[] = {
        {IDC_COUNT, "12abc", "Please enter an integer.", false},
        {IDC_COUNT, "", "Please enter an integer.", false},
        {IDC_COUNT, "99999999999", "Please enter an integer.", false},
        {IDC_COUNT, "101", "Please enter an integer between 1 and 100.", true},
        {IDC_AMOUNT, "-1", "Please enter a positive integer.", false},
        {IDC_AMOUNT, "4294967296", "Please enter a positive integer.", false},
    };
    DataDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_DATA));
    dlg.ShowWindow(SW_SHOW);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        dlg.m_nCount = 12;
        dlg.m_uSize = 4000000000u;
        ASSERT_TRUE(dlg.UpdateData(FALSE));
        dlg.GetDlgItem(IDC_NAME)->SetFocus();
        dlg.SetDlgItemText(c.control, c.text);
        MessageBoxRecorder boxes;
        EXPECT_FALSE(dlg.UpdateData(TRUE));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, c.message);
        EXPECT_EQ(::GetFocus(), dlg.GetDlgItem(c.control)->m_hWnd);
        if (!c.parsed) {
            EXPECT_EQ(dlg.m_nCount, 12);
            EXPECT_EQ(dlg.m_uSize, 4000000000u);
        }
    }
    dlg.DestroyWindow();
}

TEST(Dialog, TooLongTextFailsValidation)
{
    // The edit control's own limit does not bind text set by the program.
    DataDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_DATA));
    dlg.SetDlgItemText(IDC_NAME, "Twelve chars");
    MessageBoxRecorder boxes;
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Please enter no more than 10 characters.");
    dlg.DestroyWindow();
}

namespace {

constexpr UINT WM_FINISH = WM_APP + 5;

class FinishingDialog : public CDialog {
public:
    explicit FinishingDialog(CWnd* parent = nullptr) : CDialog(IDD_PLAIN, parent) {}
    CString m_strName = "start";
    bool ownerDisabledDuringLoop = false;
    bool visibleDuringLoop = false;
    UINT postOnInit = WM_FINISH;
    WPARAM postWParam = 77;
protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(postOnInit, postWParam, 0);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NAME, m_strName); }
    afx_msg LRESULT OnFinish(WPARAM w, LPARAM)
    {
        visibleDuringLoop = IsWindowVisible() != FALSE;
        if (m_pParentWnd)
            ownerDisabledDuringLoop = !m_pParentWnd->IsWindowEnabled();
        EndDialog((int)w);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FinishingDialog, CDialog)
    ON_MESSAGE(WM_FINISH, OnFinish)
END_MESSAGE_MAP()

} // namespace

namespace {
// Ends the modal dialog it owns once the dialog's loop goes idle.
class IdleOwner : public CWnd {
public:
    WPARAM result = 77;
    int idles = 0;
protected:
    afx_msg LRESULT OnEnterIdle(WPARAM, LPARAM lParam)
    {
        if (idles++ == 0)
            ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_FINISH, result, 0);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(IdleOwner, CWnd)
    ON_MESSAGE(WM_ENTERIDLE, OnEnterIdle)
END_MESSAGE_MAP()
} // namespace

TEST(Dialog, ModalDialogEndsWithTheResultOfAPostedMessage)
{
    IdleOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
    FinishingDialog dlg(&owner);
    dlg.postOnInit = WM_NULL;
    testsupport::ModalWatchdog watchdog("the dialogs ended by posted messages to end");
    EXPECT_EQ(dlg.DoModal(), 77);
    EXPECT_TRUE(dlg.visibleDuringLoop);
    EXPECT_TRUE(dlg.ownerDisabledDuringLoop);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    // The same object runs again; this time it ends itself.
    dlg.postOnInit = WM_FINISH;
    dlg.postWParam = 5;
    EXPECT_EQ(dlg.DoModal(), 5);
    EXPECT_FALSE(dlg.visibleDuringLoop);  // shown only when the loop first goes idle
    owner.DestroyWindow();
}

TEST(Dialog, OkSavesTheDataAndCancelDoesNot)
{
    {
        FinishingDialog dlg;
        dlg.postOnInit = WM_COMMAND;
        dlg.postWParam = IDOK;
        dlg.m_strName = "kept";
        testsupport::ModalWatchdog watchdog("the dialog to end with a posted OK");
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_STREQ(dlg.m_strName, "kept");
    }
    {
        FinishingDialog dlg;
        dlg.postOnInit = WM_CLOSE;  // the dialog manager turns it into Cancel
        testsupport::ModalWatchdog watchdog("the dialog to end with a posted close");
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
}

TEST(Dialog, ModalLoopLeavesOnQuitAndPassesItOn)
{
    // Quit arrives while the dialog runs.
    struct QuitLater : FinishingDialog {
        BOOL OnInitDialog() override
        {
            FinishingDialog::OnInitDialog();
            ::PostQuitMessage(3);
            return TRUE;
        }
    } quitting;
    quitting.postOnInit = WM_NULL;
    {
        testsupport::ModalWatchdog watchdog("the dialog to leave its loop on WM_QUIT");
        EXPECT_EQ(quitting.DoModal(), -1);
    }
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DrainQueue();
}

namespace {
constexpr UINT WM_RUN_INNER = WM_APP + 6;

class OuterDialog : public FinishingDialog {
public:
    INT_PTR innerResult = 0;
    bool disabledDuringInner = false;
    OuterDialog() { postOnInit = WM_RUN_INNER; }
protected:
    afx_msg LRESULT OnRunInner(WPARAM, LPARAM)
    {
        struct Inner : FinishingDialog {
            OuterDialog* outer = nullptr;
            BOOL OnInitDialog() override
            {
                outer->disabledDuringInner = !outer->IsWindowEnabled();
                return FinishingDialog::OnInitDialog();
            }
        } inner;
        inner.outer = this;
        inner.m_pParentWnd = this;
        inner.postWParam = 9;
        innerResult = inner.DoModal();
        EndDialog((int)innerResult + 1);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OuterDialog, FinishingDialog)
    ON_MESSAGE(WM_RUN_INNER, OnRunInner)
END_MESSAGE_MAP()
} // namespace

TEST(Dialog, ModalDialogsNest)
{
    OuterDialog outer;
    testsupport::ModalWatchdog watchdog("the nested dialogs to end with their posted results");
    EXPECT_EQ(outer.DoModal(), 10);
    EXPECT_EQ(outer.innerResult, 9);
    EXPECT_TRUE(outer.disabledDuringInner);
}

TEST(Dialog, MissingTemplateFailsCleanly)
{
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create(4242));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}
