// What a sound request asks for, read from the links of its parse: whether it
// asks to hear a place or for a recording, and the name it sends to.
// Portable: it needs only the links.
#pragma once

#include "place_request.h"

// True when an "O" link joins a listening verb to a place, or a sending verb
// to a sound word; recipient gets the name after "to" (an "Ox" link), without
// brackets or quotes and not yet translated, or stays empty.
bool ReadSoundRequest(const std::vector<WordLinkage>* links, CString& recipient);

// The action rows, all naming the export "Ruvelo": the module's table and the
// reader's are expanded from this one list.
#define RUVELO_ACTION_ROWS(ROW) \
    ROW("hear", "Op") ROW("listen", "Opn") ROW("send", "O*n") ROW("send", "Op") ROW("play", "O*n") ROW("play", "Op")

extern const PluginRequestReader kRuveloReader;
