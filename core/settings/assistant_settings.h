// CAssistantSettings: every setting of the main program, one member per value of
// the application profile's section "Korvaneant1". One process-wide object,
// g_Settings, built empty; start-up loads it, the settings sheet and the wizard
// change and save it, everything else reads it.
#pragma once

#include <vector>

#include "fx/fx.h"

#ifndef _WIN32
typedef DWORD COLORREF;  // 0x00BBGGRR, as on Win32
#endif

// Where the values are kept. The program uses the application's registry
// profile; tests may use any store.
class CSettingsStore {
public:
    virtual ~CSettingsStore() = default;
    virtual int GetInt(LPCTSTR entry, int defaultValue) = 0;
    virtual CString GetString(LPCTSTR entry, LPCTSTR defaultValue) = 0;
    virtual void WriteInt(LPCTSTR entry, int value) = 0;
    virtual void WriteString(LPCTSTR entry, LPCTSTR value) = 0;
};

class CAssistantSettings {
public:
    CAssistantSettings();

#ifdef _WIN32
    // The application's profile, section "Korvaneant1".
    void Load();
    void Save();
#endif
    void Load(CSettingsStore& store);
    void Save(CSettingsStore& store);

    void Scramble(CString& text, int key);
    void Unscramble(CString& text, int key);

    int GetRWO() const { return m_nRWO; }
    void SetRWO(int done) { m_nRWO = done; }
    // The mail logon texts and the passwords are held as stored (scrambled).
    CString GetUPM() const { return m_strUPM; }
    void SetUPM(CString text) { m_strUPM = text; }
    CString GetUNM() const { return m_strUNM; }
    void SetUNM(CString text) { m_strUNM = text; }
    CString GetMyName() const { return m_strMyName; }
    CString GetMyNameUpper() const { return m_strMyNameUpper; }
    void SetMyName(CString name);
    CString GetPPM() const { return m_strPPM; }
    void SetPPM(CString text) { m_strPPM = text; }
    CString GetZipPassword() const { return m_strZipPassword; }
    void SetZipPassword(CString text) { m_strZipPassword = text; }
    CString GetUnZipPassword() const { return m_strUnZipPassword; }
    void SetUnZipPassword(CString text) { m_strUnZipPassword = text; }

    // Accepted senders (wildcards allowed), held in plain text.
    int GetNumOKAddresses() const { return static_cast<int>(m_OKAddresses.size()); }
    CString GetOKAddress(int i) const { return At(m_OKAddresses, i); }
    void ClearOKAddresses() { m_OKAddresses.clear(); }
    void AddOKAddress(CString address) { m_OKAddresses.push_back(address); }

    CString GetInstDir() const { return m_strInstDir; }
    void SetInstDir(CString folder) { m_strInstDir = folder; }
    int GetShortMessageLength() const { return m_nShortMessageLength; }
    void SetShortMessageLength(int length) { m_nShortMessageLength = length; }

    int GetNumShortAddresses() const { return static_cast<int>(m_ShortAddresses.size()); }
    CString GetShortAddress(int i) const { return At(m_ShortAddresses, i); }
    void ClearShortAddresses() { m_ShortAddresses.clear(); }
    void AddShortAddress(CString address) { m_ShortAddresses.push_back(address); }

    // Forward rules: a sender pattern and the address its answers go to, same index.
    int GetNumForwardAddresses() const { return static_cast<int>(m_ForwardFrom.size()); }
    CString GetForwardFromAddress(int i) const { return At(m_ForwardFrom, i); }
    CString GetForwardToAddress(int i) const { return At(m_ForwardTo, i); }
    void ClearForwardAddresses();
    void AddForwardAddress(CString pattern, CString target);

    int GetHotKeyShift() const { return m_nHotKeyShift; }
    void SetHotKeyShift(int on) { m_nHotKeyShift = on ? 1 : 0; }
    int GetHotKeyCtrl() const { return m_nHotKeyCtrl; }
    void SetHotKeyCtrl(int on) { m_nHotKeyCtrl = on ? 1 : 0; }
    int GetHotKeyAlt() const { return m_nHotKeyAlt; }
    void SetHotKeyAlt(int on) { m_nHotKeyAlt = on ? 1 : 0; }
    char GetHotKeyChar() const { return m_chHotKey; }
    void SetHotKeyChar(char key) { m_chHotKey = key; }

    int GetRefreshRate() const { return m_nRefreshRate; }
    void SetRefreshRate(int rate) { m_nRefreshRate = rate; }
    int GetCheckFIFO() const { return m_nCheckFIFO; }
    void SetCheckFIFO(int fifo) { m_nCheckFIFO = fifo; }
    int GetAutoLogin() const { return m_nAutoLogin; }
    void SetAutoLogin(int on) { m_nAutoLogin = on; }
    int GetStartMin() const { return m_nStartMin; }
    void SetStartMin(int on) { m_nStartMin = on; }
    int GetAutoHideAppBar() const { return m_nAutoHideAppBar; }
    void SetAutoHideAppBar(int on) { m_nAutoHideAppBar = on; }
    int GetAlwaysOnTopAppBar() const { return m_nAlwaysOnTopAppBar; }
    int GetCreateAppBar() const { return m_nCreateAppBar; }
    void SetCreateAppBar(int on) { m_nCreateAppBar = on; }
    int GetNoShapeAppBar() const { return m_nNoShapeAppBar; }
    void SetNoShapeAppBar(int on) { m_nNoShapeAppBar = on; }
    int GetCheckMAPI() const { return m_nCheckMAPI; }
    void SetCheckMAPI(int on) { m_nCheckMAPI = on; }

