#include "worker_thread.h"

#include <list>

#include "fx/msgbox.h"

IMPLEMENT_DYNAMIC(CThread, CObject)

struct ThreadNameRecord {
    CString name;
    CRITICAL_SECTION section;
    int uses;
};

namespace {

// The section that guards every CThread's members, and the name registry.
struct ThreadGlobals {
    CRITICAL_SECTION lock;
    std::list<ThreadNameRecord*> names;
    ThreadGlobals() { InitializeCriticalSection(&lock); }
    ~ThreadGlobals()
    {
        for (ThreadNameRecord* r : names) {
            DeleteCriticalSection(&r->section);
            delete r;
        }
        DeleteCriticalSection(&lock);
    }
};

ThreadGlobals& Globals()
{
    static ThreadGlobals globals;
    return globals;
}

class MemberLock {
public:
    MemberLock() { EnterCriticalSection(&Globals().lock); }
    ~MemberLock() { LeaveCriticalSection(&Globals().lock); }
    MemberLock(const MemberLock&) = delete;
    MemberLock& operator=(const MemberLock&) = delete;
};

const char kAlreadyStarted[] = "Thread is already started!";

// The system's text for an error number in the default language ("" when none).
CString SystemMessage(DWORD error)
{
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    CString text = n && buffer ? buffer : "";
    if (buffer)
        LocalFree(buffer);
    return text;
}

CRITICAL_SECTION* g_globalSection = nullptr;

}  // namespace

// ---- CThreadException ----

CThreadException::CThreadException(CThread* thread, int code) : m_thread(thread), m_code(code) {}

CThreadException::CThreadException(CThread* thread, const CString& text, int code)
    : m_thread(thread), m_text(text), m_code(code)
{
}

CThreadException::CThreadException(CThread* thread, UINT textId, int code) : m_thread(thread), m_code(code)
{
    SetErrorMessage(textId);
}

void CThreadException::SetErrorMessage(UINT textId)
{
    m_text.Empty();
    m_text.LoadString(textId);
}

BOOL CThreadException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext)
{
    if (helpContext)
        *helpContext = 0;
    if (!buffer || maxChars == 0)
        return FALSE;
    lstrcpynA(buffer, m_text, static_cast<int>(maxChars));
    return TRUE;
}

int CThreadException::ReportError(UINT type, UINT messageId)
{
    CString text = m_text;
    if (messageId) {
        CString format;
        if (format.LoadString(messageId))
            text.Format(format, static_cast<LPCSTR>(m_text));
    }
    return AfxMessageBox(text, type);
}

// ---- CThread ----

CThread::CThread(int parameter1, int parameter2)
    : m_bCommandQueue(0), m_bNamed(0), m_nameRecord(nullptr), m_securityCopy(), m_security(nullptr),
      m_hThread(nullptr), m_hEvent(nullptr), m_threadId(0), m_stackSize(0), m_exitCode(-2), m_state(1),
      m_parameter1(parameter1), m_parameter2(parameter2)
{
}

CThread::~CThread()
{
    try {
        // Asked to end first; killed only when it does not.
        if (IsAlive()) {
            int exitCode = 0;
            bool stopped = false;
            try {
                stopped = Stop(exitCode, 50);
            } catch (CThreadException* e) {
                e->Delete();
            }
            if (!stopped)
                Kill(0, true);
        }
    } catch (CThreadException* e) {
        e->Delete();
    } catch (...) {
    }
    MemberLock lock;
    if (m_hThread) {
        CloseHandle(m_hThread);
        Unregister();
    }
    if (m_hEvent)
        CloseHandle(m_hEvent);
    m_hEvent = nullptr;
    Reset();
}

void CThread::Reset()
{
    m_hThread = nullptr;
    m_threadId = 0;
    m_state = 1;
    m_nameRecord = nullptr;
    m_commands.RemoveAll();
}

void CThread::Register()
{
    for (ThreadNameRecord* r : Globals().names) {
        if (r->name == m_name) {
            ++r->uses;
            m_nameRecord = r;
            return;
        }
    }
    ThreadNameRecord* r = new ThreadNameRecord;
    r->name = m_name;
    InitializeCriticalSection(&r->section);
    r->uses = 1;
    Globals().names.push_back(r);
    m_nameRecord = r;
}

