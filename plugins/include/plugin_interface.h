// The seam between the assistant and its action plug-ins (".kVX" modules):
// the exports the host binds by name, the information items a plug-in answers
// for negative rows, the SetUserInfo codes and the interface modes. Shared by
// the host and every plug-in.
#pragma once

#include "fx/fx.h"
#include "word_linkage.h"

#include <vector>

// Every plug-in of this system declares this interface version. The host keeps
// a module of this version or higher; one without the export counts as
// KORVANE_VERSION_MISSING.
enum { KORVANE_INTERFACE_VERSION = -3 };
enum { KORVANE_VERSION_MISSING = 0xDEAD };
// Versions that the host asks for the optional idle export.
inline bool KorvaneVersionHasIdler(int version) { return version == -2 || version == -3; }

// Item of a row in GetActionsName for rows 0 .. count-1.
enum {
    ACTION_ITEM_TRIGGER_WORD = 0,
    ACTION_ITEM_LINK_LABEL = 1,
    ACTION_ITEM_EXPORT_NAME = 2,
};

// Information items: what GetActionsName answers for a negative row.
enum {
    PLUGIN_INFO_DESCRIPTION = 0,
    PLUGIN_INFO_LONG_DESCRIPTION = 1,
    PLUGIN_INFO_COMPANY = 2,
    PLUGIN_INFO_COPYRIGHT = 3,
    PLUGIN_INFO_ACTIVE = 4,
    PLUGIN_INFO_EXAMPLE = 5,
    PLUGIN_INFO_VERSION = 6,
    PLUGIN_INFO_TEST_COUNT = 7,     // also switches test mode on
    PLUGIN_INFO_TEST_SENTENCE = 8,  // row -n: the n-th test sentence
    PLUGIN_INFO_TEST_END = 9,       // switches test mode off
    PLUGIN_INFO_DICTIONARY = 10,    // row -1: the copy; row -2: its size as decimal text
    PLUGIN_INFO_MACRO = 11,         // row -n: the text of the escape ^n^
};

// SetUserInfo codes. The value is a CString* unless noted; a plug-in copies
// every text it keeps, since temporary values live only for the call.
enum {
    USERINFO_UNLOAD = -1,               // const char* "UnLoadKVX"
    USERINFO_MAIL_USER = 0,             // mail profile / logon name, scrambled
    USERINFO_MAIL_PASSWORD = 1,         // mail password, scrambled
    USERINFO_MY_NAME = 2,               // the assistant's name
    USERINFO_LOG = 3,                   // the running log itself, kept by pointer
    USERINFO_MODULE = 4,                // HMODULE of the plug-in
    USERINFO_WORD_LIST = 5,             // CStringList* of the parsed sentence, or null
    USERINFO_REQUEST_TEXT = 6,
    USERINFO_SENTENCE_TEXT = 7,
    USERINFO_SUBJECT = 8,
    USERINFO_ZIP_PASSWORD = 9,
    USERINFO_UNZIP_PASSWORD = 10,
    USERINFO_INSTALL_DIR = 11,
    USERINFO_ATTACHMENTS = 12,          // CZLMMapiFile*, kept by pointer
    USERINFO_SENDER_NAME = 13,
    USERINFO_INTERFACE_MODE = 14,       // const char*, decimal
    USERINFO_SHORT_REPLY_LENGTH = 15,   // const char*, decimal, "-1" when none
    USERINFO_ZERO = 16,                 // const char*, always "0"
    USERINFO_SHOW_DIALOG = 255,         // null: show the properties dialog
};

// The value that comes with USERINFO_UNLOAD.
#define USERINFO_UNLOAD_TEXT "UnLoadKVX"

// Where a request came from, and so where its answer goes.
enum {
    MODE_EMAIL = 0,
    MODE_DESKTOP = 1,
    MODE_WEB = 2,
};

// Link labels of the rows that take a whole request without a parse:
// "*" on the final pass, "**" on the tentative pass.
#define ACTION_LABEL_FINAL_PASS "*"
#define ACTION_LABEL_TENTATIVE_PASS "**"

// The exports, bound by name. Plug-ins define them with these signatures.
typedef int (*GetKorvaneVersionProc)();
typedef int (*GetNumberOfActionsProc)();
typedef const char* (*GetActionsNameProc)(int row, int item);
typedef void (*SetUserInfoProc)(const void* value, int code);
typedef void (*DoKVXIlderProc)();
// The action export named by a row: requester, index of the matching link
// (-1 without a parse), the links lent for the call, the host's FIFO setting.
// Nonzero: handled.
typedef int (*PluginActionProc)(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo);

extern "C" {
int Get_KorvaneVersion();
int GetNumberOfActions();
const char* GetActionsName(int row, int item);
void SetUserInfo(const void* value, int code);
}
