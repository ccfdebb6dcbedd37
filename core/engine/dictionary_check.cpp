#include "dictionary_check.h"

#include "request_engine.h"

#include "plugin_table.h"
#include "running_log.h"

#include "mapi/mapi_lists.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <new>

namespace {

// The linkage the request road offers: the best one.
const int kLinkageToOffer = 0;

CString Item(GetActionsNameProc names, int row, int item)
{
    const char* text = names ? names(row, item) : nullptr;
    return text ? CString(text) : CString();
}

// The plug-in's own dictionary, as the request road builds it, or null for
// the start-up one. The rules file is the program's, whatever the current folder.
CGrammarDictionary* OwnDictionary(CRequestEngine& engine, GetActionsNameProc names, CString& log)
{
    const long size = std::strtol(Item(names, -2, PLUGIN_INFO_DICTIONARY), nullptr, 10);
    const char* block = size > 0 ? names(-1, PLUGIN_INFO_DICTIONARY) : nullptr;
    if (!block)
        return nullptr;
    CGrammarDictionary* dictionary = new (std::nothrow)
        CGrammarDictionary("", engine.m_strAppPath + "\\VindalexR.Vqt", block, static_cast<unsigned>(size), names);
    if (!dictionary) {
        log += ENGINE_TEXT_DICTIONARY_ALLOC;
        return nullptr;
    }
    if (!dictionary->IsLoaded()) {
        delete dictionary;
        log += ENGINE_TEXT_DICTIONARY_LOAD + Item(names, 0, ACTION_ITEM_TRIGGER_WORD) + ")";
        return nullptr;
    }
    return dictionary;
}

// Whether one of the module's own rows acts on the sentence.
bool SentencePasses(CRequestEngine& engine, HMODULE module, GetActionsNameProc names, CSentence& sentence,
                    const CString& text, CZLMMapiFile& attachments)
{
    int count = 0;
    try {
        count = sentence.Parse(engine.m_pParseOptions);
    } catch (...) {
        count = 0;
    }
    if (count <= 0)
        return false;
    std::unique_ptr<std::vector<WordLinkage>> links;
    CStringList words;
    {
        CLinkage linkage(kLinkageToOffer, &sentence, engine.m_pParseOptions);
        links.reset(linkage.GetWordLinkages());
        for (int w = 0; w < linkage.GetNumWords(); ++w) {
            const char* word = linkage.GetWord(w);
            words.AddTail(word ? word : "");
        }
    }
    auto setUserInfo = reinterpret_cast<SetUserInfoProc>(::GetProcAddress(module, "SetUserInfo"));
    for (int row = 0;; ++row) {
        const CString trigger = Item(names, row, ACTION_ITEM_TRIGGER_WORD);
        if (trigger.IsEmpty())
            break;
        const CString label = Item(names, row, ACTION_ITEM_LINK_LABEL);
        const CString exportName = Item(names, row, ACTION_ITEM_EXPORT_NAME);
        auto action = reinterpret_cast<PluginActionProc>(::GetProcAddress(module, exportName));
        if (!action || !setUserInfo)
            continue;
        CPluginActionCall call(trigger, label, DICTIONARY_REQUESTER, DICTIONARY_REQUESTER, text, text,
                               DICTIONARY_SUBJECT, 1, action, setUserInfo, &attachments, links.get(), &words, -1, 0);
        if (call.Run(0))
            return true;
    }
    return false;
}

}  // namespace

int RunDictionaryTest()
{
    CRequestEngine* engine = CRequestEngine::Current();
    if (!engine || !engine->m_pPlugins)
        return 1;
    // No mail or web request may meet a plug-in in test mode.
    CRequestLock lock(CRequestLock::WAIT_WEB_MS);
    if (!lock.Acquired())
        return 1;
    g_bHoldLog = 1;
    CZLMMapiFile attachments;
    int result = 1;
    for (const PluginModule& m : engine->m_pPlugins->GetModules()) {
        HMODULE module = static_cast<HMODULE>(m.m_hModule);
        auto names = reinterpret_cast<GetActionsNameProc>(::GetProcAddress(module, "GetActionsName"));
        if (!names)
            continue;
        CString block;
        int n = std::atoi(Item(names, -1, PLUGIN_INFO_TEST_COUNT));
        CString head;
        head.Format(DICTIONARY_TEXT_HEAD, static_cast<const char*>(Item(names, -1, PLUGIN_INFO_DESCRIPTION)),
                    static_cast<const char*>(Item(names, -1, PLUGIN_INFO_VERSION)));
        block += head;
        if (n <= 0)
            n = 1;
        for (int k = 0; k < n && result; ++k) {
            const CString s = Item(names, -(k + 1), PLUGIN_INFO_TEST_SENTENCE);
            if (s.IsEmpty())
                continue;
            std::unique_ptr<CGrammarDictionary> own(OwnDictionary(*engine, names, block));
            CGrammarDictionary* dictionary = own ? own.get() : engine->m_pDictionary;
            std::unique_ptr<CSentence> sentence(dictionary ? new (std::nothrow) CSentence(s, dictionary) : nullptr);
            if (!sentence) {
                block += DICTIONARY_TEXT_NO_SENTENCE;
                result = 0;
                break;
            }
            if (!SentencePasses(*engine, module, names, *sentence, s, attachments)) {
                CString line;
                line.Format(DICTIONARY_TEXT_FAILED, static_cast<const char*>(s), -(k + 1));
                block += CTime::GetCurrentTime().Format("%c") + "!" + line;
            }
        }
        names(-1, PLUGIN_INFO_TEST_END);
        runlog::Append(block);
        if (!result)
            break;
    }
    g_bHoldLog = 0;
    return result;
}
