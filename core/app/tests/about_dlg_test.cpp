// The about box as a real dialog: its texts, the notice that cannot be
// edited, the transparent title lines and their fonts, the memory and disk
// lines, and the gradient it paints behind them.
#include "about_dlg.h"

#include "options/wmoptions.h"
#include "resource.h"

#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

#include <direct.h>

#include <cerrno>
#include <cstdlib>
#include <regex>
#include <string>

namespace {

std::string ItemText(CWnd& dlg, int id)
{
    CString s;
    dlg.GetDlgItemText(id, s);
    return static_cast<const char*>(s);
}

std::string LoadText(UINT id)
{
    CString s;
    s.LoadString(id);
    return static_cast<const char*>(s);
}

// A decimal number that must fit 64 bits.
bool ParseUnsigned64(const std::string& digits, unsigned long long* value)
{
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    *value = std::strtoull(digits.c_str(), nullptr, 10);
    return errno == 0;
}

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX)); }
    void TearDown() override
    {
        if (dlg.m_hWnd)
            dlg.DestroyWindow();
    }
    CAboutDlg dlg;
};

TEST_F(AboutBox, ShowsTheProductAndItsVersion)
{
    CString title;
    dlg.GetWindowText(title);
    EXPECT_STREQ(title, "About Vindalex Personal Assistant");
    EXPECT_EQ(ItemText(dlg, IDC_ABOUT_PRODUCT), "Vindalex Personal Assistant");
    EXPECT_FALSE(ItemText(dlg, IDC_ABOUT_SUBTITLE).empty());
    EXPECT_EQ(ItemText(dlg, IDC_ABOUT_VERSION), "Version 3.0 (Build 129)");
    std::string notice = LoadText(IDS_COMPRESSION_NOTICE);
    EXPECT_FALSE(notice.empty());
    EXPECT_EQ(ItemText(dlg, IDC_ABOUT_NOTICE), notice);
}

TEST_F(AboutBox, NoticeIsReadOnlyAndEveryEditIsUndone)
{
    HWND edit = ::GetDlgItem(dlg.m_hWnd, IDC_ABOUT_NOTICE);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(::GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    const std::string notice = ItemText(dlg, IDC_ABOUT_NOTICE);

    // Typing is refused by the control itself.
    ::SendMessageA(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(ItemText(dlg, IDC_ABOUT_NOTICE), notice);

    // A replacement made through the control notifies the dialog, which puts the notice back.
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("pasted over"));
    EXPECT_EQ(ItemText(dlg, IDC_ABOUT_NOTICE), notice);

    // Text set without a notification stays until the next change notice arrives.
    dlg.SetDlgItemText(IDC_ABOUT_NOTICE, "changed quietly");
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ABOUT_NOTICE, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(ItemText(dlg, IDC_ABOUT_NOTICE), notice);
    // The version line is written back too, unchanged.
    EXPECT_EQ(ItemText(dlg, IDC_ABOUT_VERSION), "Version 3.0 (Build 129)");
}

TEST_F(AboutBox, TitleAndInformationLinesAreTransparentArial)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);

    struct Case {
        int id;
        CTransparentStatic* control;
        int points;
        int colorMode;
    } const cases[] = {
        {IDC_ABOUT_PRODUCT, &dlg.m_wndProduct, 14, 2},
        {IDC_ABOUT_SUBTITLE, &dlg.m_wndSubtitle, 10, 0},
        {IDC_ABOUT_MEMORY, &dlg.m_wndMemory, 8, 0},
        {IDC_ABOUT_DISK, &dlg.m_wndDisk, 8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        HWND item = ::GetDlgItem(dlg.m_hWnd, c.id);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(CWnd::FromHandlePermanent(item), c.control);
        EXPECT_EQ(c.control->GetTextColorMode(), c.colorMode);
        ASSERT_NE(c.control->m_hFont, nullptr);
        LOGFONTA lf = {};
        ASSERT_EQ(::GetObjectA(c.control->m_hFont, sizeof lf, &lf), static_cast<int>(sizeof lf));
        EXPECT_EQ(lf.lfHeight, c.points * dpi / 72);
        EXPECT_STREQ(lf.lfFaceName, "Arial");
        EXPECT_EQ(lf.lfPitchAndFamily, VARIABLE_PITCH | FF_DECORATIVE);
    }
    // Each size has its own font; the two information lines share one.
    EXPECT_NE(dlg.m_wndProduct.m_hFont, dlg.m_wndSubtitle.m_hFont);
    EXPECT_EQ(dlg.m_wndMemory.m_hFont, dlg.m_wndDisk.m_hFont);
}

