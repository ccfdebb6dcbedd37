// Resources of the program that carries the web server (the pages, the site's
// binary files and texts are linked into every program that links the server).
#pragma once

#include "fx/fx.h"

#include <string>

namespace websrv {

// The resource's bytes as they are; empty when the program has no such resource.
std::string ProgramResource(int id, LPCSTR type);
// An RT_HTML page, up to a terminating NUL if the resource carries one.
std::string ProgramPage(int id);
// A string-table text; empty when missing.
std::string ProgramString(UINT id);

}  // namespace websrv
