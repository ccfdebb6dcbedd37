// The Ruvelo plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"hear", "Op", "Ruvelo"},
    {"listen", "Opn", "Ruvelo"},
    {"send", "O*n", "Ruvelo"},
    {"send", "Op", "Ruvelo"},
    {"play", "O*n", "Ruvelo"},
    {"play", "Op", "Ruvelo"},
};

const PlugInOption kOptions[] = {
    {"Stereo", PLUGIN_OPTION_CHECK, 0, nullptr, 1004},
};

const unsigned kTestSentences[] = {10, 11, 12, 13};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Ruvelo",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_MINUS_ONE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    0,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// Until the request analysis is written, no request is this plug-in's.
extern "C" int Ruvelo(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
