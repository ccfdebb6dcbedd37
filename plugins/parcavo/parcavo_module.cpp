// The Parcavo plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"send", "O*n", "Parcavo"},
    {"send", "Op", "Parcavo"},
    {"send", "S", "Parcavo"},
    {"show", "O*n", "Parcavo"},
    {"show", "Op", "Parcavo"},
    {"show", "S", "Parcavo"},
};

const PlugInOption kOptions[] = {
    {"UseFindFile", PLUGIN_OPTION_CHECK, 0, nullptr, 1004},
    {"UseZip", PLUGIN_OPTION_CHECK, 0, nullptr, 1005},
};

const unsigned kTestSentences[] = {10};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Parcavo",
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
extern "C" int Parcavo(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