void CThread::Unregister()
{
    if (!m_bNamed || !m_nameRecord)
        return;
    if (m_nameRecord->uses < 2) {
        DeleteCriticalSection(&m_nameRecord->section);
        Globals().names.remove(m_nameRecord);
        delete m_nameRecord;
    } else {
        --m_nameRecord->uses;
    }
    m_nameRecord = nullptr;
}

void CThread::CloseThreadHandle()
{
    if (m_hThread)
        CloseHandle(m_hThread);
    m_hThread = nullptr;
}

DWORD WINAPI CThread::ControllingFunction(LPVOID self)
{
    CThread* thread = static_cast<CThread*>(self);
    int result = thread->ThreadHandler();
    MemberLock lock;
    thread->Unregister();
    thread->CloseThreadHandle();
    thread->Reset();
    thread->m_exitCode = result;
    return static_cast<DWORD>(result);
}

void CThread::Start()
{
    MemberLock lock;
    if (IsAlive())
        throw new CThreadException(this, CString(kAlreadyStarted), kThreadAlreadyStarted);
    Reset();
    if (m_bCommandQueue && !m_hEvent) {
        m_hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (!m_hEvent)
            throw new CThreadException(this, SystemMessage(GetLastError()), kThreadEventFailed);
    }
    if (m_bNamed)
        Register();
    m_hThread = CreateThread(m_security, m_stackSize, ControllingFunction, this, 0, &m_threadId);
    if (!m_hThread) {
        CString text = SystemMessage(GetLastError());
        Unregister();
        Reset();
        throw new CThreadException(this, text, kThreadCreateFailed);
    }
    CString error;
    if (PostCommandNoThrow(kThreadCommandStart, error)) {
        m_state = 0;
        return;
    }
    TerminateThread(m_hThread, static_cast<DWORD>(-1));
    CloseThreadHandle();
    Unregister();
    Reset();
    throw new CThreadException(this, error, kThreadPostFailed);
}

bool CThread::Stop(int& exitCode, int timeout)
{
    {
        MemberLock lock;
        if (!IsAlive()) {
            if (m_hThread) {
                DWORD code = 0;
                if (GetExitCodeThread(m_hThread, &code))
                    m_exitCode = static_cast<int>(code);
                CloseThreadHandle();
                Unregister();
            }
            exitCode = m_exitCode;
            Reset();
            return true;
        }
        CString error;
        if (!PostCommandNoThrow(kThreadCommandStop, error)) {
            exitCode = GetExitCode();
            throw new CThreadException(this, error, kThreadPostFailed);
        }
    }
    for (int i = 0; (timeout < 0 || i < timeout) && IsAlive(); ++i)
        Sleep(100);
    exitCode = GetExitCode();
    return exitCode != kStillActive;
}

void CThread::Kill(int exitCode, bool noThrow)
{
    {
        MemberLock lock;
        if (!IsAlive() && !m_hThread) {
            m_exitCode = exitCode;
            Reset();
            return;
        }
        BOOL terminated = TerminateThread(m_hThread, static_cast<DWORD>(exitCode));
        DWORD error = GetLastError();
        // Termination completes asynchronously; wait for it a bounded time.
        if (terminated)
            WaitForSingleObject(m_hThread, 5000);
        DWORD code = 0;
        if (GetExitCodeThread(m_hThread, &code))
            m_exitCode = static_cast<int>(code);
        if (!terminated && !noThrow)
            throw new CThreadException(this, SystemMessage(error), kThreadKillFailed);
        if (noThrow)
            m_exitCode = exitCode;
        CloseThreadHandle();
        Unregister();
        Reset();
    }
    OnKill();
}

void CThread::PostCommand(UINT command)
{
    MemberLock lock;
    if (!m_hThread)
        return;
    CString error;
    if (!PostCommandNoThrow(command, error))
        throw new CThreadException(this, error, kThreadPostFailed);
}

bool CThread::PostCommandNoThrow(UINT command, CString& error)
{
    MemberLock lock;
    error.Empty();
    if (!m_bCommandQueue || !m_hEvent || command == kThreadCommandNone)
        return true;
    INT_PTR count = m_commands.GetSize();
    if (count > 0 && m_commands[count - 1] == command)
        return true;
    try {
        m_commands.Add(command);
    } catch (CException* e) {
        e->Delete();
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!SetEvent(m_hEvent)) {
        error = SystemMessage(GetLastError());
        return false;
    }
    return true;
}

