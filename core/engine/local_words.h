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

struct LocalWordAction {
    enum Kind { POST, SEND, HELP };
    Kind kind;
    unsigned command;  // 0 for HELP
    bool operator==(const LocalWordAction& o) const { return kind == o.kind && command == o.command; }
};

// What the words of lowerText ask for, in the order they are to be done.
// Every test is a substring test: "on" is also in "console", "mail" in "email".
std::vector<LocalWordAction> LocalWordActions(const CString& lowerText);
