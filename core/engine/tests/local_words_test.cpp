// The local words of the desktop toolbar: which commands a text reaches.
#include "local_words.h"

#include "engine_rules.h"

#include <gtest/gtest.h>

namespace {
using A = LocalWordAction;
const A kExit{A::POST, ID_APP_EXIT_COMMAND};
const A kConsole{A::SEND, ID_CONSOLE_COMMAND};
const A kOptions{A::POST, ID_OPTIONS_COMMAND};
const A kOff{A::POST, ID_DEACTIVATE};
const A kOn{A::POST, ID_ACTIVATE};
const A kHelp{A::HELP, 0};

struct Case {
    const char* text;
    std::vector<A> expected;
};

TEST(LocalWords, TextsReachTheirCommandsInOrder)
{
    const Case cases[] = {
        {"quit", {kExit}},
        {"bye now", {kExit}},
        {"show the console window", {kConsole}},       // both words, one test
        {"mail off", {kOff}},
        {"mapi deactivate", {kOff}},                    // "deactivate" holds "activ"
        {"mail on", {kOn}},
        {"activate email", {kOn}},                      // "mail" inside "email"
        {"options and help", {kOptions, kHelp}},
        {"configure", {kOptions}},
        {"properties", {kOptions}},
        {"help", {kHelp}},
        {"exit the console, switch mail off and help", {kExit, kConsole, kOff, kHelp}},
        {"activate", {}},                               // no gate word
        {"what is the weather", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalWordActions(c.text), c.expected) << c.text;
}

TEST(LocalWords, ConsoleAndOptionsHoldOnButNeedTheMailGate)
{
    // "on" occurs in "console" and "options": with a mail word it switches on.
    EXPECT_EQ(LocalWordActions("console mail"), (std::vector<A>{kConsole, kOn}));
    EXPECT_EQ(LocalWordActions("options"), (std::vector<A>{kOptions}));
}
}  // namespace
