// The resource chain: the program's module first, then every module that
// joined (shared libraries of the layer and plug-ins, newest first). A
// module joins from its DllMain and leaves when it is unloaded:
//
//     static AFX_EXTENSION_MODULE extModule;
//     BOOL WINAPI DllMain(HINSTANCE h, DWORD reason, LPVOID) {
//         if (reason == DLL_PROCESS_ATTACH) { AfxInitExtensionModule(extModule, h); new CDynLinkLibrary(extModule); }
//         if (reason == DLL_PROCESS_DETACH) AfxTermExtensionModule(extModule);
//         return TRUE;
//     }
#pragma once

#include "fx/cmdtarget.h"

struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Takes the module's records out of the chain and deletes them.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// One module's record in the chain; joins on construction, leaves on deletion.
class CDynLinkLibrary : public CCmdTarget {
    DECLARE_DYNAMIC(CDynLinkLibrary)
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource);
    ~CDynLinkLibrary() override;

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;
    CDynLinkLibrary* m_pNextDLL;
};

// The program's resource module (the executable unless changed).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
// The first module of the chain that holds the resource; the program's
// resource module when none does.
HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
// The module of the chain that holds string nID (non-empty), or null.
HINSTANCE AfxFindStringResourceHandle(UINT nID);
// String nID of the chain into buf (at most nMaxBuf - 1 chars); 0 when absent.
int AfxLoadString(UINT nID, LPTSTR lpszBuf, UINT nMaxBuf = 256);
