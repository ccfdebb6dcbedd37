#include "running_log.h"

namespace runlog {

std::recursive_mutex& Lock()
{
    static std::recursive_mutex lock;
    return lock;
}

void Append(const CString& text)
{
    std::lock_guard<std::recursive_mutex> hold(Lock());
    g_strLog += text;
}

bool Transfer(const CString& path, CString* chunk)
{
    std::lock_guard<std::recursive_mutex> hold(Lock());
    const int length = g_strLog.GetLength();
    if (length == 0)
        return false;
    try {
        CFile file(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        file.SeekToEnd();
        file.Write(static_cast<const char*>(g_strLog), static_cast<UINT>(length));
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    } catch (...) {
        return false;
    }
    if (chunk)
        *chunk = g_strLog.Left(length);
    g_strLog = g_strLog.Mid(length);
    return true;
}

void FlushAndClear(const CString& path)
{
    std::lock_guard<std::recursive_mutex> hold(Lock());
    Transfer(path, nullptr);
    g_strLog.Empty();
}

}  // namespace runlog
