// The program's resource script as the executable carries it: the main
// frame's toolbar and the texts that share blocks of the string table.
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

const WORD kToolbarType = 241;

TEST(ProgramResources, ToolbarRecordListsTheButtons)
{
    HMODULE self = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(self, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(kToolbarType));
    ASSERT_NE(found, nullptr);
    const DWORD size = ::SizeofResource(self, found);
    ASSERT_EQ(size % sizeof(WORD), 0u);
    const WORD* words = static_cast<const WORD*>(::LockResource(::LoadResource(self, found)));
    ASSERT_NE(words, nullptr);
    std::vector<WORD> got(words, words + size / sizeof(WORD));
    const WORD kActivate = 32771;  // the engine's log-on command
    const std::vector<WORD> want = {1, 16, 15, 5, kActivate, 0, ID_OPTIONS, ID_PREVIOUS_LOG, ID_APP_ABOUT};
    EXPECT_EQ(got, want);
    EXPECT_EQ(want[4], 32771);
    EXPECT_EQ(want[8], 57664);
}

TEST(ProgramResources, PicturesAndSettingsDialogsAreThere)
{
    HMODULE self = ::GetModuleHandleA(nullptr);
    // Bitmaps by id and size: the tip's bulb, the menus' side strip, the file
    // dialog's open and save glyphs and its strip of five place icons.
    struct Picture {
        UINT id;
        int width, height;
    } pictures[] = {{102, 48, 48}, {131, 24, 256}, {132, 16, 16}, {133, 16, 16}, {151, 5 * 32, 32}};
    for (const Picture& p : pictures) {
        HBITMAP bmp = ::LoadBitmapA(self, MAKEINTRESOURCEA(p.id));
        ASSERT_NE(bmp, nullptr) << p.id;
        BITMAP bm = {};
        ::GetObjectA(bmp, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, p.width) << p.id;
        EXPECT_EQ(bm.bmHeight, p.height) << p.id;
        ::DeleteObject(bmp);
    }
    // The settings pages, their dialogs, the login dialog and the file dialog's child.
    for (UINT id : {129u, 131u, 132u, 133u, 134u, 136u, 137u, 138u, 152u, 153u, 154u, 158u, 159u, 160u, 170u, 171u,
                    184u, 191u})
        EXPECT_NE(::FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */), nullptr) << id;
}

TEST(ProgramResources, ToolbarStripHasOneGlyphPerButtonOnTheButtonFace)
{
    HBITMAP strip = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(strip, nullptr);
    BITMAP bm = {};
    ASSERT_NE(::GetObjectA(strip, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 4 * 16);  // the four buttons; the separator has no glyph
    EXPECT_EQ(bm.bmHeight, 15);

    // The corners are the button face, the colour toolbars map to the system's own.
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, strip);
    for (int glyph = 0; glyph < 4; ++glyph) {
        SCOPED_TRACE(glyph);
        EXPECT_EQ(::GetPixel(dc, glyph * 16, 0), RGB(192, 192, 192));
        EXPECT_EQ(::GetPixel(dc, glyph * 16 + 15, 14), RGB(192, 192, 192));
        // and each glyph draws something
        int ink = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 16; ++x)
                ink += ::GetPixel(dc, glyph * 16 + x, y) != RGB(192, 192, 192);
        EXPECT_GT(ink, 20);
    }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(strip);
}

// Texts from the about box's own script sit in the same blocks of sixteen
// as texts of the program's script; both must survive the merge.
TEST(ProgramResources, AboutBoxTextsJoinTheProgramsStringTable)
{
    struct Case {
        UINT id;
        const char* text;
    } const cases[] = {
        {IDS_TIP_MENU, "Ti&p of the Day..."},
        {IDS_HELP_MENU, "&Help"},
        {IDS_FREE_MEMORY, "Free memory (RAM) is %lu KB"},
        {IDS_FREE_DISK, "Free disk space  on %c: is %lu KB"},
        {IDS_UNAVAILABLE, "Unavailable"},
        {IDS_VERSION_NUMBER, "3.0"},
        {IDS_BUILD_NUMBER, "129"},
        {IDS_VERSION_FORMAT, "Version %s (Build %s)"},
        {IDS_LOGON_EXCEPTION,
         "Error loging on to email program's MAPI server.  Is there a MAPI compliant program installed? Visit "
         "our website and choose Troubleshooting."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        char text[512] = {};
        ::LoadStringA(::GetModuleHandleA(nullptr), c.id, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
    EXPECT_NE(::FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_ABOUTBOX), MAKEINTRESOURCEA(5)), nullptr);
}

// The desktop toolbar's local words are texts of the program's script
// (61258 to 61260 are the web site's, which the program links as well).
TEST(ProgramResources, LocalWordsAreInTheStringTable)
{
    struct Case {
        UINT id;
        const char* text;
    } const cases[] = {
        {IDS_LOCAL_CONSOLE, "console"}, {IDS_LOCAL_WINDOW, "window"}, {IDS_LOCAL_OPTION, "option"},
        {IDS_LOCAL_CONFIG, "config"},   {IDS_LOCAL_PROPERT, "propert"}, {IDS_LOCAL_MAPI, "mapi"},
        {IDS_LOCAL_MAIL, "mail"},       {IDS_LOCAL_ACTIV, "activ"},   {IDS_LOCAL_DEACTIV, "deactiv"},
        {IDS_LOCAL_ON, "on"},           {IDS_LOCAL_OFF, "off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        char text[64] = {};
        ::LoadStringA(::GetModuleHandleA(nullptr), c.id, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
}

}  // namespace
