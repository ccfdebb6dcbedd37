#include "webmsg/webfiles.h"

#include "webmsg/htmltext.h"

#ifdef _WIN32
#  include <windows.h>
#else
#  include <cstdio>
#  include <fstream>
#endif

namespace webmsg {

CString WebFilePath(const CString& dir, const CString& name)
{
    if (dir.IsEmpty() || !IsPlainFileName(name))
        return CString();
#ifdef _WIN32
    const char sep = '\\';
#else
    const char sep = '/';
#endif
    CString path = dir;
    const char last = dir[dir.GetLength() - 1];
    if (last != '\\' && last != '/')
        path += sep;
    path += name;
    return path;
}

bool CopyWebFile(const CString& source, const CString& target)
{
    if (source.IsEmpty() || target.IsEmpty())
        return false;
#ifdef _WIN32
    return ::CopyFileA(source, target, FALSE) != 0;
#else
    std::ifstream in(static_cast<const char*>(source), std::ios::binary);
    if (!in)
        return false;
    std::ofstream out(static_cast<const char*>(target), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0)
        out.write(buf, in.gcount());
    out.flush();
    if (!out || in.bad()) {
        out.close();
        std::remove(target);
        return false;
    }
    return true;
#endif
}

bool DeleteWebFile(const CString& path)
{
    if (path.IsEmpty())
        return false;
#ifdef _WIN32
    return ::DeleteFileA(path) != 0;
#else
    return std::remove(path) == 0;
#endif
}

} // namespace webmsg
