// The settings in a real registry profile (under Wine): defaults from an empty
// profile, and a round trip through the registry.
#include <gtest/gtest.h>

#include <string>

#include "assistant_settings.h"
#include "fx/fxwin.h"
#include "mapi/text_scramble.h"

namespace {

// An application whose profile lives under a company key of its own, removed afterwards.
class TestProfile {
public:
    TestProfile() : m_app("Vindalex Personal Assistant")
    {
        m_company.Format("Ostrel Software Test %lu", GetCurrentProcessId());
        m_app.SetRegistryKey(m_company);
    }
    ~TestProfile() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\" + m_company); }
    std::string Value(const char* name, DWORD* type = nullptr, DWORD* number = nullptr)
    {
        CString key = "Software\\" + m_company + "\\Vindalex Personal Assistant\\Korvaneant1";
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
            return "<no key>";
        BYTE data[1024] = {};
        DWORD size = sizeof data - 1, t = 0;
        LONG rc = RegQueryValueExA(h, name, nullptr, &t, data, &size);
        RegCloseKey(h);
        if (rc != ERROR_SUCCESS)
            return "<none>";
        if (type)
            *type = t;
        if (number && t == REG_DWORD)
            *number = *reinterpret_cast<DWORD*>(data);
        return t == REG_SZ ? std::string(reinterpret_cast<char*>(data)) : std::string("<number>");
    }

private:
    CWinApp m_app;
    CString m_company;
};

} // namespace

TEST(SettingsRegistry, EmptyProfileGivesTheDefaults)
{
    TestProfile profile;
    CAssistantSettings s;
    s.Load();
    EXPECT_EQ(60, s.GetRefreshRate());
    EXPECT_EQ(1, s.GetCheckFIFO());
    EXPECT_EQ(100, s.GetShortMessageLength());
    EXPECT_EQ(80, s.GetWPort());
    EXPECT_EQ(1, s.GetCreateAppBar());
    EXPECT_EQ(1, s.GetAlwaysOnTopAppBar());
    EXPECT_EQ(1, s.GetCheckMAPI());
    EXPECT_EQ(0x0000CCu, s.GetWebColor(2));
    EXPECT_EQ(0, s.GetHotKeyShift());
    EXPECT_EQ(1, s.GetHotKeyCtrl());
    EXPECT_EQ(1, s.GetHotKeyAlt());
    EXPECT_EQ('e', s.GetHotKeyChar());
    EXPECT_EQ(CTime(1999, 1, 1, 0, 0, 0), s.GetTimeStart());
    EXPECT_EQ(CTime(1999, 1, 1, 0, 0, 0), s.GetTimeEnd());
    EXPECT_EQ(CString(""), s.GetMyName());
    EXPECT_EQ(0, s.GetNumOKAddresses());
    EXPECT_EQ("<no key>", profile.Value("kVRefreshRate")) << "loading writes nothing";
}

TEST(SettingsRegistry, RoundTripThroughTheRegistry)
{
    TestProfile profile;
    CAssistantSettings s;
    s.Load();
    s.SetRWO(1);
    s.SetMyName("Bob");
    CString unm("mail profile"), upm("p@ss word");
    ZLMScrambleText(unm, kScrambleKeyMailProfile);
    ZLMScrambleText(upm, kScrambleKeyMailPassword);
    s.SetUNM(unm);
    s.SetUPM(upm);
    s.SetRefreshRate(25);
    s.SetCheckFIFO(0);
    s.SetShortMessageLength(160);
    s.AddOKAddress("*@example.org");
    s.AddOKAddress("boss@work.example");
    s.AddShortAddress("phone@sms.example");
    s.AddForwardAddress("*@list.example", "me@home.example");
    s.SetHotKeyShift(1);
    s.SetHotKeyChar('v');
    s.SetTimeStart(CTime(1999, 1, 1, 8, 0, 0));
    s.SetTimeEnd(CTime(1999, 1, 1, 18, 30, 15));
    s.SetUseWWWServer(1);
    s.SetWPort(8080);
    s.SetWAN("admin");
    s.SetWebColor(4, 0x123456);
    s.SetEmailProtocolPrefix("mailto:");
    s.SetInstDir("C:\\Program Files\\Vindalex");
    s.SetCheckWeb4Update(1700000000);
    s.Save();

    DWORD type = 0, number = 0;
    EXPECT_EQ("<number>", profile.Value("kVRefreshRate", &type, &number));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(25u, number);
    EXPECT_EQ("SCAv", profile.Value("kVDTToolbarHotKey"));
    EXPECT_EQ("08 00 00 18 30 15", profile.Value("kVTimeKey"));
    EXPECT_EQ(std::string(static_cast<LPCSTR>(unm)), profile.Value("kVUNM"));
    std::string stored = profile.Value("kVOKAddresses1");
    EXPECT_EQ(std::string("boss@work.example").size() * 3, stored.size());
    EXPECT_EQ("<none>", profile.Value("kVEnDevDictionary"));

    CAssistantSettings t;
    t.Load();
    EXPECT_EQ(1, t.GetRWO());
    EXPECT_EQ(CString("BOB"), t.GetMyNameUpper());
    EXPECT_EQ(unm, t.GetUNM());
    EXPECT_EQ(upm, t.GetUPM());
    EXPECT_EQ(25, t.GetRefreshRate());
    EXPECT_EQ(0, t.GetCheckFIFO());
    EXPECT_EQ(160, t.GetShortMessageLength());
    ASSERT_EQ(2, t.GetNumOKAddresses());
    EXPECT_EQ(CString("*@example.org"), t.GetOKAddress(0));
    EXPECT_EQ(CString("boss@work.example"), t.GetOKAddress(1));
    EXPECT_EQ(CString("phone@sms.example"), t.GetShortAddress(0));
    EXPECT_EQ(CString("me@home.example"), t.GetForwardToAddress(0));
    EXPECT_EQ(1, t.GetHotKeyShift());
    EXPECT_EQ('v', t.GetHotKeyChar());
    EXPECT_EQ(CTime(1999, 1, 1, 18, 30, 15), t.GetTimeEnd());
    EXPECT_EQ(1, t.GetUseWWWServer());
    EXPECT_EQ(8080, t.GetWPort());
    EXPECT_EQ(CString("admin"), t.GetWAN());
    EXPECT_EQ(0x123456u, t.GetWebColor(4));
    EXPECT_EQ(CString("mailto:"), t.GetEmailProtocolPrefix());
    EXPECT_EQ(CString("C:\\Program Files\\Vindalex"), t.GetInstDir());
    EXPECT_EQ(1700000000, t.GetCheckWeb4Update());

    // Saved again unchanged: the same stored lists.
    t.Save();
    CAssistantSettings u;
    u.Load();
    EXPECT_EQ(CString("boss@work.example"), u.GetOKAddress(1));
}