    // Active hours: times of day on 1 January 1999.
    CTime GetTimeStart() const { return m_timeStart; }
    void SetTimeStart(CTime time) { m_timeStart = time; }
    CTime GetTimeEnd() const { return m_timeEnd; }
    void SetTimeEnd(CTime time) { m_timeEnd = time; }

    int GetNoUpdates() const { return m_nNoUpdates; }
    void SetNoUpdates(int on) { m_nNoUpdates = on; }
    int GetEnDevDictionary() const { return m_nEnDevDictionary; }
    // Seconds since 1970 of the last web version check.
    int GetCheckWeb4Update() const { return m_nCheckWeb4Update; }
    void SetCheckWeb4Update(int seconds) { m_nCheckWeb4Update = seconds; }

    int GetUseWWWServer() const { return m_nUseWWWServer; }
    void SetUseWWWServer(int on) { m_nUseWWWServer = on; }
    int GetUseWWWPrivateServer() const { return m_nUseWWWPrivateServer; }
    void SetUseWWWPrivateServer(int on) { m_nUseWWWPrivateServer = on; }
    int GetUseWWWPublicServer() const { return m_nUseWWWPublicServer; }
    void SetUseWWWPublicServer(int on) { m_nUseWWWPublicServer = on; }
    CString GetWPN() const { return m_strWPN; }
    void SetWPN(CString text) { m_strWPN = text; }
    CString GetWPP() const { return m_strWPP; }
    void SetWPP(CString text) { m_strWPP = text; }
    CString GetWAN() const { return m_strWAN; }
    void SetWAN(CString text) { m_strWAN = text; }
    CString GetWAP() const { return m_strWAP; }
    void SetWAP(CString text) { m_strWAP = text; }
    int GetWPort() const { return m_nWPort; }
    void SetWPort(int port) { m_nWPort = port; }
    CString GetWSPW() const { return m_strWSPW; }
    void SetWSPW(CString text) { m_strWSPW = text; }
    // Index 0-4; 0 for any other index.
    COLORREF GetWebColor(int i) const { return (i >= 0 && i < 5) ? m_WebColors[i] : 0; }
    void SetWebColor(int i, COLORREF color)
    {
        if (i >= 0 && i < 5)
            m_WebColors[i] = color;
    }
    CString GetEmailProtocolPrefix() const { return m_strEmailProtocolPrefix; }
    void SetEmailProtocolPrefix(CString prefix) { m_strEmailProtocolPrefix = prefix; }

    // The web server's folders, set at every start of the server (not stored).
    CString GetWebPublicDir() const { return m_strWebPublicDir; }
    void SetWebPublicDir(CString folder) { m_strWebPublicDir = folder; }
    CString GetWebPrivateDir() const { return m_strWebPrivateDir; }
    void SetWebPrivateDir(CString folder) { m_strWebPrivateDir = folder; }

private:
    static CString At(const std::vector<CString>& list, int i)
    {
        return (i >= 0 && i < static_cast<int>(list.size())) ? list[i] : CString();
    }
    void LoadList(CSettingsStore& store, LPCTSTR countEntry, LPCTSTR baseName, int key,
                  std::vector<CString>& list);
    void SaveList(CSettingsStore& store, LPCTSTR countEntry, LPCTSTR baseName, int key,
                  const std::vector<CString>& list);
    void SetHotKey(const CString& text);
    CString HotKeyText() const;

    int m_nRWO;
    CString m_strUPM;
    CString m_strUNM;
    CString m_strMyName;
    CString m_strMyNameUpper;
    CString m_strPPM;
    CString m_strZipPassword;
    CString m_strUnZipPassword;
    std::vector<CString> m_OKAddresses;
    CString m_strInstDir;
    int m_nShortMessageLength;
    std::vector<CString> m_ShortAddresses;
    std::vector<CString> m_ForwardFrom;
    std::vector<CString> m_ForwardTo;
    int m_nHotKeyShift;
    int m_nHotKeyCtrl;
    int m_nHotKeyAlt;
    char m_chHotKey;
    int m_nRefreshRate;
    int m_nCheckFIFO;
    int m_nAutoLogin;
    int m_nStartMin;
    int m_nAutoHideAppBar;
    int m_nAlwaysOnTopAppBar;
    int m_nCreateAppBar;
    int m_nNoShapeAppBar;
    int m_nCheckMAPI;
    CTime m_timeStart;
    CTime m_timeEnd;
    int m_nNoUpdates;
    int m_nEnDevDictionary;
    int m_nCheckWeb4Update;
    int m_nUseWWWServer;
    int m_nUseWWWPrivateServer;
    int m_nUseWWWPublicServer;
    CString m_strWPN;
    CString m_strWPP;
    CString m_strWAN;
    CString m_strWAP;
    int m_nWPort;
    CString m_strWSPW;
    COLORREF m_WebColors[5];
    CString m_strEmailProtocolPrefix;
    CString m_strWebPublicDir;
    CString m_strWebPrivateDir;
};

extern CAssistantSettings g_Settings;
