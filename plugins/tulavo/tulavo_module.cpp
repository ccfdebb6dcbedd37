// The Tulavo plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"send", "Op", "Tulavo"},
    {"send", "S", "Tulavo"},
    {"send", "O*n", "Tulavo"},
    {"show", "Op", "Tulavo"},
    {"show", "S", "Tulavo"},
    {"show", "O*n", "Tulavo"},
    {"what", "Op", "Tulavo"},
    {"what", "O*n", "Tulavo"},
    {"which", "Op", "Tulavo"},
    {"which", "O*n", "Tulavo"},
};

const unsigned kTestSentences[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Tulavo",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_ALL_NEGATIVE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    0,     // "-Active" default
    nullptr,
    0,
};

// Until the request analysis is written, no request is this plug-in's.
extern "C" int Tulavo(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
