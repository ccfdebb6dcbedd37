// The history combo box on a real window, its history in the registry.
#include "history_combo.h"

#include <gtest/gtest.h>

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
}  // namespace
