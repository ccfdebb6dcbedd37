// The resource chain and string loading from it.
#include "window_state.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

namespace {

struct Chain {
    SRWLOCK lock = SRWLOCK_INIT;
    CDynLinkLibrary* head = nullptr;
    HINSTANCE resource = nullptr;  // the program's resource module once set
};

// Never destroyed: modules leave the chain while the process ends.
Chain& TheChain()
{
    static Chain* chain = new Chain;
    return *chain;
}

// The modules to search, in order: the program's resources, then each joined module.
std::vector<HINSTANCE> SearchOrder()
{
    std::vector<HINSTANCE> order;
    order.push_back(AfxGetResourceHandle());
    Chain& c = TheChain();
    AcquireSRWLockShared(&c.lock);
    for (CDynLinkLibrary* p = c.head; p; p = p->m_pNextDLL)
        if (p->m_hResource && p->m_hResource != order.front())
            order.push_back(p->m_hResource);
    ReleaseSRWLockShared(&c.lock);
    // The layer's own resources (the framework's texts) come last.
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&AfxFindResourceHandle), &self);
    if (self && std::find(order.begin(), order.end(), self) == order.end())
        order.push_back(self);
    return order;
}

// String nID of module h as UTF-16 (pointer into the module's string table), or
// null when the module has no such string or it is empty.
const WCHAR* FindStringIn(HINSTANCE h, UINT nID, int* pLength)
{
    HRSRC res = ::FindResourceA(h, MAKEINTRESOURCEA((nID >> 4) + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
    if (!res)
        return nullptr;
    HGLOBAL mem = ::LoadResource(h, res);
    const WCHAR* p = mem ? static_cast<const WCHAR*>(::LockResource(mem)) : nullptr;
    DWORD size = ::SizeofResource(h, res) / sizeof(WCHAR);
    if (!p)
        return nullptr;
    // A block holds 16 counted strings; walk to ours without leaving the block.
    const WCHAR* end = p + size;
    for (UINT i = 0; i < (nID & 15); ++i) {
        if (p >= end)
            return nullptr;
        p += 1 + *p;
    }
    if (p >= end || *p == 0 || p + 1 + *p > end)
        return nullptr;
    *pLength = *p;
    return p + 1;
}

} // namespace

HINSTANCE AfxGetResourceHandle()
{
    Chain& c = TheChain();
    return c.resource ? c.resource : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE hInstResource) { TheChain().resource = hInstResource; }

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    for (HINSTANCE h : SearchOrder())
        if (::FindResourceA(h, lpszName, lpszType))
            return h;
    return AfxGetResourceHandle();
}

HINSTANCE AfxFindStringResourceHandle(UINT nID)
{
    // Per string, not per block: two modules may share a block number.
    int len = 0;
    for (HINSTANCE h : SearchOrder())
        if (FindStringIn(h, nID, &len))
            return h;
    return nullptr;
}

static bool LoadChainString(UINT nID, CString& out)
{
    int len = 0;
    for (HINSTANCE h : SearchOrder()) {
        const WCHAR* w = FindStringIn(h, nID, &len);
        if (!w)
            continue;
        int n = ::WideCharToMultiByte(CP_ACP, 0, w, len, nullptr, 0, nullptr, nullptr);
        char* buf = out.GetBuffer(n);
        ::WideCharToMultiByte(CP_ACP, 0, w, len, buf, n, nullptr, nullptr);
        out.ReleaseBuffer(n);
        return true;
    }
    return false;
}

int AfxLoadString(UINT nID, LPTSTR lpszBuf, UINT nMaxBuf)
{
    if (!lpszBuf || nMaxBuf == 0)
        return 0;
    lpszBuf[0] = '\0';
    CString s;
    if (!LoadChainString(nID, s))
        return 0;
    int n = s.GetLength();
    if ((UINT)n >= nMaxBuf)
        n = (int)nMaxBuf - 1;
    memcpy(lpszBuf, (LPCTSTR)s, (size_t)n);
    lpszBuf[n] = '\0';
    return n;
}

BOOL CString::LoadString(UINT nID)
{
    CString s;
    if (!LoadChainString(nID, s))
        return FALSE;
    *this = s;
    return TRUE;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (state.bInitialized)
        return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL)
{
    if (!state.bInitialized)
        return;
    Chain& c = TheChain();
    std::vector<CDynLinkLibrary*> leaving;
    AcquireSRWLockExclusive(&c.lock);
    for (CDynLinkLibrary* p = c.head; p; p = p->m_pNextDLL)
        if (p->m_hModule == state.hModule)
            leaving.push_back(p);
    ReleaseSRWLockExclusive(&c.lock);
    for (CDynLinkLibrary* p : leaving)
        delete p;  // the destructor unlinks it
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : CDynLinkLibrary(state.hModule, state.hResource)
{
    m_bSystem = bSystem;
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource)
    : m_hModule(hModule), m_hResource(hResource), m_bSystem(FALSE), m_pNextDLL(nullptr)
{
    Chain& c = TheChain();
    AcquireSRWLockExclusive(&c.lock);
    m_pNextDLL = c.head;  // the newest module is searched first
    c.head = this;
    ReleaseSRWLockExclusive(&c.lock);
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    Chain& c = TheChain();
    AcquireSRWLockExclusive(&c.lock);
    for (CDynLinkLibrary** pp = &c.head; *pp; pp = &(*pp)->m_pNextDLL) {
        if (*pp == this) {
            *pp = m_pNextDLL;
            break;
        }
    }
    ReleaseSRWLockExclusive(&c.lock);
}
