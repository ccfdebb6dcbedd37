#include "assistant_settings.h"

#include <cstdio>

#include "mapi/text_scramble.h"

CAssistantSettings g_Settings;

namespace {

// A stored count is read from outside the program: never loop on a damaged one.
const int kMaxListEntries = 10000;

const COLORREF kDefaultWebColors[5] = {0xFFFFFF, 0x000000, 0x0000CC, 0x551A8B, 0xFF0000};

CTime TimeOfDay(int hour, int minute, int second)
{
    // Out-of-range parts of a damaged value read as 0.
    if (hour < 0 || hour > 23)
        hour = 0;
    if (minute < 0 || minute > 59)
        minute = 0;
    if (second < 0 || second > 59)
        second = 0;
    return CTime(1999, 1, 1, hour, minute, second, -1);
}

CString Entry(LPCTSTR baseName, int index)
{
    CString entry;
    entry.Format("%s%d", baseName, index);
    return entry;
}

} // namespace

CAssistantSettings::CAssistantSettings()
    : m_nRWO(0), m_nShortMessageLength(0), m_nHotKeyShift(0), m_nHotKeyCtrl(0), m_nHotKeyAlt(0), m_chHotKey(0),
      m_nRefreshRate(0), m_nCheckFIFO(0), m_nAutoLogin(0), m_nStartMin(0), m_nAutoHideAppBar(0),
      m_nAlwaysOnTopAppBar(0), m_nCreateAppBar(0), m_nNoShapeAppBar(0), m_nCheckMAPI(0), m_nNoUpdates(0),
      m_nEnDevDictionary(0), m_nCheckWeb4Update(0), m_nUseWWWServer(0), m_nUseWWWPrivateServer(0),
      m_nUseWWWPublicServer(0), m_nWPort(0), m_WebColors{}
{
}

void CAssistantSettings::Scramble(CString& text, int key)
{
    ZLMScrambleText(text, key);
}

void CAssistantSettings::Unscramble(CString& text, int key)
{
    ZLMUnscrambleText(text, key);
}

void CAssistantSettings::SetMyName(CString name)
{
    m_strMyName = name;
    m_strMyNameUpper = name;
    m_strMyNameUpper.MakeUpper();
}

void CAssistantSettings::ClearForwardAddresses()
{
    m_ForwardFrom.clear();
    m_ForwardTo.clear();
}

void CAssistantSettings::AddForwardAddress(CString pattern, CString target)
{
    m_ForwardFrom.push_back(pattern);
    m_ForwardTo.push_back(target);
}

void CAssistantSettings::SetHotKey(const CString& text)
{
    CString value = text.GetLength() == 4 ? text : CString("sCAe");
    m_nHotKeyShift = value[0] != 's';
    m_nHotKeyCtrl = value[1] != 'c';
    m_nHotKeyAlt = value[2] != 'a';
    m_chHotKey = value[3];
}

CString CAssistantSettings::HotKeyText() const
{
    CString text;
    text += m_nHotKeyShift ? 'S' : 's';
    text += m_nHotKeyCtrl ? 'C' : 'c';
    text += m_nHotKeyAlt ? 'A' : 'a';
    text += m_chHotKey;
    return text;
}

void CAssistantSettings::LoadList(CSettingsStore& store, LPCTSTR countEntry, LPCTSTR baseName, int key,
                                  std::vector<CString>& list)
{
    list.clear();
    int count = store.GetInt(countEntry, 0);
    if (count > kMaxListEntries)
        count = kMaxListEntries;
    // Index order, so a list saved and loaded again keeps its order.
    for (int i = 0; i < count; ++i) {
        CString value = store.GetString(Entry(baseName, i), "");
        Unscramble(value, key);
        list.push_back(value);
    }
}

