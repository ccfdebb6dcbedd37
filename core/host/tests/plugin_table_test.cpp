// The plug-in table over real modules: the test plug-ins of host_plugins/ are
// copied into a fresh current folder, loaded, fed, called and unloaded; each
// writes what it was asked into events.txt there.
#include "plugin_table.h"

#include "assistant_settings.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of("\\/") + 1);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')  // the plug-ins write text mode
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

std::string Hex(const void* p)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%p", p);
    return text;
}

// A fresh current folder holding the named test plug-ins.
class PluginFolder {
public:
    explicit PluginFolder(std::initializer_list<const char*> names)
    {
        char old[MAX_PATH] = {};
        ::GetCurrentDirectoryA(MAX_PATH, old);
        m_old = old;
        for (const char* name : names) {
            std::string from = ExeFolder() + "host_plugins\\" + name + ".kVX";
            EXPECT_TRUE(::CopyFileA(from.c_str(), m_dir.file(std::string(name) + ".kVX").c_str(), FALSE)) << from;
        }
        EXPECT_TRUE(::SetCurrentDirectoryA(m_dir.path().c_str()));
    }
    ~PluginFolder() { ::SetCurrentDirectoryA(m_old.c_str()); }
    std::vector<std::string> Events() const { return Lines(testsupport::ReadFile(m_dir.file("events.txt"))); }
    // The events of one plug-in, without its tag.
    std::vector<std::string> Events(char tag) const
    {
        std::vector<std::string> mine;
        for (const std::string& e : Events())
            if (e[0] == tag)
                mine.push_back(e.substr(2));
        return mine;
    }
    void ClearEvents() const { ::DeleteFileA(m_dir.file("events.txt").c_str()); }

private:
    testsupport::TempDir m_dir;
    std::string m_old;
};

// The tag of a loaded module, from its file name.
char TagOf(void* hModule)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(static_cast<HMODULE>(hModule), path, MAX_PATH);
    std::string p(path);
    return p[p.find_last_of("\\/") + 9];  // "HostTestX.kVX"
}

} // namespace

TEST(PluginTable, EmptyFolderGivesAnEmptyTable)
{
    PluginFolder folder({});
    CPluginTable table;
    EXPECT_EQ(table.GetNumberOfRows(), 0);
    EXPECT_TRUE(table.GetModules().empty());
    EXPECT_EQ(table.GetNumberOfIdlers(), 0);
    table.SendSettings();
    table.DoIdleTurns();
}

