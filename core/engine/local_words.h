// The words that control the assistant itself from the desktop toolbar, and
// the commands they send to the main window. Only a request that nothing
// else handled on the final pass is looked at.
#pragma once

#include "fx/fx.h"

#include <initializer_list>
#include <vector>

// Commands of the main window that local words reach.
enum {
    ID_APP_EXIT_COMMAND = 57665,
    ID_CONSOLE_COMMAND = 32779,
    ID_OPTIONS_COMMAND = 32772,
};

// The words are the program's string resources 61258 to 61271, in this order.
enum {
    IDS_LOCAL_WORD_FIRST = 61258,
    LOCAL_EXIT = 0,      // "exit", "quit", "bye": 0 to 2
    LOCAL_CONSOLE = 3,   // "console", "window": 3 and 4
    LOCAL_OPTIONS = 5,   // "option", "config", "propert": 5 to 7
    LOCAL_MAIL = 8,      // "mapi", "mail": 8 and 9
    LOCAL_ACTIV = 10,    // "activ"
    LOCAL_DEACTIV = 11,  // "deactiv"
    LOCAL_ON = 12,       // "on"
    LOCAL_OFF = 13,      // "off"
    LOCAL_WORD_COUNT = 14,
};

struct LocalWords {
    CString word[LOCAL_WORD_COUNT];  // lower case; an empty word never matches
};

// Reads the words through load (id, text) -> success; a word that cannot be
// read stays empty.
typedef BOOL (*LocalWordLoader)(UINT id, CString& text);
LocalWords LoadLocalWords(LocalWordLoader load);

struct LocalWordAction {
    enum Kind { POST, SEND, HELP };
    Kind kind;
    unsigned command;  // 0 for HELP
    bool operator==(const LocalWordAction& o) const { return kind == o.kind && command == o.command; }
};

// What the words of lowerText ask for, in the order they are to be done.
// Every test is a substring test: "on" is also in "console", "mail" in "email".
std::vector<LocalWordAction> LocalWordActions(const CString& lowerText, const LocalWords& words);
