// Drives the Ruvelo plug-in the way the host does, through the web pages so
// that the recording stays on disk: "Please let me hear the house." parsed with
// the assistant's grammar, offered row by row, answered with the recording or
// with the reason it failed. Run by sound_action_peer.py, which provides the
// sound input (a PulseAudio daemon with a 440 Hz tone, or none) and reads the
// WAV file back.
#include "plugin_interface.h"
#include "mapi/text_scramble.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include "options/wmoptions.h"
#include "webmsg/htmlmsg.h"
#include "../../tests/plugin_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The plug-in's values in the shared test prefix: set for the run, removed
// again when they were absent.
class RuveloSettings : public SettingsGuard {
public:
    RuveloSettings() : SettingsGuard({"Ruvelo-Active", "Ruvelo-Stereo"})
    {
        Write("Ruvelo-Active", 1);
        Write("Ruvelo-Stereo", 0);
    }
};

TEST(SoundAction, RecordsOrSaysWhyNot)
{
    std::string which = Env("VX_RUVELO_CASE");
    std::string dir = Env("VX_RUVELO_DIR");
    if (which.empty() || dir.empty())
        GTEST_SKIP() << "run by sound_action_peer.py";
    RuveloSettings settings;
    CWMOptions::m_strAssistantWWWDir = ("Z:" + dir + "/www").c_str();
    CreateDirectoryA(CWMOptions::m_strAssistantWWWDir, nullptr);

    HMODULE module = LoadLibraryA(("Z:" + Env("VX_BIN_DIR") + "/Ruvelo.kVX").c_str());
    ASSERT_NE(module, nullptr);
    auto names = reinterpret_cast<GetActionsNameProc>(GetProcAddress(module, "GetActionsName"));
    auto setUserInfo = reinterpret_cast<SetUserInfoProc>(GetProcAddress(module, "SetUserInfo"));
    auto rows = reinterpret_cast<GetNumberOfActionsProc>(GetProcAddress(module, "GetNumberOfActions"));
    auto action = reinterpret_cast<PluginActionProc>(GetProcAddress(module, "Ruvelo"));
    ASSERT_TRUE(names && setUserInfo && rows && action);

    CString log, myName = "Vindalex Personal Assistant", sender = "Someone";
    CString installDir = ("Z:" + dir + "\\").c_str();
    setUserInfo(module, USERINFO_MODULE);
    setUserInfo(&log, USERINFO_LOG);
    setUserInfo(&myName, USERINFO_MY_NAME);
    setUserInfo(&installDir, USERINFO_INSTALL_DIR);
    setUserInfo(&sender, USERINFO_SENDER_NAME);
    setUserInfo("-1", USERINFO_SHORT_REPLY_LENGTH);
    // By mail the answer goes out through the profile the peer registered.
    // "mail-stranger": asked by mail by someone the accepted-sender rule does
    // not trust (VX_RUVELO_REQUESTER).
    const bool stranger = which == "mail-stranger";
    const bool byMail = which == "mail" || stranger;
    const std::string asker = stranger ? Env("VX_RUVELO_REQUESTER") : std::string("someone@example.com");
    CString user = Env("VX_RUVELO_PROFILE").c_str(), password;
    if (byMail) {
        ZLMScrambleText(user, kScrambleKeyMailProfile);
        ZLMScrambleText(password, kScrambleKeyMailPassword);
        setUserInfo(&user, USERINFO_MAIL_USER);
        setUserInfo(&password, USERINFO_MAIL_PASSWORD);
    }

    std::string bin = "Z:" + Env("VX_BIN_DIR");
    CGrammarDictionary dictionary((bin + "/VindalexW.Vqt").c_str(), (bin + "/VindalexR.Vqt").c_str(), nullptr, 0,
                                  nullptr);
    ASSERT_TRUE(dictionary.IsLoaded());
    ParseOptions* options = CreateParseOptions();

    const std::string line = "Please let me hear the house.";
    int handled = 0;
    for (int row = 0; row < rows() && !handled; ++row) {
        std::string trigger = names(row, ACTION_ITEM_TRIGGER_WORD);
        std::string label = names(row, ACTION_ITEM_LINK_LABEL);
        if (Lower(line).find(trigger) == std::string::npos)
            continue;
        CSentence sentence(line.c_str(), &dictionary);
        if (sentence.Parse(options) <= 0)
            continue;
        CLinkage linkage(0, &sentence, options);
        std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
        for (size_t i = 0; i < links->size() && !handled; ++i) {
            const WordLinkage& link = (*links)[i];
            if (!LinkFitsRow(link, trigger, label))
                continue;
            setUserInfo(byMail ? "0" : "2", USERINFO_INTERFACE_MODE);
            // A web request comes from the owner's own address, as the web
            // server marks the request it works on.
            CString requester = byMail ? asker.c_str() : "Web Requestuser1";
            if (!byMail)
                SetWebRequestOwner("user1", true);
            handled = action(&requester, static_cast<int>(i), links.get(), 0);
        }
    }
    DeleteParseOptions(options);
    std::printf("%s", (const char*)log);
    std::vector<CHTMLMsg*> pages = Pages();
    if (stranger) {
        // Refused before anything is recorded (the peer reads the refusal).
        EXPECT_TRUE(pages.empty());
        EXPECT_NE(log.Find(("Refused \"Send a sound recording to: " + asker).c_str()), -1) << (const char*)log;
        EXPECT_EQ(log.Find("I have recorded"), -1) << (const char*)log;
        setUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
        FreeLibrary(module);
        return;
    }
    // Answered either way, so the host sends no second answer.
    EXPECT_EQ(handled, 1) << (const char*)log;
    if (byMail) {
        EXPECT_TRUE(pages.empty());
        EXPECT_NE(log.Find("Send a sound recording to: Someone(someone@example.com)."), -1) << (const char*)log;
        setUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
        FreeLibrary(module);
        return;
    }
    ASSERT_EQ(pages.size(), 1u) << (const char*)log;
    EXPECT_EQ(std::string((const char*)pages[0]->m_strSubject), "Audio Response.");
    std::string text = (const char*)pages[0]->m_strBody;
    if (which == "tone") {
        EXPECT_EQ(text, "I have recorded 1 channel sound and attached it at your request.\r\n");
        EXPECT_EQ(pages[0]->m_AttachmentNames.GetCount(), 1);
    } else {
        EXPECT_EQ(text.rfind("There were some problems recording sound. Sorry.\r\n(", 0), 0u) << text;
        EXPECT_EQ(text.substr(text.size() - 3), ")\r\n") << text;
        EXPECT_EQ(pages[0]->m_AttachmentNames.GetCount(), 0);
    }
    EXPECT_NE(log.Find("Send a sound recording to: Someone(Web Requestuser1)."), -1) << (const char*)log;
    // The device is closed again: a second opening of the input succeeds or
    // fails exactly as the first did, and nothing keeps recording.
    setUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
    FreeLibrary(module);
}

} // namespace
