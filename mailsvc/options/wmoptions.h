// The appearance options shared by the main program, the library's windows and
// the plug-ins: six colours, two switches, an update counter and the web
// site's two directories, held in static members so every module sees the same
// values. Stored under HKEY_CURRENT_USER\Korvaneant1.
#pragma once
#include "fx/fx.h"

#ifndef _WIN32
typedef DWORD COLORREF;
#  ifndef RGB
#    define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#    define GetRValue(rgb) ((BYTE)(rgb))
#    define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#    define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#  endif
typedef void* VxRegKey;
#else
typedef HKEY VxRegKey;
#endif

struct CWMOptionsTestAccess;
#ifdef _WIN32
class CWnd;
#endif

class CWMOptions {
public:
    CWMOptions();
    ~CWMOptions();

    // Loads the options once per process (until the last instance is gone).
    void Init();
    // Writes them back into the key Init opened; counts every call.
    void Save();

    static COLORREF Color1, Color2, Color3;
    static COLORREF ColorText1, ColorText2, ColorText3;
    static int m_bMainUseBackground2;
    static int m_bShowAnim;
    static int m_nUpDateCount;
    static CString m_strAssistantWWWDir;
    static CString m_strAssistantWWWVDir;

    // A stored colour text, "red green blue"; each number is kept to its low
    // byte, and numbers the text does not supply come from def.
    static COLORREF ParseColorText(const char* text, COLORREF def);
    static CString FormatColorText(COLORREF color);

#ifdef _WIN32
    // Paints a window's background with the gradient from Color1 to Color2.
    static void PaintWindowBackground(CWnd* window);
#endif

private:
    friend struct CWMOptionsTestAccess;

    BOOL Connect2Registry();
    BOOL DisconnectFromRegistry();
    BOOL CreateKey(const char* name);
    LONG GetStringValue(const char* name, CString& out, const CString& def);
    LONG GetIntValue(const char* name, DWORD& out, DWORD def);
    LONG SetStringValue(const char* name, const CString& value);
    LONG SetIntValue(const char* name, DWORD value);
    // The checks before any value is read or written: true when the access
    // cannot go ahead, result then being what the accessor returns.
    static bool RefuseValueAccess(const char* name, LONG& result);
    void applyDefaults();

    static VxRegKey m_hRootKey;
    static VxRegKey m_hKey;
    static LONG m_nLastError;
    static BOOL m_bHaveToCloseKeyHandle;
    static BOOL m_bInited;
    static int m_nInstanceCount;
    static CString m_sComputerName;
    static CString m_sRegistryName;
    static CString m_sKeyName;
    static const char* s_pszKeyName;  // "Korvaneant1"
};
