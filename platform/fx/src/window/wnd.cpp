// CWnd: handle maps, creation hook, window procedure and message dispatch.
#include <cstdio>
#include "window_state.h"

#include <string>
#include <set>
#include <unordered_map>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

LRESULT CALLBACK FxCbtHook(int code, WPARAM wParam, LPARAM lParam);

namespace fx::win {

namespace {

struct PermanentMap {
    CRITICAL_SECTION lock;
    std::unordered_map<HWND, CWnd*> map;
    PermanentMap() { InitializeCriticalSection(&lock); }
};

// Never destroyed: windows may still be torn down while modules unload.
PermanentMap& Permanent()
{
    static PermanentMap* map = new PermanentMap;
    return *map;
}

const char kSuperProp[] = "FxSuperProc";

} // namespace

ThreadState::~ThreadState()
{
    for (auto& [h, p] : tempWnds) {
        p->m_hWnd = nullptr;
        delete p;
    }
    for (CWnd* p : retiredWnds)
        delete p;
    for (auto& [h, p] : tempDCs) {
        p->m_hDC = p->m_hAttribDC = nullptr;
        delete p;
    }
}

ThreadState& Thread()
{
    static PerThread<ThreadState> state;
    return state.Get();
}

CWnd* LookupPermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    PermanentMap& m = Permanent();
    EnterCriticalSection(&m.lock);
    auto it = m.map.find(hWnd);
    CWnd* p = it == m.map.end() ? nullptr : it->second;
    LeaveCriticalSection(&m.lock);
    return p;
}

void AddPermanent(HWND hWnd, CWnd* pWnd)
{
    PermanentMap& m = Permanent();
    EnterCriticalSection(&m.lock);
    m.map[hWnd] = pWnd;
    LeaveCriticalSection(&m.lock);
}

void RemovePermanent(HWND hWnd)
{
    PermanentMap& m = Permanent();
    EnterCriticalSection(&m.lock);
    m.map.erase(hWnd);
    LeaveCriticalSection(&m.lock);
}

} // namespace fx::win

using namespace fx::win;

// Private steps of the window life cycle used by the window procedure.
struct FxWindowAccess {
    static void FinishNcDestroy(CWnd* p) { p->FinishNcDestroy(); }
    static void SetSuper(CWnd* p, WNDPROC proc) { p->m_pfnSuper = proc; }
};

namespace fx::win {

static LRESULT ReportEscaped(CException* e, const MSG* msg)
{
    CWinThread* t = AfxGetThread();
    if (t)
        return t->ProcessWndProcException(e, msg);
    if (e)
        e->Delete();
    return EscapedResult(msg);
}

LRESULT EscapedResult(const MSG* msg)
{
    // A window whose creation failed half-way goes away; a failed paint is
    // not asked for again and again.
    if (msg && msg->message == WM_CREATE)
        return -1;
    if (msg && msg->message == WM_PAINT)
        ::ValidateRect(msg->hwnd, nullptr);
    return 0;
}

LRESULT CallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    ThreadState& ts = Thread();
    MSG saved = ts.lastSentMsg;
    ts.lastSentMsg.hwnd = hWnd;
    ts.lastSentMsg.message = nMsg;
    ts.lastSentMsg.wParam = wParam;
    ts.lastSentMsg.lParam = lParam;
    LRESULT result = 0;
    // No C++ exception may unwind through the system's message dispatch.
    try {
        result = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        result = ReportEscaped(e, &ts.lastSentMsg);
    } catch (...) {
        result = ReportEscaped(nullptr, &ts.lastSentMsg);
    }
    // A WM_NCDESTROY handler that did not call the base still ends the binding.
    if (nMsg == WM_NCDESTROY && LookupPermanent(hWnd) == pWnd)
        FxWindowAccess::FinishNcDestroy(pWnd);
    ts.lastSentMsg = saved;
    return result;
}

CreationHook::CreationHook(CWnd* pWnd) : m_installed(false)
{
    ThreadState& ts = Thread();
    m_prevInit = ts.pWndInit;
    ts.pWndInit = pWnd;
    if (!ts.hHookCbt) {
        ts.hHookCbt = ::SetWindowsHookExA(WH_CBT, FxCbtHook, nullptr, ::GetCurrentThreadId());
        m_installed = ts.hHookCbt != nullptr;
    }
}

CreationHook::~CreationHook()
{
    ThreadState& ts = Thread();
    ts.pWndInit = m_prevInit;
    if (m_installed) {
        ::UnhookWindowsHookEx(ts.hHookCbt);
        ts.hHookCbt = nullptr;
    }
}

} // namespace fx::win

