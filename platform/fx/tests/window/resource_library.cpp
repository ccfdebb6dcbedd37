// A library of the class layer with resources of its own: it joins the
// resource chain when loaded and leaves it when unloaded.
#include "fx/fxwin.h"

static AFX_EXTENSION_MODULE extensionModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(extensionModule, hInstance))
            return FALSE;
        new CDynLinkLibrary(extensionModule);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(extensionModule);
    }
    return TRUE;
}
