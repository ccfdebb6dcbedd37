// Loading and saving the settings through a store that remembers every write.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "assistant_settings.h"
#include "mapi/text_scramble.h"

namespace {

class MemoryStore : public CSettingsStore {
public:
    int GetInt(LPCTSTR entry, int defaultValue) override
    {
        auto it = ints.find(entry);
        return it == ints.end() ? defaultValue : it->second;
    }
    CString GetString(LPCTSTR entry, LPCTSTR defaultValue) override
    {
        auto it = strings.find(entry);
        return it == strings.end() ? CString(defaultValue) : CString(it->second.c_str());
    }
    void WriteInt(LPCTSTR entry, int value) override
    {
        ints[entry] = value;
        order.push_back(entry);
    }
    void WriteString(LPCTSTR entry, LPCTSTR value) override
    {
        strings[entry] = value;
        order.push_back(entry);
    }
    std::string Plain(const std::string& entry, int key)
    {
        CString text(strings[entry].c_str());
        ZLMUnscrambleText(text, key);
        return static_cast<LPCSTR>(text);
    }
    void PutScrambled(const std::string& entry, const char* plain, int key)
    {
        CString text(plain);
        ZLMScrambleText(text, key);
        strings[entry] = static_cast<LPCSTR>(text);
    }

    std::map<std::string, int> ints;
    std::map<std::string, std::string> strings;
    std::vector<std::string> order;
};

CTime OnDay(int h, int m, int s)
{
    return CTime(1999, 1, 1, h, m, s);
}

} // namespace

TEST(AssistantSettings, BuiltEmptyThenDefaultsFromAnEmptyStore)
{
    CAssistantSettings s;
    EXPECT_EQ(0, s.GetRefreshRate());
    EXPECT_EQ(0, s.GetNumOKAddresses());

    MemoryStore empty;
    s.Load(empty);
    EXPECT_EQ(0, s.GetRWO());
    EXPECT_EQ(CString(""), s.GetUPM());
    EXPECT_EQ(CString(""), s.GetUNM());
    EXPECT_EQ(CString(""), s.GetMyName());
    EXPECT_EQ(CString(""), s.GetPPM());
    EXPECT_EQ(100, s.GetShortMessageLength());
    EXPECT_EQ(60, s.GetRefreshRate());
    EXPECT_EQ(1, s.GetCheckFIFO());
    EXPECT_EQ(0, s.GetAutoLogin());
    EXPECT_EQ(0, s.GetStartMin());
    EXPECT_EQ(0, s.GetAutoHideAppBar());
    EXPECT_EQ(1, s.GetAlwaysOnTopAppBar());
    EXPECT_EQ(1, s.GetCreateAppBar());
    EXPECT_EQ(0, s.GetNoShapeAppBar());
    EXPECT_EQ(1, s.GetCheckMAPI());
    EXPECT_EQ(OnDay(0, 0, 0), s.GetTimeStart());
    EXPECT_EQ(OnDay(0, 0, 0), s.GetTimeEnd());
    EXPECT_EQ(0, s.GetNoUpdates());
    EXPECT_EQ(0, s.GetEnDevDictionary());
    EXPECT_EQ(0, s.GetCheckWeb4Update());
    EXPECT_EQ(0, s.GetUseWWWServer());
    EXPECT_EQ(80, s.GetWPort());
    EXPECT_EQ(0, s.GetHotKeyShift());
    EXPECT_EQ(1, s.GetHotKeyCtrl());
    EXPECT_EQ(1, s.GetHotKeyAlt());
    EXPECT_EQ('e', s.GetHotKeyChar());
    const COLORREF colors[5] = {0xFFFFFF, 0x000000, 0x0000CC, 0x551A8B, 0xFF0000};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(colors[i], s.GetWebColor(i)) << i;
    EXPECT_EQ(0u, s.GetWebColor(5));
    EXPECT_EQ(0, s.GetNumOKAddresses());
    EXPECT_EQ(0, s.GetNumShortAddresses());
    EXPECT_EQ(0, s.GetNumForwardAddresses());
    EXPECT_EQ(CString(""), s.GetOKAddress(0));
}

