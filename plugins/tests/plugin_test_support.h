// What the tests that drive a plug-in the host's way share: its settings in
// the shared test prefix, and the web pages its answers made.
#pragma once

#include "plugin_interface.h"
#include "webmsg/htmlmsg.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The value of an environment variable the peer set; empty when unset.
inline std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

inline std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Whether a link of a parsed request is one an action row answers, the way
// the host matches them: its label starts with the row's, and one of its words,
// cut to the trigger word's length, begins the trigger word (so "send.v"
// answers "send").
inline bool LinkFitsRow(const WordLinkage& link, const std::string& trigger, const std::string& label)
{
    if (std::string((const char*)link.m_strLinkLabel).substr(0, label.size()) != label)
        return false;
    std::string left = Lower((const char*)link.m_strLeftWord).substr(0, trigger.size());
    std::string right = Lower((const char*)link.m_strRightWord).substr(0, trigger.size());
    return trigger.compare(0, left.size(), left) == 0 || trigger.compare(0, right.size(), right) == 0;
}

// A plug-in's values under HKEY_CURRENT_USER\Korvaneant1, where the plug-in
// writes them when it unloads: each named value is put back as it was before
// the run (removed when it was absent), and the key itself is removed when it
// was absent. Another program may have left a value there (the assistant saves
// every plug-in's settings), so a value the run changed must not outlive it.
class SettingsGuard {
public:
    explicit SettingsGuard(std::vector<std::string> names) : m_names(std::move(names))
    {
        HKEY key = nullptr;
        m_keyExisted = RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
        for (const std::string& name : m_names) {
            Saved saved;
            DWORD size = 0;
            if (m_keyExisted &&
                RegQueryValueExA(key, name.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
                saved.data.resize(size);
                saved.existed = RegQueryValueExA(key, name.c_str(), nullptr, &saved.type, saved.data.data(),
                                                 &size) == ERROR_SUCCESS;
                saved.data.resize(size);
            }
            m_saved.push_back(std::move(saved));
        }
        if (m_keyExisted)
            RegCloseKey(key);
    }
    ~SettingsGuard()
    {
        if (!m_keyExisted) {
            RegDeleteKeyA(HKEY_CURRENT_USER, "Korvaneant1");
            return;
        }
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        for (size_t i = 0; i < m_names.size(); ++i) {
            const Saved& saved = m_saved[i];
            if (saved.existed)
                RegSetValueExA(key, m_names[i].c_str(), 0, saved.type, saved.data.data(),
                               static_cast<DWORD>(saved.data.size()));
            else
                RegDeleteValueA(key, m_names[i].c_str());
        }
        RegCloseKey(key);
    }
    SettingsGuard(const SettingsGuard&) = delete;
    SettingsGuard& operator=(const SettingsGuard&) = delete;

    static void Write(const std::string& name, DWORD value)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }

private:
    struct Saved {
        bool existed = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    bool m_keyExisted = false;
    std::vector<std::string> m_names;
    std::vector<Saved> m_saved;
};

// The visible window titled "Properties" of a thread: a plug-in's properties
// dialog, waited for up to a minute; null (and a failure naming it) when it
// never came.
inline HWND FindPropertiesDialog(DWORD uiThread)
{
    return testsupport::WaitForThreadWindow(uiThread, nullptr, "Properties");
}

// Shows a plug-in's properties dialog the host's way, a modal loop on this
// thread, while `person` works it from a thread of its own. The person's
// thread is joined pumping this thread's messages (it sends to the dialog),
// and a dialog still open after the bound is closed and fails the test.
inline void RunPropertiesDialog(SetUserInfoProc setUserInfo, std::function<void()> person)
{
    testsupport::ScriptThread script(std::move(person));
    {
        testsupport::ModalWatchdog watchdog("the plug-in's properties dialog to be worked and closed");
        setUserInfo(nullptr, USERINFO_SHOW_DIALOG);
    }
    script.Join();
}

// The web pages the host's page list holds, oldest first.
inline std::vector<CHTMLMsg*> Pages()
{
    std::vector<CHTMLMsg*> pages;
    for (int id = 0; id < 100000 && static_cast<int>(pages.size()) < g_HTMLMgr.GetMessageCount(); ++id)
        if (CHTMLMsg* m = g_HTMLMgr.FindMessage(id))
            pages.push_back(m);
    return pages;
}
