// Request line processing: one line offered to the action rows that its words
// wake, each row with a parse of its own, under the process-wide request lock.
#include "request_engine.h"

#include "assistant_settings.h"
#include "plugin_table.h"

#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <cstdlib>
#include <memory>
#include <new>

namespace {

// The linkage whose links are offered: the best one. The parser puts the
// linkages in order of preference, so index 0 is the parse to act on; any
// other index is an arbitrary pick among ties or worse.
const int kLinkageToOffer = 0;

// A plug-in's own dictionary for one row's step, else null (the start-up one).
CGrammarDictionary* PluginDictionary(CRequestEngine& engine, GetActionsNameProc names)
{
    const char* sizeText = names(-2, PLUGIN_INFO_DICTIONARY);
    long size = sizeText ? std::strtol(sizeText, nullptr, 10) : 0;
    if (size <= 0)
        return nullptr;
    const char* block = names(-1, PLUGIN_INFO_DICTIONARY);
    if (!block)
        return nullptr;
    CString rules = engine.m_strAppPath + "\\VindalexR.Vqt";
    CGrammarDictionary* dictionary =
        new (std::nothrow) CGrammarDictionary("", rules, block, static_cast<unsigned>(size), names);
    if (!dictionary) {
        g_strLog += ENGINE_TEXT_DICTIONARY_ALLOC;
        return nullptr;
    }
    if (!dictionary->IsLoaded()) {
        delete dictionary;
        const char* first = names(0, ACTION_ITEM_TRIGGER_WORD);
        g_strLog += ENGINE_TEXT_DICTIONARY_LOAD;
        g_strLog += first ? first : "";
        g_strLog += ")";
        return nullptr;
    }
    return dictionary;
}

// Parses the line with the row's dictionary and tries the row on the parse.
// -1: the sentence could not be built (the line's processing ends).
int TryRowOnParse(CRequestEngine& engine, int row, CString* line, CString* senderAddress, CString* senderName,
                  CString* subject, CString* messageText, CZLMMapiFile* attachments, int passFlag, int shortReply,
                  int mode)
{
    CPluginTable& table = *engine.m_pPlugins;
    std::unique_ptr<CGrammarDictionary> own(PluginDictionary(engine, table.GetGetActionsName(row)));
    CGrammarDictionary* dictionary = own ? own.get() : engine.m_pDictionary;
    if (!dictionary)
        return 0;
    std::unique_ptr<CSentence> sentence(new (std::nothrow) CSentence(*line, dictionary));
    if (!sentence)
        return -1;
    int count = 0;
    try {
        count = sentence->Parse(engine.m_pParseOptions);
    } catch (...) {
        count = 0;
    }
    if (count <= 0)
        return 0;
    std::unique_ptr<std::vector<WordLinkage>> links;
    CStringList words;
    {
        CLinkage linkage(kLinkageToOffer, sentence.get(), engine.m_pParseOptions);
        links.reset(linkage.GetWordLinkages());
        for (int w = 0; w < linkage.GetNumWords(); ++w) {
            const char* word = linkage.GetWord(w);
            words.AddTail(word ? word : "");
        }
    }
    return TryPluginAction(links.get(), senderAddress, senderName, attachments, &words, messageText, line, subject,
                           passFlag, row, shortReply, mode);
}

} // namespace

int TryPluginAction(std::vector<WordLinkage>* links, CString* senderAddress, CString* senderName,
                    CZLMMapiFile* attachments, CStringList* words, CString* messageText, CString* sentenceText,
                    CString* subject, int passFlag, int row, int shortReply, int mode)
{
    CRequestEngine* engine = CRequestEngine::Current();
    if (!engine || !engine->m_pPlugins)
        return 0;
    CPluginTable& table = *engine->m_pPlugins;
    CPluginActionCall call(table.GetTriggerWord(row), table.GetLinkLabel(row), *senderAddress, *senderName,
                           *messageText, *sentenceText, *subject, 0, table.GetAction(row), table.GetSetUserInfo(row),
                           attachments, links, words, shortReply ? g_Settings.GetShortMessageLength() : -1, mode);
    return call.Run(passFlag);
}

int TryPluginActions(std::vector<WordLinkage>* links, CString* senderAddress, CString* senderName,
                     CZLMMapiFile* attachments, CStringList* words, CString* messageText, CString* sentenceText,
                     CString* subject, int passFlag, int shortReply, int mode)
{
    CRequestEngine* engine = CRequestEngine::Current();
    if (!engine || !engine->m_pPlugins)
        return 0;
    CRequestLock lock(CRequestLock::DefaultWaitMs());
    if (!lock.Acquired())
        return 0;
    int rows = engine->m_pPlugins->GetNumberOfRows();
    for (int i = 0; i < rows; ++i) {
        int result = TryPluginAction(links, senderAddress, senderName, attachments, words, messageText, sentenceText,
                                     subject, passFlag, i, shortReply, mode);
        if (result)
            return result;
    }
    return 0;
}

int ProcessRequest(CString* line, CString* senderAddress, CString* senderName, CString* subject,
                   CString* messageText, CZLMMapiFile* attachments, int passFlag, int shortReply, int mode)
{
    CRequestEngine* engine = CRequestEngine::Current();
    if (!engine || !engine->m_pPlugins || !line)
        return 0;
    CRequestLock lock(CRequestLock::DefaultWaitMs());
    if (!lock.Acquired())
        return 0;
    // The web server may take a request while the program is still starting:
    // until the grammar and the parse options are in place nothing is parsed
    // (a plug-in's own grammar would otherwise be parsed without options).
    if (!engine->m_pDictionary || !engine->m_pParseOptions)
        return 0;
    CPluginTable& table = *engine->m_pPlugins;
    try {
        CString lower = *line;
        lower.MakeLower();
        for (int i = 0; i < table.GetNumberOfRows(); ++i) {
            if (!TriggerWordWakes(table.GetTriggerWord(i), lower))
                continue;
            // The real mode follows with the action call; nothing before it
            // may see the previous request's.
            table.GetSetUserInfo(i)("0", USERINFO_INTERFACE_MODE);
            const char* active = table.GetGetActionsName(i)(-1, PLUGIN_INFO_ACTIVE);
            if (active && active[0] == 'N')
                continue;
            int result = TryRowOnParse(*engine, i, line, senderAddress, senderName, subject, messageText,
                                       attachments, passFlag, shortReply, mode);
            if (result < 0)
                return 0;
            if (result)
                return 1;
        }
    } catch (...) {
        // The parser's internal limits or an action's failure end this line.
    }
    return 0;
}
