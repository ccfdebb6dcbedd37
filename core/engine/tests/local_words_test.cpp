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

// The program's words, as its string resources 61258 to 61271 hold them.
const char* const kProgramWords[LOCAL_WORD_COUNT] = {"exit",  "quit", "bye",   "console", "window",
                                                     "option", "config", "propert", "mapi",  "mail",
                                                     "activ", "deactiv", "on",     "off"};
const char* const* g_words = kProgramWords;

BOOL LoadFromTable(UINT id, CString& text)
{
    const UINT i = id - IDS_LOCAL_WORD_FIRST;
    if (i >= LOCAL_WORD_COUNT || !g_words[i])
        return FALSE;
    text = g_words[i];
    return TRUE;
}

std::vector<A> ProgramActions(const char* text)
{
    g_words = kProgramWords;
    return LocalWordActions(text, LoadLocalWords(&LoadFromTable));
}

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
        EXPECT_EQ(ProgramActions(c.text), c.expected) << c.text;
}

TEST(LocalWords, ConsoleAndOptionsHoldOnButNeedTheMailGate)
{
    // "on" occurs in "console" and "options": with a mail word it switches on.
    EXPECT_EQ(ProgramActions("console mail"), (std::vector<A>{kConsole, kOn}));
    EXPECT_EQ(ProgramActions("options"), (std::vector<A>{kOptions}));
}
// The words are the string resources' texts, not words of the code: a
// translated program answers its own words (read in any case) and no longer
// the English ones.
TEST(LocalWords, WordsComeFromTheStringResources)
{
    const char* const german[LOCAL_WORD_COUNT] = {"Ende",  "beenden", "tschuess", "konsole", "fenster",
                                                  "option", "einstell", "eigensch", "mapi",    "post",
                                                  "aktiv",  "deaktiv",  "an",       "aus"};
    g_words = german;
    const LocalWords words = LoadLocalWords(&LoadFromTable);
    EXPECT_EQ(LocalWordActions("bitte beenden", words), (std::vector<A>{kExit}));
    EXPECT_EQ(LocalWordActions("post aus", words), (std::vector<A>{kOff}));
    EXPECT_EQ(LocalWordActions("quit", words), (std::vector<A>{}));
    EXPECT_EQ(LocalWordActions("mail off", words), (std::vector<A>{}));
}

// A word that cannot be read matches nothing (not every text).
TEST(LocalWords, UnreadableWordsMatchNothing)
{
    const char* const partial[LOCAL_WORD_COUNT] = {nullptr, "quit", nullptr, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, "mail", nullptr, nullptr, nullptr, nullptr, nullptr};
    g_words = partial;
    const LocalWords words = LoadLocalWords(&LoadFromTable);
    EXPECT_EQ(LocalWordActions("quit", words), (std::vector<A>{kExit}));
    EXPECT_EQ(LocalWordActions("exit the console, switch mail off", words), (std::vector<A>{}));
    EXPECT_EQ(LocalWordActions("anything", LoadLocalWords(nullptr)), (std::vector<A>{}));
}
}  // namespace
