// The plug-in host: the action plug-ins ("*.kVX" of the current folder), their
// action rows in one process-wide table, the settings push, one try of one row
// on one request (CPluginActionCall), idle turns and the unload at exit.
#pragma once

#include "plugin_interface.h"

#include <vector>

class CZLMMapiFile;

// The running log: every "\r\n"-ended line of the core, the plug-ins (which keep
// a pointer to it) and the reply object.
extern CString g_strLog;

// The text a caught exception of an action appends to the running log.
#define PLUGIN_CATCH_LOG_LINE "Plugin- Catch(...)\r\n"

// One action row of a loaded plug-in.
struct PluginActionRow {
    CString m_strTriggerWord;  // item 0, e.g. "send.v"
    CString m_strLinkLabel;    // item 1, e.g. "O*n", "*", "**"
    PluginActionProc m_pfnAction;
    SetUserInfoProc m_pfnSetUserInfo;
    GetActionsNameProc m_pfnGetActionsName;
};

// One loaded module: its handle (an HMODULE) and its SetUserInfo, if any.
struct PluginModule {
    void* m_hModule;
    SetUserInfoProc m_pfnSetUserInfo;
};

// The trigger word as the request engine looks for it in a line: cut before
// its first "." ("send.v" -> "send").
CString CutTriggerWord(const CString& triggerWord);

class CPluginTable {
public:
    // Loads every plug-in of the current folder (LoadPlugins).
    CPluginTable();
    // Unloads them (UnloadPlugins).
    ~CPluginTable();
    CPluginTable(const CPluginTable&) = delete;
    CPluginTable& operator=(const CPluginTable&) = delete;

    void LoadPlugins();
    // Codes 0, 1, 2, 3, 9, 10, 11 and 16 to every row's SetUserInfo, in table
    // order (a plug-in with several rows receives them once per row).
    void SendSettings();
    void UnloadPlugins();

    int GetNumberOfRows() const { return static_cast<int>(m_Rows.size()); }
    CString GetTriggerWord(int row) const { return m_Rows.at(row).m_strTriggerWord; }
    CString GetLinkLabel(int row) const { return m_Rows.at(row).m_strLinkLabel; }
    PluginActionProc GetAction(int row) const { return m_Rows.at(row).m_pfnAction; }
    SetUserInfoProc GetSetUserInfo(int row) const { return m_Rows.at(row).m_pfnSetUserInfo; }
    GetActionsNameProc GetGetActionsName(int row) const { return m_Rows.at(row).m_pfnGetActionsName; }

    const std::vector<PluginModule>& GetModules() const { return m_Modules; }

    int GetNumberOfIdlers() const { return static_cast<int>(m_Idlers.size()); }
    DoKVXIlderProc GetIdler(int i) const { return m_Idlers.at(i); }
    // One idle turn: every idle entry in load order (the fast tick's share).
    void DoIdleTurns();

    // Closes the assistant's windows before any module goes away; set by the
    // owner of the window manager.
    static void (*s_pfnCloseWindows)();

private:
    std::vector<PluginActionRow> m_Rows;
    std::vector<PluginModule> m_Modules;
    std::vector<DoKVXIlderProc> m_Idlers;
    bool m_bUnloaded = false;
};

// The process-wide table, built while statics are initialised.
extern CPluginTable g_PluginTable;

// One try of one action row on one request.
class CPluginActionCall {
public:
    CPluginActionCall(const CString& triggerWord, const CString& linkLabel, const CString& requester,
                      const CString& requesterName, const CString& messageText, const CString& sentenceText,
                      const CString& subject, int directCall, PluginActionProc pfnAction,
                      SetUserInfoProc pfnSetUserInfo, CZLMMapiFile* pAttachments, std::vector<WordLinkage>* pLinks,
                      CStringList* pWordList, int shortReplyLength, int interfaceMode);

    // passFlag: 1 on the tentative pass, 0 on the final one. Nonzero: handled.
    int Run(int passFlag);

    // The label test of one linkage against the row's label.
    static bool LabelMatches(const CString& rowLabel, const CString& linkLabel, int passFlag);
    // The word test: the word, lower-cased and cut to the trigger word's length,
    // is a leading part of the trigger word.
    static bool WordMatches(const CString& triggerWord, const CString& word);

private:
    void SendRequest(bool parsed);
    void Send(const void* value, int code);

    CString m_strTriggerWord;
    CString m_strLinkLabel;
    CString m_strRequester;
    CString m_strRequesterName;
    CString m_strMessageText;
    CString m_strSentenceText;
    CString m_strSubject;
    int m_nDirectCall;
    PluginActionProc m_pfnAction;
    SetUserInfoProc m_pfnSetUserInfo;
    CZLMMapiFile* m_pAttachments;
    std::vector<WordLinkage>* m_pLinks;
    CStringList* m_pWordList;
    int m_nShortReplyLength;
    int m_nInterfaceMode;
};