void CAssistantSettings::SaveList(CSettingsStore& store, LPCTSTR countEntry, LPCTSTR baseName, int key,
                                  const std::vector<CString>& list)
{
    store.WriteInt(countEntry, static_cast<int>(list.size()));
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
        CString value = list[i];
        Scramble(value, key);
        store.WriteString(Entry(baseName, i), value);
    }
}

void CAssistantSettings::Load(CSettingsStore& store)
{
    m_nRWO = store.GetInt("kVRWO", 0);
    m_strUPM = store.GetString("kVUPM", "");
    m_strUNM = store.GetString("kVUNM", "");
    SetMyName(store.GetString("kVMyName", ""));
    m_strPPM = store.GetString("kVPPM", "");
    m_strZipPassword = store.GetString("kVZipPassword", "");
    m_strUnZipPassword = store.GetString("kVUnZipPassword", "");
    LoadList(store, "kVNumAddresses", "kVOKAddresses", kScrambleKeyAddressList, m_OKAddresses);
    m_strInstDir = store.GetString("kVInstDir", "");
    m_nShortMessageLength = store.GetInt("kVShortMessageLength", 100);
    LoadList(store, "kVNumShortAddresses", "kVShortAddresses", kScrambleKeyAddressList, m_ShortAddresses);

    m_ForwardFrom.clear();
    m_ForwardTo.clear();
    int forwards = store.GetInt("kVNumForwardAddresses", 0);
    if (forwards > kMaxListEntries)
        forwards = kMaxListEntries;
    for (int i = 0; i < forwards; ++i) {
        CString pattern = store.GetString(Entry("kVForwardFromAddresses", i), "");
        Unscramble(pattern, kScrambleKeyForwardPattern);
        CString target = store.GetString(Entry("kVForwardToAddresses", i), "");
        Unscramble(target, kScrambleKeyMailProfile);
        AddForwardAddress(pattern, target);
    }

    SetHotKey(store.GetString("kVDTToolbarHotKey", "sCAe"));
    m_nRefreshRate = store.GetInt("kVRefreshRate", 60);
    m_nCheckFIFO = store.GetInt("kVCheckFIFO", 1);
    m_nAutoLogin = store.GetInt("kVAutoLogin", 0);
    m_nStartMin = store.GetInt("kVStartMin", 0);
    m_nAutoHideAppBar = store.GetInt("kVAutoHideAppBar", 0);
    m_nAlwaysOnTopAppBar = store.GetInt("kVAlwaysOnTopAppBar", 1);
    m_nCreateAppBar = store.GetInt("kVCreateAppBar", 1);
    m_nNoShapeAppBar = store.GetInt("kVNoShapeAppBar", 0);
    m_nCheckMAPI = store.GetInt("kVCheckMAPI", 1);

    CString hours = store.GetString("kVTimeKey", "");
    int h1 = 0, m1 = 0, s1 = 0, h2 = 0, m2 = 0, s2 = 0;
    if (!hours.IsEmpty())
        std::sscanf(hours, "%d %d %d %d %d %d", &h1, &m1, &s1, &h2, &m2, &s2);
    m_timeStart = TimeOfDay(h1, m1, s1);
    m_timeEnd = TimeOfDay(h2, m2, s2);

    m_nNoUpdates = store.GetInt("kVNoUpdates", 0);
    m_nEnDevDictionary = store.GetInt("kVEnDevDictionary", 0);
    m_nCheckWeb4Update = store.GetInt("kVCheckWeb4Update", 0);
    m_nUseWWWServer = store.GetInt("kVUseWWWServer", 0);
    m_nUseWWWPrivateServer = store.GetInt("kVUseWWWPrivateServer", 0);
    m_nUseWWWPublicServer = store.GetInt("kVUseWWWPublicServer", 0);
    m_strWPN = store.GetString("kVWPN", "");
    m_strWPP = store.GetString("kVWPP", "");
    m_strWAN = store.GetString("kVWAN", "");
    m_strWAP = store.GetString("kVWAP", "");
    m_nWPort = store.GetInt("kVWPort", 80);
    m_strWSPW = store.GetString("kVWSPW", "");
    for (int i = 0; i < 5; ++i)
        m_WebColors[i] = static_cast<COLORREF>(store.GetInt(Entry("kVWC", i + 1), static_cast<int>(kDefaultWebColors[i])));
    m_strEmailProtocolPrefix = store.GetString("kVEmailProtocolPrefix", "");
}