TEST_F(AboutBox, MemoryAndDiskLinesGiveKilobytes)
{
    std::smatch m;
    const std::string memory = ItemText(dlg, IDC_ABOUT_MEMORY);
    ASSERT_TRUE(std::regex_match(memory, m, std::regex("Free memory \\(RAM\\) is ([0-9]+) KB"))) << memory;
    unsigned long long memoryKB = 0;
    EXPECT_TRUE(ParseUnsigned64(m[1], &memoryKB));
    EXPECT_GT(memoryKB, 0u);

    const std::string disk = ItemText(dlg, IDC_ABOUT_DISK);
    ASSERT_TRUE(std::regex_match(disk, m, std::regex("Free disk space  on ([A-Z]): is ([0-9]+) KB"))) << disk;
    const char drive = static_cast<char>('A' + ::_getdrive() - 1);
    EXPECT_EQ(m.str(1), std::string(1, drive));
    unsigned long long diskKB = 0;
    ASSERT_TRUE(ParseUnsigned64(m[2], &diskKB)) << disk;
    // Other programs write to the disk meanwhile: the same order of size is enough.
    const char root[] = {drive, ':', '\\', 0};
    ULARGE_INTEGER toCaller, total, totalFree;
    ASSERT_TRUE(::GetDiskFreeSpaceExA(root, &toCaller, &total, &totalFree));
    const unsigned long long nowKB = toCaller.QuadPart / 1024;
    EXPECT_GE(diskKB, nowKB / 2);
    EXPECT_LE(diskKB, nowKB * 2 + 1024);
}

TEST(AboutBoxLines, NumbersAreNotCutTo32Bits)
{
    const CString memoryFormat = LoadText(IDS_FREE_MEMORY).c_str();
    const CString diskFormat = LoadText(IDS_FREE_DISK).c_str();
    ASSERT_STREQ(diskFormat, "Free disk space  on %c: is %lu KB");
    struct Case {
        unsigned long long kb;
        const char* digits;
    } const cases[] = {
        {0, "0"},
        {4194303, "4194303"},          // just under 4 GB
        {4294967295ull, "4294967295"}, // the last value of 32 bits
        {4294967296ull, "4294967296"}, // 4 TB: one more than 32 bits
        {7813420000ull, "7813420000"}, // a disk of today
        {18446744073709551615ull, "18446744073709551615"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        EXPECT_STREQ(CAboutDlg::FormatDiskLine(diskFormat, 'D', c.kb),
                     (std::string("Free disk space  on D: is ") + c.digits + " KB").c_str());
        EXPECT_STREQ(CAboutDlg::FormatMemoryLine(memoryFormat, c.kb),
                     (std::string("Free memory (RAM) is ") + c.digits + " KB").c_str());
    }
}

// The background: the client area painted from the first shared colour at
// the left to the second at the right, nothing left unpainted.
TEST_F(AboutBox, BackgroundIsTheSharedGradient)
{
    const COLORREF saved1 = CWMOptions::Color1, saved2 = CWMOptions::Color2;
    CWMOptions::Color1 = RGB(20, 200, 40);
    CWMOptions::Color2 = RGB(230, 30, 160);

    CRect client;
    dlg.GetClientRect(&client);
    ASSERT_GT(client.Width(), 128);
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.Width(), client.Height());
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    const COLORREF sentinel = RGB(1, 2, 3);
    HBRUSH fill = ::CreateSolidBrush(sentinel);
    ::FillRect(mem, &client, fill);
    ::DeleteObject(fill);

    EXPECT_NE(dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem)), 0);

    int unpainted = 0;
    for (int y = 0; y < client.Height(); y += 7)
        for (int x = 0; x < client.Width(); ++x)
            unpainted += ::GetPixel(mem, x, y) == sentinel;
    EXPECT_EQ(unpainted, 0);

    auto similar = [](COLORREF got, COLORREF want) {
        const int tolerance = 12;
        return std::abs(GetRValue(got) - GetRValue(want)) <= tolerance &&
               std::abs(GetGValue(got) - GetGValue(want)) <= tolerance &&
               std::abs(GetBValue(got) - GetBValue(want)) <= tolerance;
    };
    for (int y : {0, client.Height() / 2, client.Height() - 1}) {
        SCOPED_TRACE(y);
        COLORREF left = ::GetPixel(mem, 0, y), right = ::GetPixel(mem, client.Width() - 1, y);
        EXPECT_TRUE(similar(left, CWMOptions::Color1)) << std::hex << left;
        EXPECT_TRUE(similar(right, CWMOptions::Color2)) << std::hex << right;
        // Horizontal only: the same colour all the way down a column.
        EXPECT_EQ(::GetPixel(mem, client.Width() / 2, y), ::GetPixel(mem, client.Width() / 2, 0));
    }

    ::SelectObject(mem, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(mem);
    CWMOptions::Color1 = saved1;
    CWMOptions::Color2 = saved2;
}

// Run modally, as the About command does, and closed with its OK button.
class AutoClosingAboutDlg : public CAboutDlg {
protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CAboutDlg::OnInitDialog();
        version = ItemText(*this, IDC_ABOUT_VERSION);
        PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                    reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDOK)));
        return result;
    }

public:
    std::string version;
};

TEST(AboutBoxModal, RunsUntilOk)
{
    AutoClosingAboutDlg dlg;
    testsupport::ModalWatchdog watchdog("the about box to close on its OK button");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.version, "Version 3.0 (Build 129)");
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

}  // namespace