TEST(PluginTable, VersionsRowsIdlersAndUnloadInLoadOrder)
{
    PluginFolder folder({"HostTestA", "HostTestB", "HostTestC", "HostTestD", "HostTestE"});
    std::string order;  // tags in load order
    {
        CPluginTable table;
        for (const PluginModule& m : table.GetModules())
            order += TagOf(m.m_hModule);
        // -4 is unloaded at once; no version (0xDEAD), -1, -2 and -3 stay.
        std::string sorted = order;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, "ABCE");
        EXPECT_EQ(folder.Events('D'), (std::vector<std::string>{"attach", "detach"}));

        // Rows: A keeps two of three (no export "NoSuchExport"), B two, C one,
        // E none (no SetUserInfo), in load order.
        std::map<char, std::vector<std::string>> rows = {
            {'A', {"send.v O*n", "show Op"}}, {'B', {"** **", "* *"}}, {'C', {"tell O"}}, {'E', {}}};
        std::vector<std::string> expected, actual;
        for (char t : order)
            expected.insert(expected.end(), rows[t].begin(), rows[t].end());
        for (int i = 0; i < table.GetNumberOfRows(); ++i)
            actual.push_back(std::string(table.GetTriggerWord(i)) + " " + std::string(table.GetLinkLabel(i)));
        EXPECT_EQ(actual, expected);
        for (int i = 0; i < table.GetNumberOfRows(); ++i) {
            EXPECT_NE(table.GetAction(i), nullptr);
            EXPECT_NE(table.GetSetUserInfo(i), nullptr);
            EXPECT_NE(table.GetGetActionsName(i), nullptr);
        }

        // Each module with SetUserInfo got its own handle with code 4, and nothing else.
        for (const PluginModule& m : table.GetModules()) {
            char t = TagOf(m.m_hModule);
            std::vector<std::string> infos;
            for (const std::string& e : folder.Events(t))
                if (e.rfind("info", 0) == 0)
                    infos.push_back(e);
            if (t == 'E') {
                EXPECT_EQ(m.m_pfnSetUserInfo, nullptr);
                EXPECT_TRUE(infos.empty());
            } else {
                EXPECT_EQ(infos, (std::vector<std::string>{"info 4 " + Hex(m.m_hModule)})) << t;
            }
        }

        // Idle entries: only versions -2 and -3 that export DoKVXIlder, one after the other.
        EXPECT_EQ(table.GetNumberOfIdlers(), 2);
        folder.ClearEvents();
        table.DoIdleTurns();
        std::string idleOrder;
        for (const std::string& e : folder.Events())
            if (e.substr(2) == "idle")
                idleOrder += e[0];
        std::string expectedIdle;
        for (char t : order)
            if (t == 'A' || t == 'B')
                expectedIdle += t;
        EXPECT_EQ(idleOrder, expectedIdle);
        folder.ClearEvents();
    }
    // Unload: "UnLoadKVX" with -1, then the module goes, one module after the other.
    std::vector<std::string> expected;
    for (char t : order) {
        if (t != 'E')
            expected.push_back(std::string(1, t) + " info -1 UnLoadKVX");
        expected.push_back(std::string(1, t) + " detach");
    }
    EXPECT_EQ(folder.Events(), expected);
}

TEST(PluginTable, SettingsPushReachesEveryRow)
{
    PluginFolder folder({"HostTestA", "HostTestC"});
    g_Settings.SetUNM("4A 4B ");
    g_Settings.SetUPM("50 57 ");
    g_Settings.SetMyName("Vindalex");
    g_Settings.SetZipPassword("5A ");
    g_Settings.SetUnZipPassword("55 ");
    g_Settings.SetInstDir("C:\\Vindalex\\");
    CPluginTable table;
    folder.ClearEvents();
    table.SendSettings();
    std::vector<std::string> push = {"info 0 4A 4B ", "info 1 50 57 ", "info 2 Vindalex",
                                     "info 3 " + Hex(&g_strLog), "info 9 5A ", "info 10 55 ",
                                     "info 11 C:\\Vindalex\\", "info 16 0"};
    // A has two rows: twice; C one: once.
    std::vector<std::string> twice = push;
    twice.insert(twice.end(), push.begin(), push.end());
    EXPECT_EQ(folder.Events('A'), twice);
    EXPECT_EQ(folder.Events('C'), push);
    folder.ClearEvents();
}

