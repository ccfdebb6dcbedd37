// Chimavo's properties dialog under Wine, run by the plug-in as the host asks
// for it and worked by a second thread as a person would: a name typed as the
// notify address is stored as its address from the export file, and "Clear
// Alerts" ends the stored alerts.
#include "plugin_interface.h"
#include "../../tests/plugin_test_support.h"

#include "fx/msgbox.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

const char kKey[] = "Korvaneant1";

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

void WriteText(HKEY key, const char* name, const std::string& value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void WriteNumber(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

std::string ReadText(const char* name)
{
    char value[512] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "<missing>";
    return value;
}

int ReadNumber(const char* name)
{
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(value);
}

const char* const kValues[] = {"Chimavo-Active",    "Chimavo-NotifyAddress", "Chimavo-NumAlerts",
                               "Chimavo-AlertWho0", "Chimavo-AlertCtn0",     "Chimavo-AlertMth0",
                               "Chimavo-AlertWho1", "Chimavo-AlertCtn1",     "Chimavo-AlertMth1"};

// Two stored alerts and a notify address, removed again afterwards (the key
// too when the test made it).
class StoredAlerts {
public:
    StoredAlerts()
    {
        HKEY key;
        m_keyExisted = RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
        if (m_keyExisted)
            RegCloseKey(key);
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        WriteNumber(key, "Chimavo-Active", 1);
        WriteText(key, "Chimavo-NotifyAddress", "old@example.org");
        WriteNumber(key, "Chimavo-NumAlerts", 2);
        WriteText(key, "Chimavo-AlertWho0", "john");
        WriteText(key, "Chimavo-AlertCtn0", "");
        WriteNumber(key, "Chimavo-AlertMth0", 0);
        WriteText(key, "Chimavo-AlertWho1", "");
        WriteText(key, "Chimavo-AlertCtn1", "numbers");
        WriteNumber(key, "Chimavo-AlertMth1", 0);
        RegCloseKey(key);
    }
    ~StoredAlerts()
    {
        if (!m_keyExisted) {
            RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
            return;
        }
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        for (const char* name : kValues)
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }

private:
    bool m_keyExisted = false;
};

void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

struct Case {
    const char* typed;        // into the notify address field
    bool clear;               // "Clear Alerts" pressed
    int end;                  // IDOK or IDCANCEL
    bool book;                // the export file is in the install folder
    const char* notify;       // stored afterwards
    int alerts;               // stored afterwards
};

// Types the address, presses the buttons in order, as a person would.
void WorkDialog(DWORD uiThread, const Case& c)
{
    HWND dialog = FindPropertiesDialog(uiThread);
    if (!dialog)
        return;
    SendMessageA(GetDlgItem(dialog, 1004), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed));
    if (c.clear)
        Click(dialog, 1005);
    Click(dialog, c.end);
}

TEST(ChimavoProperties, NotifyAddressAndClearAlerts)
{
    const Case cases[] = {
        {"Dana Scully", false, IDOK, true, "dana@fbi.example", 2},
        {"  fox@fbi.example \r\n", false, IDOK, true, "fox@fbi.example", 2},
        {"Somebody Else", false, IDOK, true, "Somebody Else", 2},
        // No address book to read: what was typed is kept, not emptied.
        {"Dana Scully", false, IDOK, false, "Dana Scully", 2},
        {"   ", false, IDOK, true, "", 2},
        {"Dana Scully", false, IDCANCEL, true, "old@example.org", 2},
        {"Fox Mulder", true, IDOK, true, "fox@fbi.example", 0},
        // The message said the alerts are over: Cancel does not bring them back.
        {"Fox Mulder", true, IDCANCEL, true, "old@example.org", 0},
    };
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (const Case& c : cases) {
        const std::string label = std::string("'") + c.typed + "' case " + std::to_string(&c - cases);
        std::string dir = std::string(temp) + "chimavo-dialog-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(&c - cases);
        CreateDirectoryA(dir.c_str(), nullptr);
        std::string book = dir + "\\OutlookExpressExport.CDF";
        DeleteFileA(book.c_str());
        if (c.book) {
            ASSERT_TRUE(CopyFileA((std::string("Z:") + VX_NOTIFY_BOOK).c_str(), book.c_str(), FALSE)) << label;
        }

        StoredAlerts stored;
        HMODULE module = LoadLibraryA(("Z:" + Env("VX_BIN_DIR") + "/Chimavo.kVX").c_str());
        ASSERT_NE(module, nullptr);
        auto setUserInfo = reinterpret_cast<SetUserInfoProc>(GetProcAddress(module, "SetUserInfo"));
        ASSERT_NE(setUserInfo, nullptr);
        CString log, myName = "Vindalex Personal Assistant", sender = "Jane", installDir = (dir + "\\").c_str();
        setUserInfo(module, USERINFO_MODULE);
        setUserInfo(&log, USERINFO_LOG);
        setUserInfo(&myName, USERINFO_MY_NAME);
        setUserInfo(&installDir, USERINFO_INSTALL_DIR);
        setUserInfo(&sender, USERINFO_SENDER_NAME);

        std::string shown;
        AfxMessageBoxHook old = AfxSetMessageBoxHook([&](HWND, LPCTSTR text, LPCTSTR, UINT) {
            shown += text ? text : "";
            return IDOK;
        });
        const DWORD uiThread = GetCurrentThreadId();
        RunPropertiesDialog(setUserInfo, [uiThread, &c] { WorkDialog(uiThread, c); });
        AfxSetMessageBoxHook(old);
        setUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
        FreeLibrary(module);

        EXPECT_EQ(ReadText("Chimavo-NotifyAddress"), c.notify) << label << "\n" << (const char*)log;
        EXPECT_EQ(ReadNumber("Chimavo-NumAlerts"), c.alerts) << label;
        EXPECT_EQ(ReadNumber("Chimavo-Active"), 1) << label;
        EXPECT_EQ(shown, c.clear ? "I will no longer alert you to new email." : "") << label;
        DeleteFileA(book.c_str());
        RemoveDirectoryA(dir.c_str());
    }
}

} // namespace
