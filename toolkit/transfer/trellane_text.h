// Strings of the shared library's own resources. The program that loads it
// may define the same string numbers for other texts, so the library's
// dialogs read theirs from the library's module, not from the resource chain.
#pragma once

#include "fx/fxwin.h"

HINSTANCE TrellaneInstance();
CString TrellaneString(UINT id);
CString TrellaneFormat1(UINT id, const char* arg1);
CString TrellaneFormat2(UINT id, const char* arg1, const char* arg2);
