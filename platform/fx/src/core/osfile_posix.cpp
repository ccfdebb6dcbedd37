// CFile's operating-system seam on POSIX hosts.
#ifndef _WIN32
#include "osfile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fx::os {

LONG LastError() { return errno; }

UINT_PTR Open(LPCTSTR name, UINT flags)
{
    int oflags = O_CLOEXEC;
    switch (flags & 3) {
    case CFile::modeWrite: oflags |= O_WRONLY; break;
    case CFile::modeReadWrite: oflags |= O_RDWR; break;
    default: oflags |= O_RDONLY; break;
    }
    if (flags & CFile::modeCreate) {
        oflags |= O_CREAT;
        if (!(flags & CFile::modeNoTruncate))
            oflags |= O_TRUNC;
    }
    int fd;
    do {
        fd = ::open(name, oflags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return CFile::hFileNull;
    // A folder is not a file (as on Win32, where opening one fails).
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return CFile::hFileNull;
    }
    return static_cast<UINT_PTR>(fd);
}

bool Close(UINT_PTR h) { return ::close(static_cast<int>(h)) == 0; }

long Read(UINT_PTR h, void* buffer, UINT count)
{
    ssize_t n;
    do {
        n = ::read(static_cast<int>(h), buffer, count);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

long Write(UINT_PTR h, const void* buffer, UINT count)
{
    const char* p = static_cast<const char*>(buffer);
    UINT done = 0;
    while (done < count) {
        ssize_t n = ::write(static_cast<int>(h), p + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return done ? static_cast<long>(done) : -1;
        done += static_cast<UINT>(n);
    }
    return static_cast<long>(done);
}

long long Seek(UINT_PTR h, long long offset, UINT from)
{
    int whence = from == CFile::current ? SEEK_CUR : from == CFile::end ? SEEK_END : SEEK_SET;
    off_t r = ::lseek(static_cast<int>(h), static_cast<off_t>(offset), whence);
    return static_cast<long long>(r);
}

bool SetLength(UINT_PTR h, DWORD length)
{
    return ::ftruncate(static_cast<int>(h), static_cast<off_t>(length)) == 0;
}

bool Flush(UINT_PTR h) { return ::fsync(static_cast<int>(h)) == 0 || errno == EINVAL; }

CString FullPath(LPCTSTR name)
{
    if (!name || name[0] == '/' || name[0] == '\0')
        return CString(name);
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd))
        return CString(name);
    CString full(cwd);
    if (full.Right(1) != "/")
        full += '/';
    full += name;
    return full;
}

bool Remove(LPCTSTR name) { return ::unlink(name) == 0; }

bool Rename(LPCTSTR oldName, LPCTSTR newName)
{
    // Never replace an existing file (the Win32 behaviour callers expect).
    struct stat st;
    if (::lstat(newName, &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(oldName, newName) == 0;
}

bool Status(LPCTSTR name, long long& size, BYTE& attributes, FileTimes& times)
{
    struct stat st;
    if (::stat(name, &st) != 0)
        return false;
    size = static_cast<long long>(st.st_size);
    attributes = CFile::normal;
    if (S_ISDIR(st.st_mode))
        attributes |= CFile::directory;
    if (::access(name, W_OK) != 0)
        attributes |= CFile::readOnly;
    times.created = st.st_ctime;
    times.modified = st.st_mtime;
    times.accessed = st.st_atime;
    return true;
}

} // namespace fx::os
#endif
