// Drives one of the summary, program, listing and file plug-ins the way the
// host does: loads the module, hands it the settings, parses the request line
// with the packed grammar, offers it to the plug-in's rows link by link and
// calls the row's export. mail_action_peer.py writes the mail box, the files
// and the profile (whose mail goes to a real SMTP server), runs this with
// VX_ACTION_* set and reads what arrived.
//
// Without VX_ACTION_PLUGIN the same program checks that each plug-in's test
// sentences give their test reading, as the dictionary test asks them.
#include "plugin_interface.h"
#include "mapi/text_scramble.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include "fx/fxwin.h"
#include "options/wmoptions.h"
#include "webmsg/htmlmsg.h"
#include "plugin_test_support.h"
#include "accepted_senders.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "testsupport/split.h"

namespace {

std::string BinDir()
{
    return "Z:" + Env("VX_BIN_DIR");
}

// The plug-in's values in the shared test prefix.
std::vector<std::string> SettingNames(const std::string& plugin)
{
    std::vector<std::string> names;
    for (const char* option : {"Active", "DefaultNew", "UseFindFile", "UseZip", "Folders", "Files"})
        names.push_back(plugin + "-" + option);
    return names;
}

// Removes the named values of the plug-ins' key (the guard puts them back).
void ClearValues(const std::vector<std::string>& names)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (const std::string& name : names)
        RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

class Grammar {
public:
    Grammar()
        : m_dict(std::make_unique<CGrammarDictionary>((BinDir() + "\\VindalexW.Vqt").c_str(),
                                                      (BinDir() + "\\VindalexR.Vqt").c_str(), nullptr, 0, nullptr)),
          m_options(CreateParseOptions())
    {
    }
    ~Grammar() { DeleteParseOptions(m_options); }
    bool Loaded() const { return m_dict->IsLoaded(); }

    // The links of the linkage the engine takes; empty when the line does not parse.
    std::vector<WordLinkage> Parse(const std::string& line)
    {
        CSentence sentence(line.c_str(), m_dict.get());
        int n = 0;
        try {
            n = sentence.Parse(m_options);
        } catch (...) {
            n = 0;
        }
        if (n <= 0)
            return {};
        CLinkage linkage(1, &sentence, m_options);
        std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
        return *links;
    }

private:
    std::unique_ptr<CGrammarDictionary> m_dict;
    ParseOptions* m_options;
};

bool WordMatches(const std::string& trigger, const std::string& word)
{
    std::string w = Lower(word.substr(0, trigger.size()));
    return trigger.compare(0, w.size(), w) == 0;
}

class LoadedPlugIn {
public:
    explicit LoadedPlugIn(const std::string& name)
    {
        std::string module = BinDir() + "\\" + name + ".kVX";
        m_h = LoadLibraryA(module.c_str());
        if (!m_h)
            return;
        getActionsName = reinterpret_cast<GetActionsNameProc>(GetProcAddress(m_h, "GetActionsName"));
        setUserInfo = reinterpret_cast<SetUserInfoProc>(GetProcAddress(m_h, "SetUserInfo"));
        getNumberOfActions = reinterpret_cast<GetNumberOfActionsProc>(GetProcAddress(m_h, "GetNumberOfActions"));
        if (setUserInfo) {
            setUserInfo(m_h, USERINFO_MODULE);
            setUserInfo(&m_log, USERINFO_LOG);
        }
    }
    ~LoadedPlugIn()
    {
        if (!m_h)
            return;
        if (setUserInfo)
            setUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
        FreeLibrary(m_h);
    }
    bool Ready() const { return m_h && getActionsName && setUserInfo && getNumberOfActions; }

    // The host's offer of a request line: every row whose trigger word occurs
    // in the line, a fresh parse, link by link (label cut to the row's, word
    // test); the first nonzero answer.
    int Offer(Grammar& grammar, const std::string& line, CString& requester)
    {
        std::string lower = Lower(line);
        for (int row = 0; row < getNumberOfActions(); ++row) {
            std::string trigger = getActionsName(row, ACTION_ITEM_TRIGGER_WORD);
            std::string label = getActionsName(row, ACTION_ITEM_LINK_LABEL);
            auto action = reinterpret_cast<PluginActionProc>(
                GetProcAddress(m_h, getActionsName(row, ACTION_ITEM_EXPORT_NAME)));
            if (!action || lower.find(trigger.substr(0, trigger.find('.'))) == std::string::npos)
                continue;
            std::vector<WordLinkage> links = grammar.Parse(line);
            for (size_t i = 0; i < links.size(); ++i) {
                std::string linkLabel = (const char*)links[i].m_strLinkLabel;
                if (linkLabel.substr(0, label.size()) != label)
                    continue;
                if (!WordMatches(trigger, (const char*)links[i].m_strLeftWord) &&
                    !WordMatches(trigger, (const char*)links[i].m_strRightWord))
                    continue;
                if (action(&requester, static_cast<int>(i), &links, 0))
                    return 1;
            }
        }
        return 0;
    }

