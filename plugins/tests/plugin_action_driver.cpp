// Drives one plug-in module the way the host does, for the Python peers that
// check what the plug-in mails: loads the module named by VX_ACTION_MODULE,
// logs it on to the mail profile VX_ACTION_PROFILE, and runs the steps of the
// file VX_ACTION_STEPS, one a line, tab-separated:
//   request <requester> <sender name> <line>  - the line parsed and offered
//       to the module's rows (its own grammar block when it has one), as the
//       host offers a line of a mail;
//   mail <requester> <sender name> <subject> <text>  - a whole incoming mail
//       offered to the module's "**" rows without a parse (a backslash
//       and an "n" in the text stand for a line end);
//   tests - - -  - the module's test sentences offered in test mode, as the
//       host's dictionary test does: "TEST <i> <result>" for each.
// Each step prints "STEP <n> <result>". The module's settings are set active
// for the run (VX_ACTION_SETTINGS may add name=value texts, ';'-separated);
// every value the run added to the key is removed again. VX_ACTION_ACCEPTED,
// when set, is the program's accepted-sender list for the run (one address).
#include "plugin_interface.h"
#include "accepted_senders.h"
#include "mapi/text_scramble.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::vector<std::string> Split(const std::string& text, char at)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, at))
        parts.push_back(part);
    return parts;
}

// The Korvaneant1 values the run adds are removed again: the test prefix is
// shared with the other plug-in tests.
class KeyGuard {
public:
    KeyGuard() { m_before = Names(); }
    ~KeyGuard()
    {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        for (const std::string& name : Names())
            if (!m_before.count(name))
                ::RegDeleteValueA(key, name.c_str());
        ::RegCloseKey(key);
    }

private:
    static std::set<std::string> Names()
    {
        std::set<std::string> names;
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return names;
        for (DWORD i = 0; i < 10000; ++i) {
            char name[256];
            DWORD size = sizeof(name);
            if (::RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.insert(name);
        }
        ::RegCloseKey(key);
        return names;
    }
    std::set<std::string> m_before;
};

void SetValue(const std::string& name, const std::string& value, bool number)
{
    HKEY key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (number) {
        DWORD v = static_cast<DWORD>(std::atoi(value.c_str()));
        ::RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
    } else {
        ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    }
    ::RegCloseKey(key);
}

class Module {
public:
    explicit Module(const std::string& name) : m_name(name)
    {
        std::string path = "Z:" + Env("VX_BIN_DIR") + "/" + name + ".kVX";
        h = ::LoadLibraryA(path.c_str());
        if (!h)
            return;
        names = reinterpret_cast<GetActionsNameProc>(::GetProcAddress(h, "GetActionsName"));
        setUserInfo = reinterpret_cast<SetUserInfoProc>(::GetProcAddress(h, "SetUserInfo"));
        count = reinterpret_cast<GetNumberOfActionsProc>(::GetProcAddress(h, "GetNumberOfActions"));
    }
    ~Module()
    {
        if (h) {
            if (setUserInfo)
                setUserInfo("UnLoadKVX", USERINFO_UNLOAD);
            ::FreeLibrary(h);
        }
    }
    bool Ok() const { return h && names && setUserInfo && count; }