void CAssistantSettings::Save(CSettingsStore& store)
{
    store.WriteInt("kVRWO", m_nRWO);
    store.WriteString("kVUNM", m_strUNM);
    store.WriteString("kVUPM", m_strUPM);
    store.WriteString("kVPPM", m_strPPM);
    store.WriteString("kVMyName", m_strMyName);
    store.WriteInt("kVRefreshRate", m_nRefreshRate);
    store.WriteInt("kVCheckFIFO", m_nCheckFIFO);
    store.WriteString("kVZipPassword", m_strZipPassword);
    store.WriteString("kVUnZipPassword", m_strUnZipPassword);
    store.WriteInt("kVNoUpdates", m_nNoUpdates);
    SaveList(store, "kVNumAddresses", "kVOKAddresses", kScrambleKeyAddressList, m_OKAddresses);
    store.WriteInt("kVShortMessageLength", m_nShortMessageLength);
    SaveList(store, "kVNumShortAddresses", "kVShortAddresses", kScrambleKeyAddressList, m_ShortAddresses);

    int forwards = static_cast<int>(m_ForwardFrom.size());
    store.WriteInt("kVNumForwardAddresses", forwards);
    for (int i = forwards - 1; i >= 0; --i) {
        CString pattern = m_ForwardFrom[i];
        Scramble(pattern, kScrambleKeyForwardPattern);
        store.WriteString(Entry("kVForwardFromAddresses", i), pattern);
        CString target = At(m_ForwardTo, i);
        Scramble(target, kScrambleKeyMailProfile);
        store.WriteString(Entry("kVForwardToAddresses", i), target);
    }

    store.WriteInt("kVAutoHideAppBar", m_nAutoHideAppBar);
    store.WriteInt("kVAlwaysOnTopAppBar", m_nAlwaysOnTopAppBar);
    store.WriteInt("kVCreateAppBar", m_nCreateAppBar);
    store.WriteInt("kVNoShapeAppBar", m_nNoShapeAppBar);
    store.WriteInt("kVCheckMAPI", m_nCheckMAPI);
    store.WriteString("kVInstDir", m_strInstDir);
    store.WriteInt("kVStartMin", m_nStartMin);
    store.WriteInt("kVAutoLogin", m_nAutoLogin);
    store.WriteString("kVTimeKey", m_timeStart.Format("%H %M %S ") + m_timeEnd.Format("%H %M %S"));
    store.WriteInt("kVCheckWeb4Update", m_nCheckWeb4Update);
    store.WriteString("kVDTToolbarHotKey", HotKeyText());
    store.WriteInt("kVUseWWWServer", m_nUseWWWServer);
    store.WriteInt("kVUseWWWPrivateServer", m_nUseWWWPrivateServer);
    store.WriteInt("kVUseWWWPublicServer", m_nUseWWWPublicServer);
    store.WriteString("kVWPN", m_strWPN);
    store.WriteString("kVWPP", m_strWPP);
    store.WriteString("kVWAN", m_strWAN);
    store.WriteString("kVWAP", m_strWAP);
    store.WriteInt("kVWPort", m_nWPort);
    store.WriteString("kVWSPW", m_strWSPW);
    for (int i = 0; i < 5; ++i)
        store.WriteInt(Entry("kVWC", i + 1), static_cast<int>(m_WebColors[i]));
    store.WriteString("kVEmailProtocolPrefix", m_strEmailProtocolPrefix);
}
