#include "resource_names.h"

#include <cctype>
#include <cstdint>

namespace resname {

UINT ResourceId(LPCTSTR name)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(name);
    if (value < 0x10000)
        return static_cast<UINT>(value);
    if (name[0] != '#' || name[1] == '\0')
        return 0;
    UINT id = 0;
    for (LPCTSTR p = name + 1; *p; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
        id = id * 10 + static_cast<UINT>(*p - '0');
        if (id > 0xFFFF)
            return 0;
    }
    return id;
}

CString ResourceIdText(UINT id)
{
    CString text;
    text.Format("#%u", id);
    return text;
}

CString ResourceNameText(LPCTSTR name)
{
    const UINT id = ResourceId(name);
    return id ? ResourceIdText(id) : CString(name);
}

CString NormalResourceName(LPCTSTR name)
{
    const UINT id = ResourceId(name);
    if (id || reinterpret_cast<uintptr_t>(name) < 0x10000)
        return ResourceIdText(id);
    CString text(name);
    text.MakeUpper();
    bool leading = true;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char c = text[i];
        if ((leading && c == '#') || c == '\t' || c == '\n' || c == ' ')
            text.SetAt(i, '_');
        else
            leading = false;
    }
    return text;
}

}  // namespace resname