TEST(AssistantSettings, HotKeyTexts)
{
    struct Case {
        const char* stored;
        int shift, ctrl, alt;
        char key;
    };
    const Case cases[] = {
        {"sCAe", 0, 1, 1, 'e'}, {"SCae", 1, 1, 0, 'e'}, {"scaX", 0, 0, 0, 'X'},
        {"xyz1", 1, 1, 1, '1'}, {"sCA", 0, 1, 1, 'e'},  {"SCAee", 0, 1, 1, 'e'},
        {"", 0, 1, 1, 'e'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        MemoryStore store;
        store.strings["kVDTToolbarHotKey"] = c.stored;
        CAssistantSettings s;
        s.Load(store);
        EXPECT_EQ(c.shift, s.GetHotKeyShift());
        EXPECT_EQ(c.ctrl, s.GetHotKeyCtrl());
        EXPECT_EQ(c.alt, s.GetHotKeyAlt());
        EXPECT_EQ(c.key, s.GetHotKeyChar());
    }
    CAssistantSettings s;
    MemoryStore store;
    s.Load(store);
    s.SetHotKeyShift(1);
    s.SetHotKeyAlt(0);
    s.SetHotKeyChar('k');
    s.Save(store);
    EXPECT_EQ("SCak", store.strings["kVDTToolbarHotKey"]);
}

TEST(AssistantSettings, ListsKeepTheirOrderAcrossLoadAndSave)
{
    MemoryStore store;
    store.ints["kVNumAddresses"] = 3;
    store.PutScrambled("kVOKAddresses0", "X", kScrambleKeyAddressList);
    store.PutScrambled("kVOKAddresses1", "Y", kScrambleKeyAddressList);
    store.PutScrambled("kVOKAddresses2", "Z", kScrambleKeyAddressList);
    store.ints["kVNumForwardAddresses"] = 2;
    store.PutScrambled("kVForwardFromAddresses0", "*@a.org", kScrambleKeyForwardPattern);
    store.PutScrambled("kVForwardToAddresses0", "me@b.org", kScrambleKeyMailProfile);
    store.PutScrambled("kVForwardFromAddresses1", "*@c.org", kScrambleKeyForwardPattern);
    store.PutScrambled("kVForwardToAddresses1", "you@d.org", kScrambleKeyMailProfile);

    CAssistantSettings s;
    s.Load(store);
    ASSERT_EQ(3, s.GetNumOKAddresses());
    EXPECT_EQ(CString("X"), s.GetOKAddress(0));
    EXPECT_EQ(CString("Z"), s.GetOKAddress(2));
    ASSERT_EQ(2, s.GetNumForwardAddresses());
    EXPECT_EQ(CString("*@c.org"), s.GetForwardFromAddress(1));
    EXPECT_EQ(CString("you@d.org"), s.GetForwardToAddress(1));

    for (int round = 0; round < 2; ++round) {
        s.Save(store);
        EXPECT_EQ("X", store.Plain("kVOKAddresses0", kScrambleKeyAddressList));
        EXPECT_EQ("Y", store.Plain("kVOKAddresses1", kScrambleKeyAddressList));
        EXPECT_EQ("Z", store.Plain("kVOKAddresses2", kScrambleKeyAddressList));
        EXPECT_EQ("*@a.org", store.Plain("kVForwardFromAddresses0", kScrambleKeyForwardPattern));
        EXPECT_EQ("me@b.org", store.Plain("kVForwardToAddresses0", kScrambleKeyMailProfile));
        CAssistantSettings again;
        again.Load(store);
        EXPECT_EQ(CString("Y"), again.GetOKAddress(1));
        EXPECT_EQ(CString("me@b.org"), again.GetForwardToAddress(0));
        s.Load(store);
    }

    // Clear and append, as the settings sheet does.
    s.ClearOKAddresses();
    s.AddOKAddress("first");
    s.AddShortAddress("short@x.org");
    s.ClearForwardAddresses();
    s.Save(store);
    EXPECT_EQ(1, store.ints["kVNumAddresses"]);
    EXPECT_EQ(1, store.ints["kVNumShortAddresses"]);
    EXPECT_EQ("short@x.org", store.Plain("kVShortAddresses0", kScrambleKeyAddressList));
    EXPECT_EQ(0, store.ints["kVNumForwardAddresses"]);
    s.Load(store);
    EXPECT_EQ(1, s.GetNumOKAddresses());
    EXPECT_EQ(0, s.GetNumForwardAddresses());
}

TEST(AssistantSettings, DamagedStoredValuesStayBounded)
{
    MemoryStore store;
    store.ints["kVNumAddresses"] = 0x7FFFFFFF;
    store.ints["kVNumShortAddresses"] = -5;
    store.ints["kVNumForwardAddresses"] = 0x7FFFFFFF;
    store.strings["kVOKAddresses0"] = "zz 4x BE";  // stray characters still decode
    store.strings["kVTimeKey"] = "99 -1 70 8";
    CAssistantSettings s;
    s.Load(store);
    EXPECT_EQ(10000, s.GetNumOKAddresses());
    EXPECT_EQ(10000, s.GetNumForwardAddresses());
    EXPECT_EQ(0, s.GetNumShortAddresses());
    EXPECT_EQ(OnDay(0, 0, 0), s.GetTimeStart());
    EXPECT_EQ(OnDay(8, 0, 0), s.GetTimeEnd());
}

TEST(AssistantSettings, ActiveHoursAndNameAndHeldTexts)
{
    MemoryStore store;
    store.strings["kVTimeKey"] = "8 30 5 17 45 10";
    store.strings["kVMyName"] = "Bob";
    store.strings["kVUPM"] = "AA BB ";
    store.strings["kVEnDevDictionary"] = "";
    store.ints["kVEnDevDictionary"] = 1;
    CAssistantSettings s;
    s.Load(store);
    EXPECT_EQ(OnDay(8, 30, 5), s.GetTimeStart());
    EXPECT_EQ(OnDay(17, 45, 10), s.GetTimeEnd());
    EXPECT_EQ(CString("Bob"), s.GetMyName());
    EXPECT_EQ(CString("BOB"), s.GetMyNameUpper());
    EXPECT_EQ(CString("AA BB "), s.GetUPM()) << "held scrambled, as stored";
    EXPECT_EQ(1, s.GetEnDevDictionary());

    s.SetMyName("alice Smith");
    EXPECT_EQ(CString("ALICE SMITH"), s.GetMyNameUpper());
    s.SetTimeStart(OnDay(7, 5, 0));
    s.SetUNM("0F ");
    store.order.clear();
    store.strings.erase("kVEnDevDictionary");
    store.ints.erase("kVEnDevDictionary");
    s.Save(store);
    EXPECT_EQ("07 05 00 17 45 10", store.strings["kVTimeKey"]);
    EXPECT_EQ("alice Smith", store.strings["kVMyName"]);
    EXPECT_EQ("0F ", store.strings["kVUNM"]);
    EXPECT_EQ("AA BB ", store.strings["kVUPM"]);
    EXPECT_EQ(0u, store.ints.count("kVEnDevDictionary") + store.strings.count("kVEnDevDictionary"));

    CAssistantSettings t;
    t.Load(store);
    EXPECT_EQ(OnDay(7, 5, 0), t.GetTimeStart());
}

TEST(AssistantSettings, SaveWritesEveryValueInOrder)
{
    CAssistantSettings s;
    MemoryStore empty;
    s.Load(empty);
    s.AddOKAddress("a");
    s.AddOKAddress("b");
    s.AddForwardAddress("p", "t");
    MemoryStore store;
    s.Save(store);
    const std::vector<std::string> expected = {
        "kVRWO", "kVUNM", "kVUPM", "kVPPM", "kVMyName", "kVRefreshRate", "kVCheckFIFO", "kVZipPassword",
        "kVUnZipPassword", "kVNoUpdates", "kVNumAddresses", "kVOKAddresses1", "kVOKAddresses0",
        "kVShortMessageLength", "kVNumShortAddresses", "kVNumForwardAddresses", "kVForwardFromAddresses0",
        "kVForwardToAddresses0", "kVAutoHideAppBar", "kVAlwaysOnTopAppBar", "kVCreateAppBar", "kVNoShapeAppBar",
        "kVCheckMAPI", "kVInstDir", "kVStartMin", "kVAutoLogin", "kVTimeKey", "kVCheckWeb4Update",
        "kVDTToolbarHotKey", "kVUseWWWServer", "kVUseWWWPrivateServer", "kVUseWWWPublicServer", "kVWPN", "kVWPP",
        "kVWAN", "kVWAP", "kVWPort", "kVWSPW", "kVWC1", "kVWC2", "kVWC3", "kVWC4", "kVWC5",
        "kVEmailProtocolPrefix"};
    EXPECT_EQ(expected, store.order);
    EXPECT_EQ("00 00 00 00 00 00", store.strings["kVTimeKey"]);
    EXPECT_EQ(0x551A8B, store.ints["kVWC4"]);
}

TEST(AssistantSettings, ScramblingOfTheSettingsIsTheLogonsOwn)
{
    CAssistantSettings s;
    for (int key : {0, 3, 5, 11}) {
        CString mine("Profile name"), shared("Profile name");
        s.Scramble(mine, key);
        ZLMScrambleText(shared, key);
        EXPECT_EQ(shared, mine);
        s.Unscramble(mine, key);
        EXPECT_EQ(CString("Profile name"), mine);
    }
}
