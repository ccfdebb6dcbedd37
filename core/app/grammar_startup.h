// The grammar parser's part of start-up: the start-up dictionary from the
// program folder's word file and rule file.
#pragma once

#include "fx/string.h"

class CGrammarDictionary;

// Box text when the start-up dictionary cannot be loaded.
#define STARTUP_TEXT_GRAMMAR_FAILED "There was a problem loading the Grammar Parser\nPlease Re-install. (QTkv116)"

// Loads "VindalexW.Vqt" with the rules of "VindalexR.Vqt" from the folder. A
// grammar file that is not found is shown as it is met; a dictionary that
// does not load is deleted, the re-install box shown and null returned.
CGrammarDictionary* LoadStartupDictionary(const CString& programFolder);
