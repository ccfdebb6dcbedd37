// The reversible text scrambling shared by the settings (which store profile
// names, passwords and address lists scrambled) and the logon (which
// unscrambles the profile name and password it is handed).
// A byte c becomes two upper-case hex digits of 255 - rotl8(c, key % 8) and a blank.
#pragma once

#include "fx/fx.h"

// Keys of the scrambled kinds. Only their value modulo 8 matters; they are fixed
// because stored settings depend on them.
enum ZLMScrambleKey : int {
    kScrambleKeyMailPassword = 3,
    kScrambleKeyMailProfile = 5,    // also the forward rules' targets
    kScrambleKeyProgramPassword = 6,
    kScrambleKeyZipPassword = 2,
    kScrambleKeyUnZipPassword = 7,
    kScrambleKeyAddressList = 1,    // accepted senders and short-reply senders
    kScrambleKeyForwardPattern = 4,
};

void ZLMScrambleText(CString& text, int key);
void ZLMUnscrambleText(CString& text, int key);

// Pieces of the unscrambling, also used on their own by the logon:
// the value of the hex digits of token (other characters skipped) ...
ULONG ZLMHexToLong(const char* token);
// ... and the first white-space separated token, cut from text with the white space after it.
CString ZLMParseOneArg(CString& text);
