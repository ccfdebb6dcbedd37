// Exception classes and the AfxThrow helpers.
#include "fx/exceptions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

BOOL copyMessage(LPTSTR buffer, UINT maxChars, const char* text)
{
    if (!buffer || maxChars == 0)
        return FALSE;
    std::snprintf(buffer, maxChars, "%s", text);
    return TRUE;
}

} // namespace

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext)
{
    if (helpContext)
        *helpContext = 0;
    if (buffer && maxChars)
        buffer[0] = '\0';
    return FALSE;
}

BOOL CMemoryException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext)
{
    if (helpContext)
        *helpContext = 0;
    return copyMessage(buffer, maxChars, "Out of memory.");
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext)
{
    if (helpContext)
        *helpContext = 0;
    return copyMessage(buffer, maxChars, "Unsupported operation was attempted.");
}

BOOL CInvalidArgException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext)
{
    if (helpContext)
        *helpContext = 0;
    return copyMessage(buffer, maxChars, "Invalid argument.");
}

BOOL CResourceException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext)
{
    if (helpContext)
        *helpContext = 0;
    return copyMessage(buffer, maxChars, "A required resource was unavailable.");
}

BOOL CFileException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext)
{
    static const char* const texts[] = {
        "No error occurred.",
        "An unspecified error occurred while accessing %s.",
        "%s was not found.",
        "%s contains an invalid path.",
        "%s could not be opened because there are too many open files.",
        "Access to %s was denied.",
        "An invalid file handle was associated with %s.",
        "%s could not be removed because it is the current directory.",
        "%s could not be created because the directory is full.",
        "Seek failed on %s.",
        "A hardware I/O error was reported while accessing %s.",
        "A sharing violation occurred while accessing %s.",
        "A locking violation occurred while accessing %s.",
        "Disk full while accessing %s.",
        "An attempt was made to access %s past its end.",
    };
    if (helpContext)
        *helpContext = 0;
    if (!buffer || maxChars == 0)
        return FALSE;
    int cause = (m_cause >= 0 && m_cause <= endOfFile) ? m_cause : generic;
    const char* name = m_strFileName.IsEmpty() ? "an unnamed file" : (LPCTSTR)m_strFileName;
    std::snprintf(buffer, maxChars, texts[cause], name);
    return TRUE;
}

BOOL CArchiveException::GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext)
{
    static const char* const texts[] = {
        "No error occurred.",
        "An unexpected error occurred while reading %s.",
        "An attempt was made to write to %s while it was open for reading.",
        "An unexpected end of file was found while reading %s.",
        "An attempt was made to read from %s while it was open for writing.",
        "%s has an invalid format.",
        "%s contained an unexpected object.",
        "%s contains an incorrect schema.",
    };
    if (helpContext)
        *helpContext = 0;
    if (!buffer || maxChars == 0)
        return FALSE;
    int cause = (m_cause >= 0 && m_cause <= badSchema) ? m_cause : generic;
    const char* name = m_strFileName.IsEmpty() ? "an unnamed file" : (LPCTSTR)m_strFileName;
    std::snprintf(buffer, maxChars, texts[cause], name);
    return TRUE;
}

int CFileException::ErrnoToException(int e)
{
    switch (e) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ENXIO:
    case ENODEV: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EEXIST:
    case EISDIR:
    case EROFS: return accessDenied;
    case EBADF: return invalidFile;
    case ENOSPC: return diskFull;
    case ESPIPE: return badSeek;
    case EIO: return hardIO;
#ifdef EBUSY
    case EBUSY: return sharingViolation;
#endif
#ifdef EDEADLK
    case EDEADLK: return lockViolation;
#endif
    default: return generic;
    }
}

int CFileException::OsErrorToException(LONG osError)
{
#ifdef _WIN32
    switch (static_cast<DWORD>(osError)) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_PATHNAME: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: return hardIO;
    case ERROR_SHARING_VIOLATION:
    case ERROR_SHARING_BUFFER_EXCEEDED: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return generic;
    }
#else
    return ErrnoToException(static_cast<int>(osError));
#endif
}

void CFileException::ThrowOsError(LONG osError, LPCTSTR fileName)
{
    throw new CFileException(OsErrorToException(osError), osError, fileName);
}

void CFileException::ThrowErrno(int errnoValue, LPCTSTR fileName)
{
    throw new CFileException(ErrnoToException(errnoValue), errnoValue, fileName);
}

void AfxThrowMemoryException()
{
    // Thrown from a static object: allocating one may be what just failed.
    static CMemoryException s_memoryException(FALSE);
    throw &s_memoryException;
}

void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowInvalidArgException() { throw new CInvalidArgException; }
void AfxThrowResourceException() { throw new CResourceException; }
void AfxThrowUserException() { throw new CUserException; }

void AfxThrowFileException(int cause, LONG osError, LPCTSTR fileName)
{
    throw new CFileException(cause, osError, fileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR archiveName)
{
    throw new CArchiveException(cause, archiveName);
}
