// The Chimavo plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"tell", "O", "Chimavo"},
    {"notify", "O", "Chimavo"},
    {"alert", "O", "Chimavo"},
    {"forward", "O", "Chimavo"},
    {"know", "O", "Chimavo"},
    {"stop", "W", "Chimavo"},
    {"end", "W", "Chimavo"},
    {"discontinue", "W", "Chimavo"},
    {"finish", "W", "Chimavo"},
    {"**", "**", "Chimavo"},
};

const PlugInOption kOptions[] = {
    {"NotifyAddress", PLUGIN_OPTION_TEXT, 0, "", 1004},
};

const unsigned kTestSentences[] = {10, 11};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Chimavo",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_ALL_NEGATIVE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    true,  // carries a grammar dictionary
    true,  // keeps the attachment list
    true,  // takes the sender's name
    0,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// Until the request analysis is written, no request is this plug-in's.
extern "C" int Chimavo(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