bool CThread::PostCommandFirst(UINT command)
{
    MemberLock lock;
    if (!m_bCommandQueue || command == kThreadCommandNone)
        return false;
    m_commands.InsertAt(0, command);
    return true;
}

bool CThread::GetCommand(UINT& command)
{
    MemberLock lock;
    if (m_commands.GetSize() == 0)
        return false;
    command = m_commands[0];
    m_commands.RemoveAt(0);
    return true;
}

void CThread::WaitForCommand(UINT& command, DWORD timeout)
{
    command = kThreadCommandNone;
    HANDLE event;
    {
        MemberLock lock;
        if (!m_bCommandQueue || !m_hEvent)
            return;
        event = m_hEvent;
    }
    for (;;) {
        if (GetCommand(command))
            return;
        DWORD result = WaitForSingleObject(event, timeout);
        if (result == WAIT_TIMEOUT) {
            command = kThreadCommandTimeout;
            return;
        }
        if (result != WAIT_OBJECT_0)
            return;  // a failed wait gives command 0 rather than a busy loop
    }
}

void CThread::ClearCommands()
{
    MemberLock lock;
    m_commands.RemoveAll();
}

bool CThread::WaitForState(int state, int timeout)
{
    for (int i = 0;; ++i) {
        {
            MemberLock lock;
            if (m_state == state || !m_hThread)
                return m_state == state;
        }
        if (timeout >= 0 && i >= timeout)
            return false;
        Sleep(100);
    }
}

bool CThread::IsAlive()
{
    MemberLock lock;
    DWORD code = 0;
    return m_hThread && GetExitCodeThread(m_hThread, &code) && code == STILL_ACTIVE;
}

int CThread::GetExitCode()
{
    MemberLock lock;
    DWORD code = 0;
    if (m_hThread && GetExitCodeThread(m_hThread, &code))
        return static_cast<int>(code);
    return m_exitCode;
}

bool CThread::SetPriority(int priority)
{
    MemberLock lock;
    return m_hThread && SetThreadPriority(m_hThread, priority);
}

int CThread::GetPriority()
{
    MemberLock lock;
    return m_hThread ? GetThreadPriority(m_hThread) : 0x7FFFFFFF;
}

void CThread::Lock()
{
    CRITICAL_SECTION* section;
    {
        MemberLock lock;
        section = m_nameRecord ? &m_nameRecord->section : nullptr;
    }
    if (section)
        EnterCriticalSection(section);
}

void CThread::Unlock()
{
    MemberLock lock;
    if (m_nameRecord)
        LeaveCriticalSection(&m_nameRecord->section);
}

int CThread::GetState()
{
    MemberLock lock;
    return m_state;
}

void CThread::SetState(int state)
{
    MemberLock lock;
    m_state = state;
}

void CThread::SetSecurityAttributes(const SECURITY_ATTRIBUTES* attributes)
{
    MemberLock lock;
    if (!attributes) {
        m_security = nullptr;
        return;
    }
    m_securityCopy = *attributes;
    m_security = &m_securityCopy;
}

void CThread::GetParameters(int& parameter1, int& parameter2) const
{
    MemberLock lock;
    parameter1 = m_parameter1;
    parameter2 = m_parameter2;
}

void CThread::SetParameters(int parameter1, int parameter2)
{
    MemberLock lock;
    m_parameter1 = parameter1;
    m_parameter2 = parameter2;
}

int CThread::GetNameUseCount(const CString& name)
{
    MemberLock lock;
    for (ThreadNameRecord* r : Globals().names)
        if (r->name == name)
            return r->uses;
    return 0;
}

void CThread::EnterGlobalSection()
{
    CRITICAL_SECTION* section;
    {
        MemberLock lock;
        if (!g_globalSection) {
            g_globalSection = new CRITICAL_SECTION;
            InitializeCriticalSection(g_globalSection);
        }
        section = g_globalSection;
    }
    EnterCriticalSection(section);
}

void CThread::LeaveGlobalSection()
{
    if (g_globalSection)
        LeaveCriticalSection(g_globalSection);
}

void CThread::DeleteGlobalSection()
{
    MemberLock lock;
    if (g_globalSection) {
        DeleteCriticalSection(g_globalSection);
        delete g_globalSection;
        g_globalSection = nullptr;
    }
}