    HMODULE h = nullptr;
    GetActionsNameProc names = nullptr;
    SetUserInfoProc setUserInfo = nullptr;
    GetNumberOfActionsProc count = nullptr;
    std::string m_name;
};

// What the host hands a plug-in before each call.
struct Call {
    CString user, password, myName, log, instDir, requester, senderName, subject, text, sentence;
    CStringList words;
};

void SendRequest(Module& m, Call& c, bool parsed)
{
    CString empty;
    m.setUserInfo(&c.user, USERINFO_MAIL_USER);
    m.setUserInfo(&c.password, USERINFO_MAIL_PASSWORD);
    m.setUserInfo(&c.myName, USERINFO_MY_NAME);
    m.setUserInfo(&c.log, USERINFO_LOG);
    m.setUserInfo(parsed ? &c.words : nullptr, USERINFO_WORD_LIST);
    m.setUserInfo(&c.text, USERINFO_REQUEST_TEXT);
    m.setUserInfo(parsed ? &c.sentence : &empty, USERINFO_SENTENCE_TEXT);
    m.setUserInfo(&c.subject, USERINFO_SUBJECT);
    m.setUserInfo(&c.instDir, USERINFO_INSTALL_DIR);
    m.setUserInfo(nullptr, USERINFO_ATTACHMENTS);
    m.setUserInfo(&c.senderName, USERINFO_SENDER_NAME);
    m.setUserInfo("0", USERINFO_INTERFACE_MODE);
    m.setUserInfo("-1", USERINFO_SHORT_REPLY_LENGTH);
    m.setUserInfo("0", USERINFO_ZERO);
}

bool Wakes(const std::string& trigger, std::string lowerLine)
{
    if (trigger == "**")
        return false;
    std::string t = trigger.substr(0, trigger.find('.'));
    for (char& ch : t)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return lowerLine.find(t) != std::string::npos;
}

bool WordMatches(const std::string& trigger, std::string word)
{
    word = word.substr(0, trigger.size());
    for (char& ch : word)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return trigger.compare(0, word.size(), word) == 0;
}

int OfferLine(Module& m, Call& c, const std::string& line, ParseOptions* options)
{
    std::string dir = "Z:" + Env("VX_BIN_DIR");
    std::unique_ptr<CGrammarDictionary> dictionary;
    const char* size = m.names(-2, PLUGIN_INFO_DICTIONARY);
    const char* block = m.names(-1, PLUGIN_INFO_DICTIONARY);
    long bytes = size ? std::strtol(size, nullptr, 10) : 0;
    if (bytes > 0 && block)
        dictionary = std::make_unique<CGrammarDictionary>("", (dir + "/VindalexR.Vqt").c_str(), block,
                                                          static_cast<unsigned>(bytes), m.names);
    else
        dictionary = std::make_unique<CGrammarDictionary>((dir + "/VindalexW.Vqt").c_str(),
                                                          (dir + "/VindalexR.Vqt").c_str(), nullptr, 0, nullptr);
    if (!dictionary->IsLoaded())
        return -1;
    std::string lower = line;
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    auto action = [&](int row) {
        return reinterpret_cast<PluginActionProc>(::GetProcAddress(m.h, m.names(row, ACTION_ITEM_EXPORT_NAME)));
    };
    for (int row = 0; row < m.count(); ++row) {
        std::string trigger = m.names(row, ACTION_ITEM_TRIGGER_WORD);
        std::string label = m.names(row, ACTION_ITEM_LINK_LABEL);
        if (!Wakes(trigger, lower))
            continue;
        CSentence sentence(line.c_str(), dictionary.get());
        if (sentence.Parse(options) <= 0)
            continue;
        CLinkage linkage(0, &sentence, options);
        std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
        c.words.RemoveAll();
        for (int w = 0; w < linkage.GetNumWords(); ++w)
            c.words.AddTail(linkage.GetWord(w) ? linkage.GetWord(w) : "");
        c.sentence = line.c_str();
        for (size_t i = 0; i < links->size(); ++i) {
            const WordLinkage& link = (*links)[i];
            if (std::string((const char*)link.m_strLinkLabel).substr(0, label.size()) != label)
                continue;
            if (!WordMatches(trigger, (const char*)link.m_strLeftWord) &&
                !WordMatches(trigger, (const char*)link.m_strRightWord))
                continue;
            SendRequest(m, c, true);
            int fifo = 0;
            if (action(row)(&c.requester, static_cast<int>(i), links.get(), fifo))
                return 1;
        }
    }
    return 0;
}

int OfferMail(Module& m, Call& c)
{
    for (int row = 0; row < m.count(); ++row) {
        if (std::string(m.names(row, ACTION_ITEM_LINK_LABEL)) != ACTION_LABEL_TENTATIVE_PASS)
            continue;
        auto action = reinterpret_cast<PluginActionProc>(::GetProcAddress(m.h, m.names(row, ACTION_ITEM_EXPORT_NAME)));
        SendRequest(m, c, false);
        if (action(&c.requester, -1, nullptr, 0))
            return 1;
    }
    return 0;
}

TEST(PluginAction, RunsTheSteps)
{
    std::string name = Env("VX_ACTION_MODULE");
    std::string steps = Env("VX_ACTION_STEPS");
    std::string profile = Env("VX_ACTION_PROFILE");
    if (name.empty() || steps.empty() || profile.empty())
        GTEST_SKIP() << "run by a plug-in's action peer";

    KeyGuard guard;
    std::unique_ptr<AcceptedSenders> accepted;
    if (!Env("VX_ACTION_ACCEPTED").empty())
        accepted = std::make_unique<AcceptedSenders>(Env("VX_ACTION_ACCEPTED"));
    SetValue(name + "-Active", "1", true);
    for (const std::string& setting : Split(Env("VX_ACTION_SETTINGS"), ';')) {
        size_t eq = setting.find('=');
        if (eq != std::string::npos)
            SetValue(name + "-" + setting.substr(0, eq), setting.substr(eq + 1), false);
    }
    {
        Module m(name);
        ASSERT_TRUE(m.Ok()) << name;
        m.setUserInfo(m.h, USERINFO_MODULE);
        Call c;
        c.user = profile.c_str();
        ZLMScrambleText(c.user, kScrambleKeyMailProfile);
        ZLMScrambleText(c.password, kScrambleKeyMailPassword);
        c.myName = "Vindi";
        c.instDir = Env("VX_ACTION_INSTALL_DIR").c_str();
        ParseOptions* options = CreateParseOptions();
        std::ifstream in(steps);
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::vector<std::string> f = Split(line, '\t');
            if (f.size() < 4)
                continue;
            c.requester = f[1].c_str();
            c.senderName = f[2].c_str();
            int result = -1;
            if (f[0] == "request") {
                c.subject = "Vindi, a request";
                c.text = f[3].c_str();
                result = OfferLine(m, c, f[3], options);
            } else if (f[0] == "tests") {
                const char* total = m.names(-1, PLUGIN_INFO_TEST_COUNT);
                int sentences = total ? std::atoi(total) : 0;
                result = 0;
                for (int i = 1; i <= sentences; ++i) {
                    std::string sentence = m.names(-i, PLUGIN_INFO_TEST_SENTENCE);
                    c.subject = "Vindi, a test";
                    c.text = sentence.c_str();
                    int r = OfferLine(m, c, sentence, options);
                    std::printf("TEST %d %d %s\n", i, r, sentence.c_str());
                    result += r == 1 ? 1 : 0;
                }
                m.names(-1, PLUGIN_INFO_TEST_END);
            } else if (f[0] == "mail" && f.size() >= 5) {
                c.subject = f[3].c_str();
                c.text = f[4].c_str();
                c.text.Replace("\\n", "\r\n");
                result = OfferMail(m, c);
            }
            std::printf("STEP %d %d\n", n, result);
        }
        DeleteParseOptions(options);
        std::printf("---- log\n%s\n---- end of log\n", (const char*)c.log);
    }
}

} // namespace
