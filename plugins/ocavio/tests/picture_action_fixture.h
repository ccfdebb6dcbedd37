// The Ocavio plug-in loaded and driven as the host drives it, through the web
// pages so that the picture stays on disk; its settings set for the run.
#pragma once

#include "plugin_interface.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include "options/wmoptions.h"
#include "webmsg/htmlmsg.h"
#include "../../tests/offer_line.h"
#include "../../tests/plugin_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>


inline void WriteValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline void SetCameraFolder(const std::string& folder)
{
    WriteValue("ZLMMastolo-ExePath", REG_SZ, folder.c_str(), static_cast<DWORD>(folder.size() + 1));
}

// The plug-in's values in the shared test prefix: set for the run, removed
// again when they were absent.
class OcavioSettings : public SettingsGuard {
public:
    OcavioSettings() : SettingsGuard({"Ocavio-Active", "ZLMMastolo-ExePath"}) { Write("Ocavio-Active", 1); }
};

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::string> PictureFiles(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "\\Temporary Files\\SP_4rw51*.bmp").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

class PictureAction : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        m_dir = std::string(temp) + "ocavio-" + std::to_string(GetCurrentProcessId()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(m_dir.c_str(), nullptr);
        CWMOptions::m_strAssistantWWWDir = (m_dir + "\\www").c_str();
        CreateDirectoryA(CWMOptions::m_strAssistantWWWDir, nullptr);
        m_module = LoadLibraryA(("Z:" + Env("VX_BIN_DIR") + "/Ocavio.kVX").c_str());
        ASSERT_NE(m_module, nullptr);
        m_names = reinterpret_cast<GetActionsNameProc>(GetProcAddress(m_module, "GetActionsName"));
        m_setUserInfo = reinterpret_cast<SetUserInfoProc>(GetProcAddress(m_module, "SetUserInfo"));
        m_rows = reinterpret_cast<GetNumberOfActionsProc>(GetProcAddress(m_module, "GetNumberOfActions"));
        m_action = reinterpret_cast<PluginActionProc>(GetProcAddress(m_module, "Ocavio"));
        ASSERT_TRUE(m_names && m_setUserInfo && m_rows && m_action);
        m_installDir = (m_dir + "\\").c_str();
        m_setUserInfo(m_module, USERINFO_MODULE);
        m_setUserInfo(&m_log, USERINFO_LOG);
        m_setUserInfo(&m_myName, USERINFO_MY_NAME);
        m_setUserInfo(&m_installDir, USERINFO_INSTALL_DIR);
        m_setUserInfo(&m_sender, USERINFO_SENDER_NAME);
        m_setUserInfo("-1", USERINFO_SHORT_REPLY_LENGTH);
        std::string bin = "Z:" + Env("VX_BIN_DIR");
        m_dictionary = std::make_unique<CGrammarDictionary>((bin + "/VindalexW.Vqt").c_str(),
                                                            (bin + "/VindalexR.Vqt").c_str(), nullptr, 0, nullptr);
        m_options = CreateParseOptions();
        for (CHTMLMsg* page : Pages())  // pages an earlier test left
            g_HTMLMgr.DetachMessage(page);
    }
    void TearDown() override
    {
        if (m_options)
            DeleteParseOptions(m_options);
        if (m_module) {
            m_setUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
            FreeLibrary(m_module);
        }
    }

    // A web request comes from the owner's own address, as the web server
    // marks the request it works on.
    int Offer(const std::string& line, const char* mode = "2", const char* from = "Web Requestuser1")
    {
        if (std::strcmp(mode, "2") == 0)
            SetWebRequestOwner("user1", true);
        return OfferLine({m_names, m_setUserInfo, m_rows, m_action}, m_dictionary.get(), m_options, line, mode, from);
    }

    OcavioSettings m_settings;
    std::string m_dir;
    HMODULE m_module = nullptr;
    GetActionsNameProc m_names = nullptr;
    SetUserInfoProc m_setUserInfo = nullptr;
    GetNumberOfActionsProc m_rows = nullptr;
    PluginActionProc m_action = nullptr;
    CString m_log, m_myName = "Vindalex Personal Assistant", m_sender = "Someone", m_installDir;
    std::unique_ptr<CGrammarDictionary> m_dictionary;
    ParseOptions* m_options = nullptr;
};

