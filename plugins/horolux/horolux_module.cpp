// The Horolux plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"show", "O", "Horolux"},
    {"see", "Op", "Horolux"},
    {"what", "O", "Horolux"},
};

const PlugInOption kOptions[] = {
    {"ClockFace", PLUGIN_OPTION_RADIO, 0, nullptr, 1008},
};

const char* const kMacros[] = {"% Horolux Macro Expand Test 1 %", "% Horolux Macro Expand Test 2 %"};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Horolux",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_ALL_NEGATIVE,
    nullptr,
    0,
    kMacros,
    2,
    true,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    1,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// Until the request analysis is written, no request is this plug-in's.
extern "C" int Horolux(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
