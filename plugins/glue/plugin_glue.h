// The plug-in side of the contract, shared by every plug-in: the module-level
// state that SetUserInfo fills, the answers of GetActionsName (action rows and
// information items, test mode), and the gate of the action exports. A plug-in
// describes itself (name, rows, test sentences) and writes its settings and its
// actions; everything else is here.
//
// This part is portable: what it needs from the plug-in's module (strings,
// settings, dialog, dictionary resource, mail session) comes through
// CPlugInServices.
#pragma once

#include "plugin_interface.h"

#include <vector>

// One action row: trigger word, link label, name of the action export.
struct PlugInActionRow {
    const char* word;
    const char* label;
    const char* exportName;
};

// Which negative rows are information requests.
enum {
    PLUGIN_INFO_ROWS_ALL_NEGATIVE = 0,  // every negative row
    PLUGIN_INFO_ROWS_MINUS_ONE = 1,     // row -1 only; other negative rows are no row (null)
};

// Kinds of plug-in option, with the control of the properties dialog they bind to.
enum {
    PLUGIN_OPTION_CHECK = 0,  // REG_DWORD, a check box
    PLUGIN_OPTION_RADIO = 1,  // REG_DWORD, the index in a radio group
    PLUGIN_OPTION_TEXT = 2,   // REG_SZ, an edit field
};

// A value of the plug-in's settings beside "-Active": stored as
// "<Name>-<option>" under HKEY_CURRENT_USER\Korvaneant1.
struct PlugInOption {
    const char* name;
    int kind;
    int defaultValue;         // CHECK, RADIO
    const char* defaultText;  // TEXT
    int controlId;            // control of the properties dialog, 0 for none
};

struct PlugInDescription {
    const char* name;  // the plug-in's name, prefix of its registry values
    const PlugInActionRow* rows;
    int rowCount;
    int infoRows;  // PLUGIN_INFO_ROWS_*
    const unsigned* testSentenceIds;  // string ids of the test sentences, in order
    int testSentenceCount;
    const char* const* macros;  // PLUGIN_INFO_MACRO texts for rows -1, -2, ...
    int macroCount;
    bool hasDictionary;       // carries a "DICTIONARY" resource
    bool keepsAttachments;    // keeps USERINFO_ATTACHMENTS
    bool takesSenderName;     // keeps USERINFO_SENDER_NAME (and sets the logon-name flag)
    int activeDefault;        // default of "<Name>-Active"
    const PlugInOption* options;
    int optionCount;
    // A push button of the properties dialog that is the plug-in's own
    // (not OK, Cancel or an option): called with its control id, the dialog
    // still open. Null when the plug-in has none.
    void (*dialogButton)(unsigned controlId) = nullptr;
    // Called after OK, the dialog's values already in the settings and not yet
    // written: the plug-in's chance to settle them (e.g. an address typed as a
    // name). Null when it has nothing to do.
    void (*dialogAccepted)() = nullptr;
};

// String ids every plug-in's string table holds.
enum {
    IDS_PLUGIN_DESCRIPTION = 2,
    IDS_PLUGIN_LONG_DESCRIPTION = 3,
    IDS_PLUGIN_COMPANY = 4,
    IDS_PLUGIN_COPYRIGHT = 5,
    IDS_PLUGIN_EXAMPLE = 6,
    IDS_PLUGIN_VERSION = 7,
    IDS_PLUGIN_TEST_COUNT = 8,
};

// The text of a string that cannot be loaded because the module is not known yet.
#define PLUGIN_LOAD_ERROR_TEXT "Error loading KVX."

// What the plug-in state needs from its module.
class CPlugInServices {
public:
    virtual ~CPlugInServices() = default;
    // String id of the module's table; PLUGIN_LOAD_ERROR_TEXT without a module,
    // empty when the table lacks it.
    virtual CString LoadString(void* hModule, unsigned id) = 0;
    // Reads the settings once; later calls do nothing.
    virtual void LoadSettings() = 0;
    // Writes the settings back when they were loaded.
    virtual void SaveSettings() = 0;
    virtual int IsActive() = 0;
    // The properties dialog (USERINFO_SHOW_DIALOG).
    virtual void ShowDialog() = 0;
    // The bytes of the module's "DICTIONARY" resource; false when it has none.
    virtual bool CopyDictionary(void* hModule, std::vector<char>& copy) = 0;
    // Logs the plug-in's own mail session off when it is logged on.
    virtual void LogOff() = 0;
};

class CPlugIn {
public:
    CPlugIn(const PlugInDescription& description, CPlugInServices& services);
    CPlugIn(const CPlugIn&) = delete;
    CPlugIn& operator=(const CPlugIn&) = delete;

    // The exports' work.
    int GetNumberOfActions() const { return m_Description.rowCount; }
    const char* GetActionsName(int row, int item);
    void SetUserInfo(const void* value, int code);

    // The gate of every action export: open when the plug-in is active or in test mode.
    bool ActionGateOpen();

    // Appends text to the host's running log, when it was given.
    void Log(const CString& text);

    const PlugInDescription& Description() const { return m_Description; }
    CPlugInServices& Services() { return m_Services; }

    // Module-level state, as SetUserInfo leaves it.
    CString m_strMailUser;       // code 0, scrambled
    CString m_strMailPassword;   // code 1, scrambled
    CString m_strMyName;         // code 2, the sender of every reply
    CString* m_pLog = nullptr;   // code 3
    void* m_hModule = nullptr;   // code 4
    const CStringList* m_pWordList = nullptr;  // code 5
    CString m_strRequestText;    // code 6
    CString m_strSentenceText;   // code 7
    CString m_strSubject;        // code 8
    CString m_strZipPassword;    // code 9
    CString m_strUnZipPassword;  // code 10
    CString m_strInstallDir;     // code 11
    const void* m_pAttachments = nullptr;  // code 12 (a CZLMMapiFile)
    CString m_strSenderName;     // code 13
    int m_nInterfaceMode = MODE_EMAIL;  // code 14
    int m_nShortReplyLength = 0;        // code 15
    int m_nZero = 0;                    // code 16
    BOOL m_bLogonNameSet = FALSE;
    BOOL m_bPasswordSet = FALSE;
    BOOL m_bTestMode = FALSE;
    int m_nTestIndex = 0;  // index of the expected answer of the current test sentence

    // The dictionary copy, made on the first request and freed at unload.
    const std::vector<char>& Dictionary() const { return m_Dictionary; }
    bool HasDictionaryCopy() const { return m_bDictionaryCopied; }

private:
    bool IsInformationRow(int row) const;
    const char* Answer(const CString& text);
    const char* Information(int row, int item);
    const char* DictionaryItem(int row);
    void Unload();

    const PlugInDescription& m_Description;
    CPlugInServices& m_Services;
    CString m_strAnswer;  // the answer buffer: every information answer points into it
    std::vector<char> m_Dictionary;
    bool m_bDictionaryCopied = false;
};

// The body of an action export: the gate, then one request object built from the
// export's arguments, run and destroyed. The request's constructor takes
// (CPlugIn&, requester, link index, links, fifo) and Run() gives the result.
template <class TRequest>
int RunPlugInRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    if (!plugIn.ActionGateOpen())
        return 0;
    TRequest request(plugIn, requester, linkIndex, links, fifo);
    return request.Run();
}

// The same for the plug-ins whose export catches every exception and then answers 0.
template <class TRequest>
int RunPlugInRequestCatchAll(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links,
                             int fifo)
{
    try {
        return RunPlugInRequest<TRequest>(plugIn, requester, linkIndex, links, fifo);
    } catch (...) {
        return 0;
    }
}
