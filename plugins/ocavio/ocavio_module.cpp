// The Ocavio plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"see", "Op", "Ocavio"},
    {"show", "Op", "Ocavio"},
    {"show", "O*n", "Ocavio"},
    {"send", "O*n", "Ocavio"},
    {"send", "Op", "Ocavio"},
    {"take", "O*n", "Ocavio"},
};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Ocavio",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_MINUS_ONE,
    nullptr,
    0,
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
extern "C" int Ocavio(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