// Binds the first window created after CreateEx (or a dialog creation)
// started to the object being created, before it receives WM_NCCREATE.
LRESULT CALLBACK FxCbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    ThreadState& ts = Thread();
    if (code == HCBT_CREATEWND && ts.pWndInit) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        char cls[16] = {};
        ::GetClassNameA(hWnd, cls, sizeof cls);
        // The system's input-method window may come first; it is not ours.
        if (lstrcmpiA(cls, "IME") != 0) {
            CWnd* pWnd = ts.pWndInit;
            ts.pWndInit = nullptr;
            if (pWnd->Attach(hWnd)) {
                pWnd->PreSubclassWindow();
                WNDPROC old = reinterpret_cast<WNDPROC>(
                    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
                if (old != &AfxWndProc) {
                    pWnd->m_pfnSuper = old;
                    ::SetPropA(hWnd, kSuperProp, reinterpret_cast<HANDLE>(old));
                }
            }
        }
    }
    return ::CallNextHookEx(ts.hHookCbt, code, wParam, lParam);
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = LookupPermanent(hWnd);
    if (!pWnd) {
        // Detached without being unsubclassed: keep the window working.
        WNDPROC super = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kSuperProp));
        if (super)
            return ::CallWindowProcA(super, hWnd, nMsg, wParam, lParam);
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    }
    return CallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

// ---- Window classes ---------------------------------------------------------

static HINSTANCE LayerModule()
{
    HMODULE h = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&AfxWndProc), &h);
    return h;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static CRITICAL_SECTION* lock = [] {
        auto* cs = new CRITICAL_SECTION;
        InitializeCriticalSection(cs);
        return cs;
    }();
    static std::set<std::string>* names = new std::set<std::string>;
    char name[96];
    // Handles are pointer-sized: keep every bit, so two handles never share a name.
    std::snprintf(name, sizeof name, "Fx:%x:%llx:%llx:%llx", nClassStyle,
                  (unsigned long long)(UINT_PTR)hCursor, (unsigned long long)(UINT_PTR)hbrBackground,
                  (unsigned long long)(UINT_PTR)hIcon);
    EnterCriticalSection(lock);
    auto it = names->find(name);
    if (it == names->end()) {
        WNDCLASSA wc = {};
        wc.style = nClassStyle | CS_GLOBALCLASS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = LayerModule();
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = name;
        if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            LeaveCriticalSection(lock);
            return nullptr;
        }
        it = names->insert(name).first;
    }
    LPCTSTR result = it->c_str();
    LeaveCriticalSection(lock);
    return result;
}

LPCTSTR AfxDefaultWndClass()
{
    static LPCTSTR name = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                              reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return name;
}

// ---- CWnd: handle map ----------------------------------------------------------

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::CWnd(HWND hWndPseudo) : m_hWnd(hWndPseudo), m_pfnSuper(nullptr) {}

CWnd::~CWnd()
{
    // A window still bound to its object dies with it.
    if (m_hWnd && LookupPermanent(m_hWnd) == this)
        DestroyWindow();
}

HWND CWnd::GetSafeHwnd() const
{
    // Callers may hold a null CWnd*; keep the compiler from assuming otherwise.
    const CWnd* self = this;
    asm("" : "+r"(self));
    return self ? self->m_hWnd : nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return LookupPermanent(hWnd); }

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* p = LookupPermanent(hWnd))
        return p;
    ThreadState& ts = Thread();
    auto it = ts.tempWnds.find(hWnd);
    if (it != ts.tempWnds.end())
        return it->second;
    CWnd* p = new CWnd;
    p->m_hWnd = hWnd;
    ts.tempWnds[hWnd] = p;
    return p;
}

void CWnd::DeleteTempMap()
{
    ThreadState& ts = Thread();
    auto temps = std::move(ts.tempWnds);
    ts.tempWnds.clear();
    auto retired = std::move(ts.retiredWnds);
    ts.retiredWnds.clear();
    for (auto& [h, p] : temps) {
        p->m_hWnd = nullptr;
        delete p;
    }
    for (CWnd* p : retired)
        delete p;
}

void AfxDeleteTempMaps()
{
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CImageList::DeleteTempMap();
}

