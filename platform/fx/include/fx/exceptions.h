// Exceptions of the class layer. They are thrown as pointers
// (throw new CFileException(...)) and the catcher calls Delete() when done.
#pragma once

#include "fx/object.h"
#include "fx/string.h"

class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    CException() : m_bAutoDelete(TRUE) {}
    explicit CException(BOOL autoDelete) : m_bAutoDelete(autoDelete) {}
    ~CException() override = default;

    // Frees a heap exception; a static one (m_bAutoDelete false) stays.
    void Delete();
    // Copies a message of at most maxChars-1 chars plus '\0' into buffer.
    virtual BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr);

    BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException() = default;
    explicit CMemoryException(BOOL autoDelete) : CException(autoDelete) {}
    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) override;
};

class CNotSupportedException : public CException {
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException() = default;
    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) override;
};

class CInvalidArgException : public CException {
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    CInvalidArgException() = default;
    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) override;
};

class CResourceException : public CException {
    DECLARE_DYNAMIC(CResourceException)
public:
    CResourceException() = default;
    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) override;
};

// Thrown to end an operation the user has been told about already.
class CUserException : public CException {
    DECLARE_DYNAMIC(CUserException)
public:
    CUserException() = default;
};

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) override;

    // OS error codes (GetLastError on Win32, errno elsewhere) to causes.
    static int OsErrorToException(LONG osError);
    static int ErrnoToException(int errnoValue);
    [[noreturn]] static void ThrowOsError(LONG osError, LPCTSTR fileName = nullptr);
    [[noreturn]] static void ThrowErrno(int errnoValue, LPCTSTR fileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum { none, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    explicit CArchiveException(int cause = none, LPCTSTR archiveName = nullptr)
        : m_cause(cause), m_strFileName(archiveName) {}

    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCTSTR fileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR archiveName = nullptr);

// The old macro forms. A caught exception is deleted at the end of its CATCH
// block unless THROW_LAST passes it on.
class FxCatchCleanup {
public:
    explicit FxCatchCleanup(CException* e) : m_e(e) {}
    ~FxCatchCleanup()
    {
        if (m_e)
            m_e->Delete();
    }
    void release() { m_e = nullptr; }
    FxCatchCleanup(const FxCatchCleanup&) = delete;
    FxCatchCleanup& operator=(const FxCatchCleanup&) = delete;

private:
    CException* m_e;
};

#define TRY try
#define CATCH(class_name, e) \
    catch (class_name * e)   \
    {                        \
        FxCatchCleanup fxCatchCleanup_(e);
#define AND_CATCH(class_name, e) \
    }                            \
    catch (class_name * e)       \
    {                            \
        FxCatchCleanup fxCatchCleanup_(e);
#define END_CATCH }
#define CATCH_ALL(e) CATCH(CException, e)
#define AND_CATCH_ALL(e) AND_CATCH(CException, e)
#define END_CATCH_ALL }
#define THROW(e) throw e
#define THROW_LAST()               \
    do {                           \
        fxCatchCleanup_.release(); \
        throw;                     \
    } while (0)
