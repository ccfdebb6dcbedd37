// CWinThread: threads, the message loop and idle processing.
#include "window_state.h"

#include <process.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

using fx::win::Thread;

CWinThread::CWinThread()
    : m_pMainWnd(nullptr), m_pActiveWnd(nullptr), m_bAutoDelete(TRUE), m_hThread(nullptr),
      m_nThreadID(0), m_msgCur(), m_pfnThreadProc(nullptr), m_pThreadParams(nullptr),
      m_ptCursorLast{-1, -1}, m_nMsgLast(0)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : CWinThread()
{
    m_pfnThreadProc = pfnThreadProc;
    m_pThreadParams = pParam;
}

CWinThread::~CWinThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
    if (Thread().pThread == this)
        Thread().pThread = nullptr;
}

unsigned __stdcall CWinThread::ThreadEntry(void* p)
{
    CWinThread* self = static_cast<CWinThread*>(p);
    Thread().pThread = self;
    // A thread starts out with the application's main window as its own.
    CWinApp* app = AfxGetApp();
    if (!self->m_pMainWnd && app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
        self->m_pMainWnd = app->m_pMainWnd;
    unsigned code = 0;
    try {
        if (self->m_pfnThreadProc) {
            code = self->m_pfnThreadProc(self->m_pThreadParams);
        } else if (!self->InitInstance()) {
            if (self->m_pMainWnd)
                self->m_pMainWnd->DestroyWindow();
            code = (unsigned)self->ExitInstance();
        } else {
            code = (unsigned)self->Run();
        }
    } catch (CException* e) {
        e->Delete();
        code = (unsigned)-1;
    } catch (...) {
        code = (unsigned)-1;
    }
    AfxDeleteTempMaps();
    Thread().pThread = nullptr;
    if (self->m_bAutoDelete)
        self->Delete();
    return code;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread)
        return FALSE;
    unsigned id = 0;
    // Started suspended so the object is complete before the thread can end and delete it.
    uintptr_t h = _beginthreadex(lpSecurityAttrs, nStackSize, &CWinThread::ThreadEntry, this,
                                 CREATE_SUSPENDED, &id);
    if (!h)
        return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(h);
    m_nThreadID = id;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

int CWinThread::GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
BOOL CWinThread::SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
DWORD CWinThread::SuspendThread() { return ::SuspendThread(m_hThread); }
DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }

BOOL CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostThreadMessageA(m_nThreadID, message, wParam, lParam);
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance()
{
    return m_msgCur.message == WM_QUIT ? (int)m_msgCur.wParam : 0;
}

CWnd* CWinThread::GetMainWnd()
{
    if (m_pActiveWnd)
        return m_pActiveWnd;
    return m_pMainWnd;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

LRESULT CWinThread::ProcessWndProcException(CException* e, const MSG* pMsg)
{
    // Tell the user; a failed creation makes the window go away.
    char text[512] = "";
    if (!e || !e->GetErrorMessage(text, sizeof text) || !text[0])
        lstrcpynA(text, "An unexpected error occurred.", sizeof text);
    if (e)
        e->Delete();
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    return fx::win::EscapedResult(pMsg);
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves that do not move and the caret blink do not restart idle work.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y && pMsg->message == m_nMsgLast)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER: caret */;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        // The main window and its bars bring their states (captions, panes,
        // buttons) up to date.
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd && pMainWnd->m_hWnd && ::IsWindowVisible(pMainWnd->m_hWnd)) {
            pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        }
        AfxDeleteTempMaps();
    }
    return FALSE;
}

BOOL CWinThread::DispatchThreadMessage(MSG* pMsg)
{
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(pMsg->message);
    if (!e)
        return FALSE;
    fx::detail::MsgCall call;
    call.message = pMsg->message;
    call.wParam = pMsg->wParam;
    call.lParam = pMsg->lParam;
    return e->pfn(this, call);
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg->hwnd)
        return DispatchThreadMessage(pMsg);
    CWnd* pMainWnd = GetMainWnd();
    HWND hWndMain = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    // The window the message is for, then its parents (owners of top-level
    // windows), up to the main window.
    bool mainSeen = false;
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (h == hWndMain) {
            mainSeen = true;
            break;
        }
    }
    // A window outside the main window's family: the main window's
    // translation (its accelerators) still gets a chance.
    if (hWndMain && !mainSeen && pMainWnd->PreTranslateMessage(pMsg))
        return TRUE;
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

int CWinThread::Run()
{
    BOOL idle = TRUE;
    LONG idleCount = 0;
    MSG peek;
    for (;;) {
        while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                idle = TRUE;
                idleCount = 0;
            }
        } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

CWinThread* AfxGetThread()
{
    CWinThread* t = Thread().pThread;
    if (t)
        return t;
    CWinApp* app = AfxGetApp();
    if (app && ::GetCurrentThreadId() == fx::win::AppThreadId())
        return app;
    return nullptr;
}

BOOL AfxPumpMessage()
{
    CWinThread* t = AfxGetThread();
    if (t)
        return t->PumpMessage();
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0))
        return FALSE;
    if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

void AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

namespace {

// Starts t suspended, sets its priority, then lets it run unless the caller
// asked for it suspended. A thread that cannot be created is deleted: null.
CWinThread* StartThread(CWinThread* t, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                        LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!t->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        t->Delete();
        return nullptr;
    }
    t->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        t->ResumeThread();
    return t;
}

} // namespace

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    return StartThread(new CWinThread(pfnThreadProc, pParam), nPriority, nStackSize, dwCreateFlags,
                       lpSecurityAttrs);
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pThreadClass || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
        return nullptr;
    CWinThread* t = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (!t)
        return nullptr;
    return StartThread(t, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}
