#include "instance_checker.h"

namespace {
// The mapping that the first instance created; open for the life of the process.
HANDLE g_hFirstInstanceMapping = nullptr;

struct MappingCloser {
    ~MappingCloser() { CInstanceChecker::ReleaseFirstInstance(); }
} g_MappingCloser;
}  // namespace

CInstanceChecker::CInstanceChecker(LPCTSTR appName)
{
    m_strName = "CInstanceChecker_MMF_";
    m_strName += appName ? appName : AfxGetAppName() ? AfxGetAppName() : "";
    m_hMutex = ::CreateMutexA(nullptr, FALSE, nullptr);
}

CInstanceChecker::~CInstanceChecker()
{
    if (m_hMapping)
        ::CloseHandle(m_hMapping);
    if (m_hMutex)
        ::CloseHandle(m_hMutex);
}

void CInstanceChecker::ReleaseFirstInstance()
{
    if (g_hFirstInstanceMapping) {
        ::CloseHandle(g_hFirstInstanceMapping);
        g_hFirstInstanceMapping = nullptr;
    }
}

BOOL CInstanceChecker::PreviousInstanceRunning()
{
    if (m_hMapping)
        ::CloseHandle(m_hMapping);
    m_hMapping = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, m_strName);
    return m_hMapping != nullptr;
}

HWND CInstanceChecker::ActivatePreviousInstance()
{
    if (!m_hMapping)
        return nullptr;
    void* view = ::MapViewOfFile(m_hMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(DWORD));
    if (!view) {
        ::CloseHandle(m_hMapping);
        m_hMapping = nullptr;
        return nullptr;
    }
    HWND hWnd = nullptr;
    if (m_hMutex)
        ::WaitForSingleObject(m_hMutex, INFINITE);
    hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(*static_cast<volatile DWORD*>(view)));
    if (hWnd && ::IsWindow(hWnd)) {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(hWnd, WM_ACTIVATE_INSTANCE, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                              kActivateTimeoutMs, &answer);
    }
    if (m_hMutex)
        ::ReleaseMutex(m_hMutex);
    ::UnmapViewOfFile(view);
    ::CloseHandle(m_hMapping);
    m_hMapping = nullptr;
    return hWnd;
}

BOOL CInstanceChecker::TrackFirstInstance()
{
    if (PreviousInstanceRunning())
        return FALSE;
    ReleaseFirstInstance();
    g_hFirstInstanceMapping =
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD), m_strName);
    if (!g_hFirstInstanceMapping)
        return TRUE;
    void* view = ::MapViewOfFile(g_hFirstInstanceMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(DWORD));
    if (view) {
        if (m_hMutex)
            ::WaitForSingleObject(m_hMutex, INFINITE);
        CWnd* main = AfxGetMainWnd();
        *static_cast<volatile DWORD*>(view) =
            static_cast<DWORD>(reinterpret_cast<UINT_PTR>(main ? main->GetSafeHwnd() : nullptr));
        if (m_hMutex)
            ::ReleaseMutex(m_hMutex);
        ::UnmapViewOfFile(view);
    }
    return TRUE;
}
