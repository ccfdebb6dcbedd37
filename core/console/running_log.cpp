#include "running_log.h"

#include <chrono>

namespace runlog {

namespace {

// Text appended while another thread held the lock; it joins g_strLog the
// next time the lock is ours. Guarded by its own small lock, which nobody
// holds for longer than an append.
std::mutex& AsideLock()
{
    static std::mutex lock;
    return lock;
}

CString& Aside()
{
    static CString* text = new CString;  // lives until the process ends
    return *text;
}

// With the log's lock held: moves what was kept aside into the log.
void JoinAside()
{
    std::lock_guard<std::mutex> hold(AsideLock());
    CString& aside = Aside();
    if (!aside.IsEmpty()) {
        g_strLog += aside;
        aside.Empty();
    }
}

class Hold {
public:
    explicit Hold(int waitMs)
        : m_bHeld(waitMs <= 0 ? Lock().try_lock() : Lock().try_lock_for(std::chrono::milliseconds(waitMs)))
    {
        if (m_bHeld)
            JoinAside();
    }
    ~Hold()
    {
        if (m_bHeld)
            Lock().unlock();
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    bool Held() const { return m_bHeld; }

private:
    bool m_bHeld;
};

}  // namespace

std::recursive_timed_mutex& Lock()
{
    static std::recursive_timed_mutex* lock = new std::recursive_timed_mutex;  // never destroyed: used at exit
    return *lock;
}

void Append(const CString& text)
{
    Hold hold(0);
    if (hold.Held()) {
        g_strLog += text;
        return;
    }
    std::lock_guard<std::mutex> aside(AsideLock());
    Aside() += text;
}

bool Transfer(const CString& path, CString* chunk, int waitMs)
{
    Hold hold(waitMs);
    if (!hold.Held())
        return false;
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

bool FlushAndClear(const CString& path, int waitMs)
{
    Hold hold(waitMs);
    if (!hold.Held())
        return false;
    Transfer(path, nullptr, 0);
    g_strLog.Empty();
    return true;
}

}  // namespace runlog
