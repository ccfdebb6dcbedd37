// CFile's operating-system seam on Win32.
#ifdef _WIN32
#include "osfile.h"

namespace fx::os {

namespace {

HANDLE handle(UINT_PTR h) { return reinterpret_cast<HANDLE>(h); }

time_t fromFileTime(const FILETIME& ft)
{
    ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    if (t == 0)
        return 0;
    // 100 ns steps since 1601 to seconds since 1970.
    return static_cast<time_t>(t / 10000000ULL) - static_cast<time_t>(11644473600LL);
}

} // namespace

LONG LastError() { return static_cast<LONG>(::GetLastError()); }

UINT_PTR Open(LPCTSTR name, UINT flags)
{
    DWORD access;
    switch (flags & 3) {
    case CFile::modeWrite: access = GENERIC_WRITE; break;
    case CFile::modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default: access = GENERIC_READ; break;
    }
    DWORD share;
    switch (flags & 0x70) {
    case CFile::shareDenyWrite: share = FILE_SHARE_READ; break;
    case CFile::shareDenyRead: share = FILE_SHARE_WRITE; break;
    case CFile::shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;  // compatibility mode and exclusive
    }
    DWORD disposition = OPEN_EXISTING;
    if (flags & CFile::modeCreate)
        disposition = (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    SECURITY_ATTRIBUTES sa;
    sa.nLength = sizeof sa;
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = (flags & CFile::modeNoInherit) ? FALSE : TRUE;
    HANDLE h = ::CreateFileA(name, access, share, &sa, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return CFile::hFileNull;
    return reinterpret_cast<UINT_PTR>(h);
}

bool Close(UINT_PTR h) { return ::CloseHandle(handle(h)) != FALSE; }

long Read(UINT_PTR h, void* buffer, UINT count)
{
    DWORD got = 0;
    if (!::ReadFile(handle(h), buffer, count, &got, nullptr))
        return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    return static_cast<long>(got);
}

long Write(UINT_PTR h, const void* buffer, UINT count)
{
    DWORD done = 0;
    if (!::WriteFile(handle(h), buffer, count, &done, nullptr))
        return -1;
    return static_cast<long>(done);
}

long long Seek(UINT_PTR h, long long offset, UINT from)
{
    DWORD method = from == CFile::current ? FILE_CURRENT : from == CFile::end ? FILE_END : FILE_BEGIN;
    LARGE_INTEGER move, pos;
    move.QuadPart = offset;
    if (!::SetFilePointerEx(handle(h), move, &pos, method))
        return -1;
    return pos.QuadPart;
}

bool SetLength(UINT_PTR h, DWORD length)
{
    LARGE_INTEGER move;
    move.QuadPart = length;
    return ::SetFilePointerEx(handle(h), move, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle(h));
}

bool Flush(UINT_PTR h) { return ::FlushFileBuffers(handle(h)) != FALSE; }

CString FullPath(LPCTSTR name)
{
    char buffer[MAX_PATH * 4];
    char* filePart = nullptr;
    DWORD n = ::GetFullPathNameA(name, sizeof buffer, buffer, &filePart);
    if (n == 0 || n >= sizeof buffer)
        return CString(name);
    return CString(buffer);
}

bool Remove(LPCTSTR name) { return ::DeleteFileA(name) != FALSE; }

bool Rename(LPCTSTR oldName, LPCTSTR newName) { return ::MoveFileA(oldName, newName) != FALSE; }

bool Status(LPCTSTR name, long long& size, BYTE& attributes, FileTimes& times)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(name, GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    attributes = static_cast<BYTE>(data.dwFileAttributes & 0xFF);
    if (attributes == FILE_ATTRIBUTE_NORMAL)
        attributes = CFile::normal;
    times.created = fromFileTime(data.ftCreationTime);
    times.modified = fromFileTime(data.ftLastWriteTime);
    times.accessed = fromFileTime(data.ftLastAccessTime);
    return true;
}

} // namespace fx::os
#endif
