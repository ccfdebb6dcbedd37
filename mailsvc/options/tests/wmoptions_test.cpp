// Shared appearance options: stored colour texts, defaults, registry round trip.
#include "options/wmoptions.h"

#include <gtest/gtest.h>

#include <string>

// Lets the tests start from "never loaded" however many instances the library holds.
struct CWMOptionsTestAccess {
    static void Reset()
    {
        CWMOptions o;
        o.DisconnectFromRegistry();
        CWMOptions::m_bInited = FALSE;
    }
    static void SetKeyName(const char* name) { CWMOptions::s_pszKeyName = name; }
    static BOOL Inited() { return CWMOptions::m_bInited; }
};

namespace {

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

TEST(CWMOptions, ColorTexts)
{
    const COLORREF def = RGB(1, 2, 3);
    struct Case {
        const char* text;
        COLORREF expect;
    } cases[] = {
        {"128 128 255", RGB(128, 128, 255)},
        {"10 20 300", RGB(10, 20, 44)},
        {"0 0 0", RGB(0, 0, 0)},
        {"  7   8\t9 trailing", RGB(7, 8, 9)},
        {"-1 256 511", RGB(255, 0, 255)},
        {"99999999999999999999 5 5", RGB(255, 5, 5)},
        {"40 50", RGB(40, 50, 3)},  // missing numbers keep the default's
        {"", def},
        {"red", def},
    };
    for (const Case& c : cases) EXPECT_EQ(CWMOptions::ParseColorText(c.text, def), c.expect) << c.text;
    EXPECT_EQ(S(CWMOptions::FormatColorText(RGB(10, 20, 44))), "10 20 44");
    EXPECT_EQ(CWMOptions::ParseColorText(CWMOptions::FormatColorText(RGB(200, 0, 17)), 0), RGB(200, 0, 17));
}

TEST(CWMOptions, SaveBeforeInitOnlyCounts)
{
    CWMOptionsTestAccess::Reset();
#ifdef _WIN32
    // Other tests of the run may have left the key; start without it.
    RegDeleteTreeA(HKEY_CURRENT_USER, "Korvaneant1");
#endif
    CWMOptions o;
    int before = CWMOptions::m_nUpDateCount;
    o.Save();
    o.Save();
    EXPECT_EQ(CWMOptions::m_nUpDateCount, before + 2);
#ifdef _WIN32
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_READ, &key), ERROR_SUCCESS)
        << "nothing may be written before Init";
#endif
}

#ifndef _WIN32
TEST(CWMOptions, WithoutRegistryTheDefaultsApply)
{
    CWMOptionsTestAccess::Reset();
    CWMOptions o;
    o.Init();
    EXPECT_EQ(CWMOptions::Color1, RGB(128, 128, 128));
    EXPECT_EQ(CWMOptions::Color2, RGB(128, 128, 255));
    EXPECT_EQ(CWMOptions::ColorText3, RGB(255, 64, 64));
    EXPECT_EQ(CWMOptions::m_bShowAnim, 1);
}
#endif

#ifdef _WIN32

const char* const kValues[] = {"WM-CLR-1", "WM-CLR-2", "WM-CLR-3", "WM-CLRT-1", "WM-CLRT-2", "WM-CLRT-3",
                               "WM-MUB", "WM-OPNANUM"};

class CWMOptionsRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Korvaneant1");
        CWMOptionsTestAccess::SetKeyName("Korvaneant1");
        CWMOptionsTestAccess::Reset();
        CWMOptions::Color1 = CWMOptions::Color2 = CWMOptions::Color3 = 0;
        CWMOptions::ColorText1 = CWMOptions::ColorText2 = CWMOptions::ColorText3 = 0;
        CWMOptions::m_bMainUseBackground2 = CWMOptions::m_bShowAnim = 0;
    }
    void TearDown() override
    {
        CWMOptionsTestAccess::SetKeyName("Korvaneant1");
        CWMOptionsTestAccess::Reset();
        RegDeleteKeyA(HKEY_CURRENT_USER, "Korvaneant1");
    }
    static std::string readText(HKEY root, const char* sub, const char* name, DWORD* type = nullptr)
    {
        char buf[512] = {0};
        DWORD size = sizeof(buf), t = 0;
        if (RegGetValueA(root, sub, name, RRF_RT_ANY, &t, buf, &size) != ERROR_SUCCESS) return "<none>";
        if (type) *type = t;
        return t == REG_SZ ? std::string(buf) : std::string("<binary>");
    }
    static DWORD readDword(const char* name)
    {
        DWORD v = 0xDEAD, size = sizeof(v);
        RegGetValueA(HKEY_CURRENT_USER, "Korvaneant1", name, RRF_RT_REG_DWORD, nullptr, &v, &size);
        return v;
    }
    static void writeText(const char* name, const std::string& text)
    {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Korvaneant1", name, REG_SZ, text.c_str(),
                                  static_cast<DWORD>(text.size() + 1)), ERROR_SUCCESS);
    }
    static void writeDword(const char* name, DWORD v)
    {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Korvaneant1", name, REG_DWORD, &v, sizeof(v)), ERROR_SUCCESS);
    }
};

TEST_F(CWMOptionsRegistry, EmptyRegistryGivesDefaultsAndSaveWritesEverything)
{
    CWMOptions o;
    o.Init();
    EXPECT_EQ(CWMOptions::Color1, RGB(128, 128, 128));
    EXPECT_EQ(CWMOptions::Color2, RGB(128, 128, 255));
    EXPECT_EQ(CWMOptions::Color3, RGB(255, 255, 255));
    EXPECT_EQ(CWMOptions::ColorText1, RGB(255, 255, 255));
    EXPECT_EQ(CWMOptions::ColorText2, RGB(192, 192, 192));
    EXPECT_EQ(CWMOptions::ColorText3, RGB(255, 64, 64));
    EXPECT_EQ(CWMOptions::m_bMainUseBackground2, 1);
    EXPECT_EQ(CWMOptions::m_bShowAnim, 1);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);

    o.Save();
    const char* texts[] = {"128 128 128", "128 128 255", "255 255 255", "255 255 255", "192 192 192", "255 64 64"};
    for (int i = 0; i < 6; ++i) {
        DWORD type = 0;
        EXPECT_EQ(readText(HKEY_CURRENT_USER, "Korvaneant1", kValues[i], &type), texts[i]) << kValues[i];
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    }
    EXPECT_EQ(readDword("WM-MUB"), 1u);
    EXPECT_EQ(readDword("WM-OPNANUM"), 1u);
}

TEST_F(CWMOptionsRegistry, StoredValuesLoadAndBadOnesFallBack)
{
    writeText("WM-CLR-1", "10 20 300");
    writeText("WM-CLR-2", "1 2");
    writeDword("WM-CLR-3", 5);                      // wrong type
    writeText("WM-CLRT-1", std::string(300, '7'));  // too long for a colour text
    writeText("WM-CLRT-2", "junk");
    writeDword("WM-MUB", 0);
    writeText("WM-OPNANUM", "0");                   // wrong type
    CWMOptions o;
    o.Init();
    EXPECT_EQ(CWMOptions::Color1, RGB(10, 20, 44));
    EXPECT_EQ(CWMOptions::Color2, RGB(1, 2, 255));
    EXPECT_EQ(CWMOptions::Color3, RGB(255, 255, 255));
    EXPECT_EQ(CWMOptions::ColorText1, RGB(255, 255, 255));
    EXPECT_EQ(CWMOptions::ColorText2, RGB(192, 192, 192));
    EXPECT_EQ(CWMOptions::ColorText3, RGB(255, 64, 64));
    EXPECT_EQ(CWMOptions::m_bMainUseBackground2, 0);
    EXPECT_EQ(CWMOptions::m_bShowAnim, 1);
}

