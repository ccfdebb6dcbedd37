// The host's offer of a request line to one plug-in, for tests that load the
// plug-in themselves: rows whose trigger occurs in the line, a fresh parse
// each, linkage 0 (the one the host offers), the links whose label (cut to
// the row's) and word fit the row; the first action that answers non-zero
// handles the line (1), else 0. Each call gets the requester as given.
#pragma once
#include "plugin_interface.h"
#include "plugin_test_support.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <memory>
#include <string>
#include <vector>

struct LoadedActions {
    GetActionsNameProc names = nullptr;
    SetUserInfoProc setUserInfo = nullptr;
    GetNumberOfActionsProc rows = nullptr;
    PluginActionProc action = nullptr;
};

inline int OfferLine(const LoadedActions& p, CGrammarDictionary* dictionary, ParseOptions* options,
                     const std::string& line, const char* mode, const char* requester)
{
    const std::string lower = Lower(line);
    for (int row = 0; row < p.rows(); ++row) {
        const std::string trigger = p.names(row, ACTION_ITEM_TRIGGER_WORD);
        const std::string label = p.names(row, ACTION_ITEM_LINK_LABEL);
        if (lower.find(trigger) == std::string::npos)
            continue;
        CSentence sentence(line.c_str(), dictionary);
        if (sentence.Parse(options) <= 0)
            continue;
        CLinkage linkage(0, &sentence, options);
        std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
        for (size_t i = 0; i < links->size(); ++i) {
            if (!LinkFitsRow((*links)[i], trigger, label))
                continue;
            p.setUserInfo(mode, USERINFO_INTERFACE_MODE);
            CString from = requester;
            if (p.action(&from, static_cast<int>(i), links.get(), 0))
                return 1;
        }
    }
    return 0;
}
