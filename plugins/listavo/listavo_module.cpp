// The Listavo plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"send", "Op", "ShowDir"},
    {"send", "S", "ShowDir"},
    {"send", "O*n", "ShowDir"},
    {"show", "Op", "ShowDir"},
    {"show", "S", "ShowDir"},
    {"show", "O*n", "ShowDir"},
};

const PlugInOption kOptions[] = {
    {"Folders", PLUGIN_OPTION_CHECK, 1, nullptr, 1004},
    {"Files", PLUGIN_OPTION_CHECK, 1, nullptr, 1005},
};

const unsigned kTestSentences[] = {9};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Listavo",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_MINUS_ONE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    false,  // takes the sender's name
    0,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// Until the request analysis is written, no request is this plug-in's.
extern "C" int ShowDir(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
