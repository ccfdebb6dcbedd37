// Names and types of resources as text: "#" and a decimal number stand for the
// integer identifier, as a pointer value below 0x10000 does.
#pragma once

#include "fx/fx.h"

namespace resname {

// The integer identifier a name stands for, 0 for a text name. "#0" and
// numbers above 65535 are text names: no integer identifier can hold them.
UINT ResourceId(LPCTSTR name);
CString ResourceIdText(UINT id);        // "#%u"
CString ResourceNameText(LPCTSTR name); // "#%u" for an identifier, else the text
// One spelling per resource: "#%u" for an identifier; else upper case with
// leading "#" and every tab, line feed and blank turned into "_".
CString NormalResourceName(LPCTSTR name);

}  // namespace resname
