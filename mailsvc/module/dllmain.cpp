// Entry point of the shared library: it joins the class layer's resource
// chain, so its dialogs, icons, strings and page parts are found by number
// after the main program's own.
#include "fx/fxwin.h"
#include "fx/resources.h"

namespace {
AFX_EXTENSION_MODULE g_trellaneModule = {FALSE, nullptr, nullptr};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_trellaneModule, instance))
            return FALSE;
        new CDynLinkLibrary(g_trellaneModule);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(g_trellaneModule);
    }
    return TRUE;
}