TEST(PluginTable, ActionCallsOverTheTable)
{
    PluginFolder folder({"HostTestA", "HostTestB"});
    g_Settings.SetCheckFIFO(0);
    CPluginTable table;
    int sendRow = -1, finalRow = -1, tentativeRow = -1;
    for (int i = 0; i < table.GetNumberOfRows(); ++i) {
        if (table.GetLinkLabel(i) == "O*n")
            sendRow = i;
        if (table.GetLinkLabel(i) == "*")
            finalRow = i;
        if (table.GetLinkLabel(i) == "**")
            tentativeRow = i;
    }
    ASSERT_GE(sendRow, 0);
    ASSERT_GE(finalRow, 0);
    ASSERT_GE(tentativeRow, 0);

    std::vector<WordLinkage> links;
    links.emplace_back("please", "Wi", "send.v", 0, 1);
    links.emplace_back("send.v", "O*n", "messages.n", 1, 3);
    CStringList words;
    auto call = [&](int row, const char* requester, bool parsed) {
        return CPluginActionCall(table.GetTriggerWord(row), table.GetLinkLabel(row), requester, "Jane", "text",
                                 "sentence", "subject", 0, table.GetAction(row), table.GetSetUserInfo(row), nullptr,
                                 &links, parsed ? &words : nullptr, -1, MODE_EMAIL);
    };
    folder.ClearEvents();
    EXPECT_EQ(call(sendRow, "jane@example.org", true).Run(0), 1);
    std::vector<std::string> a = folder.Events('A');
    ASSERT_EQ(a.size(), 17u);  // the 16 codes, then the action
    EXPECT_EQ(a[4], "info 5 " + Hex(&words));
    EXPECT_EQ(a[16], "act jane@example.org 1 2 0");

    // An exception on the parse path: logged, and the request goes on.
    g_strLog.Empty();
    folder.ClearEvents();
    EXPECT_EQ(call(sendRow, "throw", true).Run(0), 0);
    EXPECT_STREQ(g_strLog, "Plugin- Catch(...)\r\n");

    // Without a parse: the "*" row on the final pass, the "**" row on the tentative one.
    folder.ClearEvents();
    EXPECT_EQ(call(finalRow, "jane@example.org", false).Run(0), 7);
    EXPECT_EQ(call(finalRow, "jane@example.org", false).Run(1), 0);
    EXPECT_EQ(call(tentativeRow, "jane@example.org", false).Run(1), 7);
    EXPECT_EQ(call(tentativeRow, "jane@example.org", false).Run(0), 0);
    std::vector<std::string> acts;
    for (const std::string& e : folder.Events('B'))
        if (e.rfind("act", 0) == 0)
            acts.push_back(e);
    EXPECT_EQ(acts, (std::vector<std::string>{"act jane@example.org -1 2 0", "act jane@example.org -1 2 0"}));
    // ... where an exception is the caller's.
    EXPECT_ANY_THROW(call(finalRow, "throw", false).Run(0));
}

TEST(PluginTable, TheTenPlugInsOfTheInstallTreeLoadWithTheirRows)
{
    const char* bin = std::getenv("VX_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    std::string folder = std::string("Z:") + bin;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    char old[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, old);
    ASSERT_TRUE(::SetCurrentDirectoryA(folder.c_str()));
    std::map<std::string, int> rows;
    {
        CPluginTable table;
        for (int i = 0; i < table.GetNumberOfRows(); ++i) {
            // The module of a row: the one whose SetUserInfo the row carries.
            for (const PluginModule& m : table.GetModules()) {
                if (m.m_pfnSetUserInfo != table.GetSetUserInfo(i))
                    continue;
                char path[MAX_PATH] = {};
                ::GetModuleFileNameA(static_cast<HMODULE>(m.m_hModule), path, MAX_PATH);
                std::string name(path);
                name = name.substr(name.find_last_of("\\/") + 1);
                ++rows[name.substr(0, name.find('.'))];
            }
        }
        EXPECT_EQ(table.GetModules().size(), 10u);
        EXPECT_EQ(table.GetNumberOfIdlers(), 0);
    }
    ::SetCurrentDirectoryA(old);
    // The plug-ins stored their settings at unload; leave the key as found.
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        std::vector<std::string> names;
        char name[256];
        DWORD size = sizeof(name);
        for (DWORD i = 0; ::RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, size = sizeof(name)) {
            std::string n(name);
            if (rows.count(n.substr(0, n.find('-'))))
                names.push_back(n);
        }
        for (const std::string& n : names)
            ::RegDeleteValueA(key, n.c_str());
        ::RegCloseKey(key);
    }
    std::map<std::string, int> expected = {{"Horolux", 3}, {"Relvane", 12}, {"Sumvane", 12}, {"Ocavio", 6},
                                           {"Tulavo", 10}, {"Ruvelo", 6},   {"Skrivo", 4},   {"Listavo", 6},
                                           {"Chimavo", 10}, {"Parcavo", 6}};
    EXPECT_EQ(rows, expected);
}
