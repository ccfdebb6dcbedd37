#include "local_words.h"

#include "engine_rules.h"

namespace {
bool HasAny(const CString& text, std::initializer_list<const char*> words)
{
    for (const char* w : words)
        if (text.Find(w) >= 0)
            return true;
    return false;
}
}  // namespace

std::vector<LocalWordAction> LocalWordActions(const CString& lowerText)
{
    std::vector<LocalWordAction> actions;
    if (HasAny(lowerText, {"exit", "quit", "bye"}))
        actions.push_back({LocalWordAction::POST, ID_APP_EXIT_COMMAND});
    if (HasAny(lowerText, {"console", "window"}))
        actions.push_back({LocalWordAction::SEND, ID_CONSOLE_COMMAND});
    if (HasAny(lowerText, {"option", "config", "propert"}))
        actions.push_back({LocalWordAction::POST, ID_OPTIONS_COMMAND});
    if (HasAny(lowerText, {"mapi", "mail"})) {
        // "deactivate" holds "activ" too: switching off wins.
        if (HasAny(lowerText, {"deactiv", "off"}))
            actions.push_back({LocalWordAction::POST, ID_DEACTIVATE});
        else if (HasAny(lowerText, {"activ", "on"}))
            actions.push_back({LocalWordAction::POST, ID_ACTIVATE});
    }
    if (lowerText.Find("help") >= 0)
        actions.push_back({LocalWordAction::HELP, 0});
    return actions;
}