TEST_F(CWMOptionsRegistry, RoundTripAndLoadOncePerProcess)
{
    {
        CWMOptions o;
        o.Init();
        CWMOptions::Color1 = RGB(1, 2, 3);
        CWMOptions::Color2 = RGB(4, 5, 6);
        CWMOptions::Color3 = RGB(7, 8, 9);
        CWMOptions::ColorText1 = RGB(10, 11, 12);
        CWMOptions::ColorText2 = RGB(13, 14, 15);
        CWMOptions::ColorText3 = RGB(250, 251, 252);
        CWMOptions::m_bMainUseBackground2 = 0;
        CWMOptions::m_bShowAnim = 0;
        int count = CWMOptions::m_nUpDateCount;
        o.Save();
        EXPECT_EQ(CWMOptions::m_nUpDateCount, count + 1);
        EXPECT_EQ(readText(HKEY_CURRENT_USER, "Korvaneant1", "WM-CLRT-3"), "250 251 252");

        // Loaded already: a change in the registry is not seen by a second Init.
        writeText("WM-CLR-1", "99 99 99");
        CWMOptions other;
        other.Init();
        EXPECT_EQ(CWMOptions::Color1, RGB(1, 2, 3));
    }
    CWMOptionsTestAccess::Reset();
    CWMOptions::Color2 = CWMOptions::ColorText3 = 0;
    CWMOptions::m_bShowAnim = 1;
    CWMOptions again;
    again.Init();
    EXPECT_EQ(CWMOptions::Color1, RGB(99, 99, 99));
    EXPECT_EQ(CWMOptions::Color2, RGB(4, 5, 6));
    EXPECT_EQ(CWMOptions::ColorText3, RGB(250, 251, 252));
    EXPECT_EQ(CWMOptions::m_bMainUseBackground2, 0);
    EXPECT_EQ(CWMOptions::m_bShowAnim, 0);
}

TEST_F(CWMOptionsRegistry, SaveWithoutItsKeyWritesNothing)
{
    // A key name the registry refuses: the connection is made, the key is not.
    std::string refused = std::string(300, 'k');
    HKEY probe;
    ASSERT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, refused.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &probe,
                              nullptr), ERROR_SUCCESS);
    CWMOptionsTestAccess::SetKeyName(refused.c_str());
    for (const char* v : kValues) RegDeleteValueA(HKEY_CURRENT_USER, v);

    CWMOptions o;
    o.Init();
    EXPECT_EQ(CWMOptions::Color1, RGB(128, 128, 128));
    EXPECT_EQ(CWMOptions::ColorText3, RGB(255, 64, 64));
    CWMOptions::Color1 = RGB(1, 1, 1);
    int count = CWMOptions::m_nUpDateCount;
    o.Save();
    EXPECT_EQ(CWMOptions::m_nUpDateCount, count + 1);
    for (const char* v : kValues)
        EXPECT_EQ(readText(HKEY_CURRENT_USER, nullptr, v), "<none>") << v << " written into the root";
    CWMOptionsTestAccess::SetKeyName("Korvaneant1");
}

#endif

} // namespace

#ifdef _WIN32
#include "fx/fxwin.h"

// The shared background runs from the first colour at the left to the second
// at the right, whatever the main window's own choice.
TEST(WMOptionsPaint, WindowBackgroundRunsFromColor1ToColor2)
{
    const COLORREF saved1 = CWMOptions::Color1, saved2 = CWMOptions::Color2;
    const int savedUse2 = CWMOptions::m_bMainUseBackground2;
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "background", WS_POPUP | WS_VISIBLE, 0, 0, 200, 60, nullptr,
                             nullptr));
    for (int use2 : {0, 1}) {
        CWMOptions::Color1 = RGB(255, 0, 0);
        CWMOptions::Color2 = RGB(0, 0, 255);
        CWMOptions::m_bMainUseBackground2 = use2;
        CWMOptions::PaintWindowBackground(&wnd);
        HDC dc = ::GetDC(wnd.m_hWnd);
        const COLORREF left = ::GetPixel(dc, 2, 30), right = ::GetPixel(dc, 197, 30);
        ::ReleaseDC(wnd.m_hWnd, dc);
        EXPECT_GT(GetRValue(left), 200) << "use background 2: " << use2;
        EXPECT_LT(GetBValue(left), 60);
        EXPECT_GT(GetBValue(right), 200);
        EXPECT_LT(GetRValue(right), 60);
    }
    wnd.DestroyWindow();
    CWMOptions::Color1 = saved1;
    CWMOptions::Color2 = saved2;
    CWMOptions::m_bMainUseBackground2 = savedUse2;
}
#endif