namespace fx::detail {
CWnd* WndOf(HWND hWnd) { return CWnd::FromHandle(hWnd); }
CDC* DcOf(HDC hDC) { return CDC::FromHandle(hDC); }
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd || LookupPermanent(hWndNew))
        return FALSE;
    AddPermanent(hWndNew, this);
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h && LookupPermanent(h) == this)
        RemovePermanent(h);
    m_hWnd = nullptr;
    return h;
}

// ---- Creation and destruction ---------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    // The context travels as the creation parameter (a view adds itself to its document).
    PendingContext pending(pContext);
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    reinterpret_cast<HMENU>((UINT_PTR)nID), pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    reinterpret_cast<HMENU>((UINT_PTR)nID), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;  // one window per object
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    HWND hWnd;
    ThreadState& ts = Thread();
    ts.pLastNcDestroyed = nullptr;
    {
        CreationHook hook(this);
        hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                                 cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    }
    if (!hWnd) {
        // The window refused creation (WM_NCCREATE / WM_CREATE); its handle is gone.
        // An object that deletes itself with its window (PostNcDestroy) is gone too.
        if (ts.pLastNcDestroyed == this)
            return FALSE;
        if (m_hWnd && LookupPermanent(m_hWnd) == this)
            Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    HWND h = m_hWnd;
    if (!h)
        return FALSE;
    bool permanent = LookupPermanent(h) == this;
    BOOL ok = ::DestroyWindow(h);
    // A permanent object was unbound by WM_NCDESTROY (and may be deleted);
    // any other object just forgets the handle. A temporary object leaves the
    // map (the handle may be reused) and is deleted with the other temporaries.
    if (!permanent) {
        ThreadState& ts = Thread();
        auto it = ts.tempWnds.find(h);
        if (it != ts.tempWnds.end() && it->second == this) {
            ts.tempWnds.erase(it);
            ts.retiredWnds.push_back(this);
        }
        m_hWnd = nullptr;
    }
    return ok;
}

void CWnd::PostNcDestroy() {}

void CWnd::FinishNcDestroy()
{
    HWND h = m_hWnd;
    if (h) {
        WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(h, GWLP_WNDPROC));
        if (current == &AfxWndProc && m_pfnSuper)
            ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::RemovePropA(h, kSuperProp);
    }
    Detach();
    Thread().pLastNcDestroyed = this;
    PostNcDestroy();  // may delete this
}

void CWnd::OnNcDestroy()
{
    // The main window of a thread going away ends that thread's message loop.
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread->m_pMainWnd == this) {
        pThread->m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
    Default();
    FinishNcDestroy();
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc) {
        m_pfnSuper = old;
        ::SetPropA(hWnd, kSuperProp, reinterpret_cast<HANDLE>(old));
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hCtl = ::GetDlgItem(pParent->GetSafeHwnd(), (int)nID);
    return hCtl ? SubclassWindow(hCtl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::RemovePropA(m_hWnd, kSuperProp);
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::PreSubclassWindow() {}

// ---- Message dispatch ----------------------------------------------------------

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& m = Thread().lastSentMsg;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

const MSG* CWnd::GetCurrentMessage() { return &Thread().lastSentMsg; }

static bool IsCtlColor(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT dummy = 0;
    if (!pResult)
        pResult = &dummy;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        if (!pNMHDR || !pNMHDR->hwndFrom)
            return FALSE;
        return OnNotify(wParam, lParam, pResult);
    }
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message);
    if (!e && IsCtlColor(message))
        e = FindMessageEntry(WM_CTLCOLOR);
    if (!e)
        return FALSE;
    fx::detail::MsgCall call;
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    if (!e->pfn(this, call))
        return FALSE;
    *pResult = call.result;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (!hWndCtrl) {
        nCode = CN_COMMAND;  // menu or accelerator
    } else {
        // Controls changed by UpdateData do not notify their parent meanwhile.
        if (Thread().hLockoutNotify == m_hWnd)
            return TRUE;
        // The control may handle its own notification (ON_CONTROL_REFLECT).
        CWnd* pChild = LookupPermanent(hWndCtrl);
        if (pChild && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr))
            return TRUE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    CWnd* pChild = LookupPermanent(pNMHDR->hwndFrom);
    if (pChild && pChild != this && pChild->OnChildNotify(WM_NOTIFY, 0, lParam, pResult))
        return TRUE;
    AFX_NOTIFY notify = {pResult, pNMHDR};
    return OnCmdMsg((UINT)pNMHDR->idFrom, MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    fx::detail::MsgCall call;
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    switch (message) {
    case WM_COMMAND: {
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam));
        if (!e)
            return FALSE;
        call.nID = LOWORD(wParam);
        return e->pfn(this, call);
    }
    case WM_NOTIFY: {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, (WORD)pNMHDR->code);
        if (!e)
            return FALSE;
        call.nID = (UINT)pNMHDR->idFrom;
        call.pExtra = pNMHDR;
        if (pResult)
            call.result = *pResult;
        BOOL handled = e->pfn(this, call);
        if (pResult)
            *pResult = call.result;
        return handled;
    }
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: {
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_REFLECT_BASE + WM_CTLCOLOR);
        if (!e || !e->pfn(this, call))
            return FALSE;
        if (pResult)
            *pResult = call.result;
        return TRUE;
    }
    case WM_DRAWITEM: case WM_MEASUREITEM: case WM_DELETEITEM: case WM_COMPAREITEM:
    case WM_HSCROLL: case WM_VSCROLL: case WM_PARENTNOTIFY: case WM_VKEYTOITEM: case WM_CHARTOITEM:
        return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    default:
        return FALSE;
    }
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pChild = LookupPermanent(hWndChild);
    if (!pChild)
        return FALSE;
    const MSG& m = Thread().lastSentMsg;
    return pChild->OnChildNotify(m.message, m.wParam, m.lParam, pResult);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        CWnd* pWnd = LookupPermanent(h);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (h == hWndStop)
            break;
    }
    return FALSE;
}

