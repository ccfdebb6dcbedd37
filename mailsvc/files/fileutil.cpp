#include "files/fileutil.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

const ZLMMonth g_ZLMMonths[12] = {
    {"January", 31}, {"February", 28}, {"March", 31},     {"April", 30},   {"May", 31},      {"June", 30},
    {"July", 31},    {"August", 31},   {"September", 30}, {"October", 31}, {"November", 30}, {"December", 31},
};

namespace {

// The parts of a path as the system's path splitter gives them: drive ("C:"),
// folder (with its trailing separator), name, extension (with its dot). Any
// length; either separator.
struct PathParts {
    CString drive, dir, name, ext;
};

PathParts split(const CString& path)
{
    PathParts p;
    const char* s = path;
    int n = path.GetLength();
    int i = 0;
    if (n >= 2 && s[1] == ':') {
        p.drive = path.Left(2);
        i = 2;
    }
    int lastSep = -1;
    for (int k = i; k < n; ++k)
        if (s[k] == '\\' || s[k] == '/') lastSep = k;
    int nameStart = i;
    if (lastSep >= 0) {
        p.dir = path.Mid(i, lastSep + 1 - i);
        nameStart = lastSep + 1;
    }
    int dot = -1;
    for (int k = nameStart; k < n; ++k)
        if (s[k] == '.') dot = k;
    if (dot >= 0) {
        p.name = path.Mid(nameStart, dot - nameStart);
        p.ext = path.Mid(dot);
    } else {
        p.name = path.Mid(nameStart);
    }
    return p;
}

} // namespace

CString GetPath(CString path)
{
    PathParts p = split(path);
    CString dir = p.dir;
    int n = dir.GetLength();
    if (n > 0 && (dir[n - 1] == '\\' || dir[n - 1] == '/')) dir = dir.Left(n - 1);
    return p.drive + dir;
}

CString GetFileName(CString path)
{
    return split(path).name;
}

CString GetExtension(CString path)
{
    return split(path).ext;
}

int IsZipFile(CString path)
{
    CString ext = GetExtension(path);
    ext.MakeLower();
    return ext == ".zip" ? 1 : 0;
}

CString XlateParam(CString command, CString& userName, CString& password, CString& sender, CString& subject,
                   CString& assistant, CString& attachment)
{
    struct Placeholder {
        const char* text;
        const CString* value;
        bool active;
    } const table[] = {
        {"%USERNAME%", &userName, !sender.IsEmpty()},
        {"%PASSWORD%", &password, !sender.IsEmpty()},
        {"%SENDER%", &sender, !sender.IsEmpty()},
        {"%ASSISTANT%", &assistant, !sender.IsEmpty()},
        {"%SUBJECT%", &subject, !subject.IsEmpty()},
        {"%ATTACHMENT%", &attachment, !attachment.IsEmpty()},
    };
    // One pass over the command: a value put in (a mail's subject, say) is
    // never searched for placeholders itself.
    CString out;
    const char* s = command;
    const int n = command.GetLength();
    for (int i = 0; i < n;) {
        bool replaced = false;
        if (s[i] == '%') {
            for (const Placeholder& p : table) {
                int len = static_cast<int>(std::strlen(p.text));
                if (p.active && i + len <= n && std::strncmp(s + i, p.text, static_cast<size_t>(len)) == 0) {
                    out += *p.value;
                    i += len;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += s[i++];
    }
    return out;
}

int IsEMailAddress(CString address)
{
    int at = address.Find('@');
    if (at < 1) return 0;
    int dot = address.Find('.', at + 1);
    return dot >= at + 2 ? 1 : 0;
}

int BetweenTimes(CTime now, CTime start, CTime end)
{
    auto secondsOfDay = [](const CTime& t) { return t.GetHour() * 3600L + t.GetMinute() * 60L + t.GetSecond(); };
    long t = secondsOfDay(now), s = secondsOfDay(start), e = secondsOfDay(end);
    if (e < s) {  // the window passes midnight
        e += 86400;
        if (t < s) t += 86400;
    }
    return (s < t && t < e) ? 1 : 0;
}

void ZLMTrace(const char* format, ...)
{
    if (!format) return;
    FILE* f = std::fopen("ErrorLog.txt", "a+");
    if (!f) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fclose(f);
}