    HMODULE m_h = nullptr;
    GetActionsNameProc getActionsName = nullptr;
    SetUserInfoProc setUserInfo = nullptr;
    GetNumberOfActionsProc getNumberOfActions = nullptr;
    CString m_log;
};

using testsupport::Split;

// A web summary: one page whose entries open their message; an entry index
// the page does not hold, or no index at all, opens nothing.
void CheckSummaryPage()
{
    std::vector<CHTMLMsg*> pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    CHTMLMsg* summary = pages[0];
    EXPECT_EQ(std::string((const char*)summary->m_strSubject), "Summary of messages.");
    EXPECT_EQ(std::string((const char*)summary->m_strUserID), "user1");
    const std::string html = (const char*)summary->RenderHTML();
    const std::string link = "AssistantReply.kvx?req=FullMsgRead?UserID=user1?MessageID=" +
                             std::to_string(summary->GetMessageID()) + "?USRBTN1";
    // One entry per listed message, indexed from 0.
    const int entries = std::atoi(Env("VX_ACTION_ENTRIES").c_str());
    for (int i = 0; i < entries; ++i)
        EXPECT_NE(html.find(link + std::to_string(i) + "=Read\">[more...]</a>"), std::string::npos) << html;
    EXPECT_EQ(html.find(link + std::to_string(entries) + "=Read"), std::string::npos) << html;

    const std::string past = "USRBTN1" + std::to_string(entries) + "=Read";
    for (const char* action : {past.c_str(), "USRBTN1-1=Read", "USRBTN199999999999=Read", "USRBTN1=Read",
                               "USRBTN1x=Read", "USRBTN10"}) {
        summary->ExecuteAction(action);
        EXPECT_EQ(Pages().size(), 1u) << action;
    }
    summary->ExecuteAction("req=FullMsgRead|UserID=user1|USRBTN10=Read");
    pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    CHTMLMsg* opened = pages[0] == summary ? pages[1] : pages[0];
    std::printf("OPENED=%s\n", (const char*)opened->m_strSubject);
    EXPECT_NE(opened->RenderHTML().Find("[reply]</a>"), -1);
}

TEST(MailAction, AnswersTheRequest)
{
    const std::string plugin = Env("VX_ACTION_PLUGIN");
    if (plugin.empty())
        GTEST_SKIP() << "run by mail_action_peer.py";
    SettingsGuard settings(SettingNames(plugin));
    // Each run starts from the plug-in's own defaults: another program in the
    // prefix (the assistant saves every plug-in's settings) may have left a
    // value, such as zipping files, that this run does not ask for.
    ClearValues(SettingNames(plugin));
    SettingsGuard::Write(plugin + "-Active", 1);
    // "UseZip=1,UseFindFile=0"
    for (const std::string& pair : Split(Env("VX_ACTION_SETTINGS"), ',')) {
        size_t eq = pair.find('=');
        ASSERT_NE(eq, std::string::npos) << pair;
        SettingsGuard::Write(plugin + "-" + pair.substr(0, eq), static_cast<DWORD>(std::atoi(pair.c_str() + eq + 1)));
    }
    std::unique_ptr<AcceptedSenders> accepted;
    if (!Env("VX_ACTION_ACCEPTED").empty())
        accepted = std::make_unique<AcceptedSenders>(Env("VX_ACTION_ACCEPTED"));

    Grammar grammar;
    ASSERT_TRUE(grammar.Loaded());
    LoadedPlugIn p(plugin);
    ASSERT_TRUE(p.Ready()) << plugin;

    CString user = Env("VX_ACTION_PROFILE").c_str();
    ZLMScrambleText(user, kScrambleKeyMailProfile);
    CString password;
    ZLMScrambleText(password, kScrambleKeyMailPassword);
    CString myName = "Vindalex Personal Assistant";
    CString senderName = "Someone";
    CString installDir = Env("VX_ACTION_INSTALL_DIR").c_str();
    // Scrambled as the settings keep it.
    CString zipPassword = Env("VX_ACTION_ZIP_PASSWORD").c_str();
    if (!zipPassword.IsEmpty())
        ZLMScrambleText(zipPassword, kScrambleKeyZipPassword);
    std::string mode = Env("VX_ACTION_MODE").empty() ? "0" : Env("VX_ACTION_MODE");
    p.setUserInfo(&user, USERINFO_MAIL_USER);
    p.setUserInfo(&password, USERINFO_MAIL_PASSWORD);
    p.setUserInfo(&myName, USERINFO_MY_NAME);
    p.setUserInfo(&senderName, USERINFO_SENDER_NAME);
    p.setUserInfo(&installDir, USERINFO_INSTALL_DIR);
    p.setUserInfo(&zipPassword, USERINFO_ZIP_PASSWORD);
    p.setUserInfo(mode.c_str(), USERINFO_INTERFACE_MODE);

    if (!Env("VX_ACTION_WEB_DIR").empty())
        CWMOptions::m_strAssistantWWWDir = ("Z:" + Env("VX_ACTION_WEB_DIR")).c_str();

    CString requester = Env("VX_ACTION_REQUESTER").c_str();
    // A web request is the owner's as the web server marks it (the owner's
    // own address); VX_ACTION_WEB_GUEST asks as a guest instead.
    if (mode == "2" && requester.Left(11) == "Web Request")
        SetWebRequestOwner(requester.Mid(11), Env("VX_ACTION_WEB_GUEST").empty());
    int result = p.Offer(grammar, Env("VX_ACTION_REQUEST"), requester);
    ClearWebRequestOwner();
    std::printf("%s", (const char*)p.m_log);
    std::printf("RESULT=%d\n", result);
    EXPECT_EQ(result, std::atoi(Env("VX_ACTION_EXPECT").c_str())) << (const char*)p.m_log;
    if (mode == "2")
        CheckSummaryPage();
}

// The action rows the host reads from each plug-in: trigger word and link
// label, in order, every row naming the plug-in's export; the row past the
// last answers nothing.
TEST(MailAction, ActionRowsAreTheInterfacesOwn)
{
    if (!Env("VX_ACTION_PLUGIN").empty())
        GTEST_SKIP();
    const std::string twelve = "send.v/O*n send.v/Opn send.v/Op show/O*n show/Opn show/Op what/O*n what/Opn what/Op "
                               "which/O*n which/Opn which/Op";
    struct Case {
        const char* plugin;
        const char* exportName;
        std::string rows;
    } cases[] = {
        {"Sumvane", "SendMeNewMail", twelve},
        {"Skrivo", "RunBatchFile", "execute.v/MV run.v/MV execute.v/FOL run.v/FOL"},
        {"Listavo", "ShowDir", "send/Op send/S send/O*n show/Op show/S show/O*n"},
        {"Parcavo", "Parcavo", "send/O*n send/Op send/S show/O*n show/Op show/S"},
    };
    for (const Case& c : cases) {
        LoadedPlugIn p(c.plugin);
        ASSERT_TRUE(p.Ready()) << c.plugin;
        std::string rows;
        const int count = p.getNumberOfActions();
        for (int row = 0; row < count; ++row) {
            const char* trigger = p.getActionsName(row, ACTION_ITEM_TRIGGER_WORD);
            const char* label = p.getActionsName(row, ACTION_ITEM_LINK_LABEL);
            const char* name = p.getActionsName(row, ACTION_ITEM_EXPORT_NAME);
            ASSERT_TRUE(trigger && label && name) << c.plugin << " row " << row;
            rows += (rows.empty() ? "" : " ") + std::string(trigger) + "/" + label;
            EXPECT_STREQ(name, c.exportName) << c.plugin << " row " << row;
        }
        EXPECT_EQ(rows, c.rows) << c.plugin;
        EXPECT_EQ(p.getActionsName(count, ACTION_ITEM_TRIGGER_WORD), nullptr) << c.plugin;
    }
}

// Each plug-in's test sentences, in test mode, reach one of its rows with the
// reading the plug-in expects, and nothing is sent.
TEST(MailAction, TestSentencesGiveTheirTestReading)
{
    if (!Env("VX_ACTION_PLUGIN").empty())
        GTEST_SKIP();
    Grammar grammar;
    ASSERT_TRUE(grammar.Loaded());
    for (const char* name : {"Sumvane", "Skrivo", "Listavo", "Parcavo"}) {
        SettingsGuard settings(SettingNames(name));
        LoadedPlugIn p(name);
        ASSERT_TRUE(p.Ready()) << name;
        int count = std::atoi(p.getActionsName(-1, PLUGIN_INFO_TEST_COUNT));
        ASSERT_GT(count, 0) << name;
        for (int i = 1; i <= count; ++i) {
            std::string sentence = p.getActionsName(-i, PLUGIN_INFO_TEST_SENTENCE);
            CString requester = "Vindalex Personal Assistant";
            EXPECT_EQ(p.Offer(grammar, sentence, requester), 1) << name << ": " << sentence << "\n"
                                                                << (const char*)p.m_log;
        }
        p.getActionsName(-1, PLUGIN_INFO_TEST_END);
    }
}

} // namespace
