// The Relvane plug-in's module: its action rows, settings and strings. The
// request analysis of its action is not part of this module yet.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {
    {"send.v", "O*n", "SendMeNewMail"},
    {"send.v", "Opn", "SendMeNewMail"},
    {"send.v", "Op", "SendMeNewMail"},
    {"show", "O*n", "SendMeNewMail"},
    {"show", "Opn", "SendMeNewMail"},
    {"show", "Op", "SendMeNewMail"},
    {"what", "O*n", "SendMeNewMail"},
    {"what", "Opn", "SendMeNewMail"},
    {"what", "Op", "SendMeNewMail"},
    {"which", "O*n", "SendMeNewMail"},
    {"which", "Opn", "SendMeNewMail"},
    {"which", "Op", "SendMeNewMail"},
};

const PlugInOption kOptions[] = {
    {"DefaultNew", PLUGIN_OPTION_CHECK, 1, nullptr, 1004},
    {"DefaultAttach", PLUGIN_OPTION_CHECK, 1, nullptr, 1005},
};

const unsigned kTestSentences[] = {9};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Relvane",
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
    1,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// Until the request analysis is written, no request is this plug-in's.
extern "C" int SendMeNewMail(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return 0;
}
