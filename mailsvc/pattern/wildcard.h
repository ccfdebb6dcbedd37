// Wildcard test used to check senders against the user's address lists.
#pragma once
#include "fx/fx.h"

// 1 when text matches pattern, else 0. "?" stands for exactly one character,
// "*" for one or more characters (never none, so "*@host.com" does not accept
// a bare "@host.com"); every other character must match exactly (case counts).
int MatchWildcard(CString& pattern, CString& text);
int MatchWildcard(const char* pattern, const char* text);
