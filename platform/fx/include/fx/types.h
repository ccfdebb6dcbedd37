// Basic Win32 types and the diagnostic macros of the class layer.
// On Win32 the types come from <windows.h>; the host build defines the same
// names with the same sizes so the portable core compiles unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  include <windows.h>
#  include <tchar.h>
// winbase.h turns GetCurrentTime() into GetTickCount(), which would break
// CTime::GetCurrentTime(); nothing of ours wants the old macro.
#  ifdef GetCurrentTime
#    undef GetCurrentTime
#  endif
#else
typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int INT;
typedef short SHORT;
typedef unsigned short USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef float FLOAT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef char TCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* LPBYTE;
typedef WORD* LPWORD;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;
typedef UINT* LPUINT;

#  ifndef TRUE
#    define TRUE 1
#  endif
#  ifndef FALSE
#    define FALSE 0
#  endif
#  ifndef _T
#    define _T(x) x
#  endif
#  ifndef MAX_PATH
#    define MAX_PATH 260
#  endif

#  define MAKEWORD(a, b) ((WORD)(((BYTE)((DWORD_PTR)(a) & 0xff)) | ((WORD)((BYTE)((DWORD_PTR)(b) & 0xff))) << 8))
#  define MAKELONG(a, b) ((LONG)(((WORD)((DWORD_PTR)(a) & 0xffff)) | ((DWORD)((WORD)((DWORD_PTR)(b) & 0xffff))) << 16))
#  define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xffff))
#  define HIWORD(l) ((WORD)(((DWORD_PTR)(l) >> 16) & 0xffff))
#  define LOBYTE(w) ((BYTE)((DWORD_PTR)(w) & 0xff))
#  define HIBYTE(w) ((BYTE)(((DWORD_PTR)(w) >> 8) & 0xff))
#endif

#ifndef _MAX_PATH
#  define _MAX_PATH 260
#endif

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4 && sizeof(LONG) == 4,
              "stored forms rely on these sizes");

// An opaque iteration cursor of the collections.
struct FxPositionTag;
typedef FxPositionTag* POSITION;

// Passed to a collection's constructor or to CTypedPtr... as "no explicit position".
#define BEFORE_START_POSITION ((POSITION)-1L)

// Allocation failure in the class layer throws a CMemoryException* (see exceptions.h).
[[noreturn]] void AfxThrowMemoryException();

// Diagnostics. ASSERT is checked only in _DEBUG builds (as callers expect:
// a release build never stops on one); VERIFY always evaluates its argument.
void AfxAssertFailedLine(const char* file, int line);
void AfxTrace(const char* format, ...)
#if defined(__GNUC__) || defined(__clang__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#ifdef _DEBUG
#  define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__))
#  define VERIFY(f) ASSERT(f)
#  define TRACE AfxTrace
#else
#  define ASSERT(f) ((void)0)
#  define VERIFY(f) ((void)(f))
#  define TRACE(...) ((void)0)
#endif
#define ASSERT_VALID(p) ((void)0)
#define TRACE0(s) TRACE("%s", s)
#define TRACE1(s, a) TRACE(s, a)
#define TRACE2(s, a, b) TRACE(s, a, b)
#define TRACE3(s, a, b, c) TRACE(s, a, b, c)