// ---- Default handlers: the window's default processing ---------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) { return (BOOL)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnMoving(UINT, LPRECT) { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return (BOOL)Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
BOOL CWnd::OnQueryEndSession() { return (BOOL)Default(); }
void CWnd::OnEndSession(BOOL) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnEnterSizeMove() { Default(); }
void CWnd::OnExitSizeMove() { Default(); }
void CWnd::OnEnterMenuLoop(BOOL) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
BOOL CWnd::OnQueryNewPalette() { return (BOOL)Default(); }
void CWnd::OnPaletteChanged(CWnd*) { Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return (int)Default(); }
void CWnd::OnMDIActivate(BOOL, CWnd*, CWnd*) { Default(); }

BOOL fx::detail::MdiActivateIsOwn(CCmdTarget* t, LPARAM lParam)
{
    CWnd* pWnd = static_cast<CWnd*>(t);
    return reinterpret_cast<HWND>(lParam) == pWnd->m_hWnd;
}

// The messages below go to the child control first (reflection), so that
// controls can paint, measure and scroll themselves.
HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    CWnd* pChild = pWnd ? LookupPermanent(pWnd->m_hWnd) : nullptr;
    LRESULT result = 0;
    if (pChild && pChild != this &&
        pChild->OnChildNotify(WM_CTLCOLORMSGBOX + nCtlColor, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()),
                              reinterpret_cast<LPARAM>(pWnd->m_hWnd), &result))
        return reinterpret_cast<HBRUSH>(result);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS && lpDIS->CtlType != ODT_MENU) {
        CWnd* pChild = LookupPermanent(lpDIS->hwndItem);
        if (pChild && pChild != this &&
            pChild->OnChildNotify(WM_DRAWITEM, (WPARAM)nIDCtl, reinterpret_cast<LPARAM>(lpDIS), nullptr))
            return;
    }
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS)
{
    if (lpMIS && lpMIS->CtlType != ODT_MENU) {
        CWnd* pChild = LookupPermanent(::GetDlgItem(m_hWnd, nIDCtl));
        if (pChild && pChild != this &&
            pChild->OnChildNotify(WM_MEASUREITEM, (WPARAM)nIDCtl, reinterpret_cast<LPARAM>(lpMIS), nullptr))
            return;
    }
    Default();
}

void CWnd::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar)
{
    CWnd* pChild = pScrollBar ? LookupPermanent(pScrollBar->m_hWnd) : nullptr;
    if (pChild && pChild != this &&
        pChild->OnChildNotify(WM_HSCROLL, MAKEWPARAM(nSBCode, nPos), reinterpret_cast<LPARAM>(pChild->m_hWnd), nullptr))
        return;
    Default();
}

void CWnd::OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar)
{
    CWnd* pChild = pScrollBar ? LookupPermanent(pScrollBar->m_hWnd) : nullptr;
    if (pChild && pChild != this &&
        pChild->OnChildNotify(WM_VSCROLL, MAKEWPARAM(nSBCode, nPos), reinterpret_cast<LPARAM>(pChild->m_hWnd), nullptr))
        return;
    Default();
}
