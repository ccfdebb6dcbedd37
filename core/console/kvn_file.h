// The ".kvn" file: read only, never written by the program.
#pragma once

#include "fx/fx.h"

// Reads the strings of a ".kvn" archive onto the end of list: an 8-byte
// value (not used), a signed 32-bit count, then that many archive strings.
void ReadKvnStrings(CArchive& ar, CStringList& list);
