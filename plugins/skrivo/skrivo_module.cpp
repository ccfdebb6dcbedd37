// The Skrivo plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"execute.v", "MV", "RunBatchFile"},
    {"run.v", "MV", "RunBatchFile"},
    {"execute.v", "FOL", "RunBatchFile"},
    {"run.v", "FOL", "RunBatchFile"},
};

const PlugInOption kOptions[] = {
    {"UseFindFile", PLUGIN_OPTION_CHECK, 0, nullptr, 1004},
};

const unsigned kTestSentences[] = {9};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Skrivo",
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
extern "C" int RunBatchFile(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
