// The Win32 side of the plug-in glue: the registry helper and the settings kept
// under HKEY_CURRENT_USER\Korvaneant1, the properties dialog run from the
// plug-in's own dialog template, the loaders of the plug-in's strings and web
// page templates, the plug-in's own mail session, and the module-wide objects
// behind the exports.
//
// A plug-in links this library whole and defines only
//     extern const PlugInDescription g_PlugInDescription = { ... };
// and its action export(s), typically
//     extern "C" int Name(CString* r, int i, std::vector<WordLinkage>* l, int f)
//     { return RunPlugInRequest<CNameRequest>(g_PlugIn, r, i, l, f); }
#pragma once

#include "plugin_glue.h"
#include "fx/fxwin.h"

#include <windows.h>

#include "mapi/zlm_mapi.h"

// The plug-in's description, defined by the plug-in.
extern const PlugInDescription g_PlugInDescription;

// Registry section of every plug-in value.
#define PLUGIN_REGISTRY_SECTION "Korvaneant1"

class CRegistry {
public:
    CRegistry();
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // Closes an open sub key (fails when that close fails), takes
    // HKEY_CURRENT_USER as the root and reads the computer name.
    BOOL Connect();
    // Creates or opens the sub key with full access; FALSE on failure.
    BOOL CreateKey(LPCTSTR subKey);
    BOOL Close();

    // Reads into value; the default on any failure.
    BOOL ReadDword(LPCTSTR name, DWORD& value, DWORD defaultValue);
    BOOL ReadString(LPCTSTR name, CString& value, LPCTSTR defaultValue);
    BOOL WriteDword(LPCTSTR name, DWORD value);
    BOOL WriteString(LPCTSTR name, LPCTSTR value);

    BOOL IsOpen() const { return m_bOpen; }
    LONG GetLastError() const { return m_nLastError; }
    const CString& GetComputerName() const { return m_strComputerName; }

private:
    HKEY m_hRootKey;
    CString m_strRootKeyName;
    CString m_strComputerName;
    HKEY m_hSubKey;
    CString m_strSubKeyName;
    LONG m_nLastError;
    BOOL m_bOpen;
};

// The plug-in's settings: "<Name>-Active" and the options of its description.
class CPlugInSettings {
public:
    explicit CPlugInSettings(const PlugInDescription& description);
    virtual ~CPlugInSettings() = default;

    // Reads the values once; later calls do nothing.
    void Load();
    // Writes every value back, only when they were loaded.
    void Save();
    BOOL IsLoaded() const { return m_bLoaded; }

    // "<Name>-<option>".
    CString ValueName(LPCTSTR option) const;

    int m_nActive;
    // Option i of the description: its number (CHECK, RADIO) or text (TEXT).
    std::vector<int> m_Values;
    std::vector<CString> m_Texts;
    int GetInt(LPCTSTR option) const;
    CString GetText(LPCTSTR option) const;

protected:
    const PlugInDescription& m_Description;
    CRegistry m_Registry;
    BOOL m_bLoaded;
};

// A dialog of a plug-in, run from a template of the plug-in's module.
class CPlugInDialog : public CDialog {
public:
    explicit CPlugInDialog(UINT nIDTemplate) : CDialog(nIDTemplate) {}
    // The modal run of DoModalFromPlugInTemplate.
    int RunModalFromTemplate(LPCDLGTEMPLATE lpTemplate, HINSTANCE hInst, HWND hWndParent);
};

// The properties dialog (template 1000): description, copyright, long
// description, the "-Active" check box and the plug-in's own controls.
enum {
    IDD_PLUGIN_PROPERTIES = 1000,
    IDC_PLUGIN_TITLE = 1000,
    IDC_PLUGIN_COPYRIGHT = 1001,
    IDC_PLUGIN_LONG_DESCRIPTION = 1002,
    IDC_PLUGIN_ACTIVE = 1003,
};

class CPropertiesDialog : public CPlugInDialog {
public:
    explicit CPropertiesDialog(const PlugInDescription& description);
    CString m_strTitle;
    CString m_strCopyright;
    CString m_strLongDescription;
    int m_nActive;
    std::vector<int> m_Values;
    std::vector<CString> m_Texts;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    const PlugInDescription& m_Description;
};

// Runs a modal dialog from a template of the plug-in's own module: 0 without a
// module (after the message "Error loading KVX"), -1 when it cannot be run,
// else the dialog's end code.
int DoModalFromPlugInTemplate(CPlugInDialog* dialog, HINSTANCE hModule);
// String id of the module's table (at most 255 characters); "Error loading KVX."
// without a module, empty when the table lacks it.
CString LoadPlugInString(HINSTANCE hModule, UINT id);
// The module's RT_HTML resource id as one text; empty when it lacks it.
CString LoadPlugInHtml(UINT id);
// The handler of USERINFO_SHOW_DIALOG.
void ShowPlugInDialog();
// Logs the plug-in's own session on when it has the logon name and the password
// and is not logged on yet (errors go to the running log).
void PlugInLogon();

// The module-wide objects behind the exports.
extern CPlugInSettings g_PlugInSettings;
extern CPlugIn g_PlugIn;
// The plug-in's own mail session, built when the plug-in loads.
extern CZLMMapi g_PlugInMapi;
