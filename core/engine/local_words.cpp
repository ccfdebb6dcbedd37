#include "local_words.h"

#include "engine_rules.h"

namespace {
bool HasAny(const CString& text, const LocalWords& words, std::initializer_list<int> which)
{
    for (int w : which) {
        const CString& word = words.word[w];
        if (!word.IsEmpty() && text.Find(word) >= 0)
            return true;
    }
    return false;
}
}  // namespace

LocalWords LoadLocalWords(LocalWordLoader load)
{
    LocalWords words;
    for (int i = 0; i < LOCAL_WORD_COUNT; ++i) {
        CString text;
        if (load && load(IDS_LOCAL_WORD_FIRST + static_cast<UINT>(i), text)) {
            text.MakeLower();
            words.word[i] = text;
        }
    }
    return words;
}

std::vector<LocalWordAction> LocalWordActions(const CString& lowerText, const LocalWords& words)
{
    std::vector<LocalWordAction> actions;
    if (HasAny(lowerText, words, {LOCAL_EXIT, LOCAL_EXIT + 1, LOCAL_EXIT + 2}))
        actions.push_back({LocalWordAction::POST, ID_APP_EXIT_COMMAND});
    if (HasAny(lowerText, words, {LOCAL_CONSOLE, LOCAL_CONSOLE + 1}))
        actions.push_back({LocalWordAction::SEND, ID_CONSOLE_COMMAND});
    if (HasAny(lowerText, words, {LOCAL_OPTIONS, LOCAL_OPTIONS + 1, LOCAL_OPTIONS + 2}))
        actions.push_back({LocalWordAction::POST, ID_OPTIONS_COMMAND});
    if (HasAny(lowerText, words, {LOCAL_MAIL, LOCAL_MAIL + 1})) {
        // "deactivate" holds "activ" too: switching off wins.
        if (HasAny(lowerText, words, {LOCAL_DEACTIV, LOCAL_OFF}))
            actions.push_back({LocalWordAction::POST, ID_DEACTIVATE});
        else if (HasAny(lowerText, words, {LOCAL_ACTIV, LOCAL_ON}))
            actions.push_back({LocalWordAction::POST, ID_ACTIVATE});
    }
    if (lowerText.Find("help") >= 0)
        actions.push_back({LocalWordAction::HELP, 0});
    return actions;
}
