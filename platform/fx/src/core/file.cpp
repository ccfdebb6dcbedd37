// CFile and CMemFile.
#include "fx/file.h"
#include "osfile.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
// Positions and sizes are 32-bit signed values in this interface.
const long long kMaxLong = 0x7FFFFFFF;
} // namespace

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

// ---------------------------------------------------------------- CFile

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(int hFile) : m_hFile(static_cast<UINT_PTR>(hFile)), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR fileName, UINT openFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        CFile::Abort();
}

bool fx::os::RejectEmptyName(LPCTSTR name, CFileException* error)
{
    if (name && *name)
        return false;
    if (error) {
        error->m_cause = CFileException::badPath;
        error->m_lOsError = -1;
        error->m_strFileName = name;
    }
    return true;
}

void CFile::checkOpen() const
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    if (m_hFile != hFileNull)
        Abort();
    if (fx::os::RejectEmptyName(fileName, error))
        return FALSE;
    m_strFileName = fx::os::FullPath(fileName);
    UINT_PTR h = fx::os::Open(fileName, openFlags);
    if (h == hFileNull) {
        LONG err = fx::os::LastError();
        if (error) {
            error->m_lOsError = err;
            error->m_cause = CFileException::OsErrorToException(err);
            error->m_strFileName = fileName;
        }
        m_strFileName.Empty();
        return FALSE;
    }
    m_hFile = h;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

void CFile::Close()
{
    bool ok = true;
    LONG err = 0;
    if (m_hFile != hFileNull) {
        ok = fx::os::Close(m_hFile);
        if (!ok)
            err = fx::os::LastError();
    }
    CString name = m_strFileName;
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
    if (!ok)
        CFileException::ThrowOsError(err, name);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull)
        fx::os::Close(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    if (!fx::os::Flush(m_hFile))
        CFileException::ThrowOsError(fx::os::LastError(), m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    checkOpen();
    long n = fx::os::Read(m_hFile, buffer, count);
    if (n < 0)
        CFileException::ThrowOsError(fx::os::LastError(), m_strFileName);
    return static_cast<UINT>(n);
}

void CFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    checkOpen();
    long n = fx::os::Write(m_hFile, buffer, count);
    if (n < 0)
        CFileException::ThrowOsError(fx::os::LastError(), m_strFileName);
    if (static_cast<UINT>(n) != count)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

LONG CFile::Seek(LONG offset, UINT from)
{
    checkOpen();
    long long pos = fx::os::Seek(m_hFile, offset, from);
    if (pos < 0 || pos > kMaxLong)
        AfxThrowFileException(CFileException::badSeek, fx::os::LastError(), m_strFileName);
    return static_cast<LONG>(pos);
}

DWORD CFile::GetPosition() const
{
    checkOpen();
    long long pos = fx::os::Seek(m_hFile, 0, current);
    if (pos < 0)
        CFileException::ThrowOsError(fx::os::LastError(), m_strFileName);
    return static_cast<DWORD>(pos);
}

DWORD CFile::GetLength() const
{
    checkOpen();
    long long pos = fx::os::Seek(m_hFile, 0, current);
    long long len = fx::os::Seek(m_hFile, 0, end);
    if (pos < 0 || len < 0 || fx::os::Seek(m_hFile, pos, begin) < 0)
        CFileException::ThrowOsError(fx::os::LastError(), m_strFileName);
    return static_cast<DWORD>(len);
}

void CFile::SetLength(DWORD newLength)
{
    checkOpen();
    if (!fx::os::SetLength(m_hFile, newLength))
        CFileException::ThrowOsError(fx::os::LastError(), m_strFileName);
    // The file stands at its new end afterwards, on every system.
    Seek(static_cast<LONG>(newLength), begin);
}

DWORD CFile::SeekToEnd()
{
    return static_cast<DWORD>(Seek(0, end));
}

void CFile::SeekToBegin()
{
    Seek(0, begin);
}

CString CFile::GetFileName() const
{
    const CString& path = m_strFileName;
    int cut = -1;
    for (int i = 0; i < path.GetLength(); ++i)
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':')
            cut = i;
    return path.Mid(cut + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

CString CFile::GetFilePath() const
{
    return m_strFileName;
}

void CFile::SetFilePath(LPCTSTR newName)
{
    m_strFileName = newName;
}

BOOL CFile::GetStatus(CFileStatus& status) const
{
    if (m_strFileName.IsEmpty()) {
        status = CFileStatus();
        return FALSE;
    }
    return GetStatus(m_strFileName, status);
}

BOOL CFile::GetStatus(LPCTSTR fileName, CFileStatus& status)
{
    status = CFileStatus();
    if (!fileName || !*fileName)
        return FALSE;
    CString full = fx::os::FullPath(fileName);
    if (full.GetLength() >= static_cast<int>(sizeof status.m_szFullName))
        return FALSE;
    long long size = 0;
    BYTE attributes = 0;
    fx::os::FileTimes times{};
    if (!fx::os::Status(fileName, size, attributes, times))
        return FALSE;
    std::memcpy(status.m_szFullName, static_cast<LPCTSTR>(full), static_cast<size_t>(full.GetLength()) + 1);
    status.m_size = size > kMaxLong ? static_cast<LONG>(kMaxLong) : static_cast<LONG>(size);
    status.m_attribute = attributes;
    status.m_ctime = CTime(times.created);
    status.m_mtime = CTime(times.modified);
    status.m_atime = CTime(times.accessed);
    return TRUE;
}

void CFile::Rename(LPCTSTR oldName, LPCTSTR newName)
{
    if (!oldName || !newName || !fx::os::Rename(oldName, newName))
        CFileException::ThrowOsError(fx::os::LastError(), oldName);
}

void CFile::Remove(LPCTSTR fileName)
{
    if (!fileName || !fx::os::Remove(fileName))
        CFileException::ThrowOsError(fx::os::LastError(), fileName);
}

// ---------------------------------------------------------------- CMemFile

CMemFile::CMemFile(UINT growBytes)
    : m_nGrowBytes(growBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0),
      m_lpBuffer(nullptr), m_bAutoDelete(TRUE) {}

CMemFile::CMemFile(BYTE* buffer, UINT bufferSize, UINT growBytes)
    : m_nGrowBytes(growBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0),
      m_lpBuffer(nullptr), m_bAutoDelete(TRUE)
{
    Attach(buffer, bufferSize, growBytes);
}

CMemFile::~CMemFile()
{
    CMemFile::Close();
}

void CMemFile::Attach(BYTE* buffer, UINT bufferSize, UINT growBytes)
{
    CMemFile::Close();
    m_nGrowBytes = growBytes;
    m_nPosition = 0;
    m_lpBuffer = buffer;
    m_nBufferSize = buffer ? bufferSize : 0;
    m_nFileSize = growBytes == 0 ? m_nBufferSize : 0;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
    return buffer;
}

BYTE* CMemFile::Alloc(DWORD bytes)
{
    return static_cast<BYTE*>(std::malloc(bytes ? bytes : 1));
}

BYTE* CMemFile::Realloc(BYTE* block, DWORD bytes)
{
    return static_cast<BYTE*>(std::realloc(block, bytes ? bytes : 1));
}

void CMemFile::Free(BYTE* block)
{
    std::free(block);
}

void CMemFile::GrowFile(DWORD newLength)
{
    if (newLength <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    // Whole growth steps, and at least half again the current size so that a
    // file written in small pieces is not copied over and over.
    unsigned long long want = newLength;
    unsigned long long spare = m_nBufferSize + m_nBufferSize / 2ULL;
    if (spare > want)
        want = spare;
    want = (want + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
    if (want > 0xFFFFFFFFULL)
        want = newLength;
    DWORD size = static_cast<DWORD>(want);
    BYTE* block;
    if (!m_lpBuffer) {
        block = Alloc(size);
    } else if (!m_bAutoDelete) {
        // The caller's buffer: never reallocated or freed by us.
        block = Alloc(size);
        if (block)
            std::memcpy(block, m_lpBuffer, m_nFileSize);
    } else {
        block = Realloc(m_lpBuffer, size);
    }
    if (!block)
        AfxThrowMemoryException();
    m_lpBuffer = block;
    m_nBufferSize = size;
    m_bAutoDelete = TRUE;
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    if (count == 0 || m_nPosition >= m_nFileSize)
        return 0;
    DWORD left = m_nFileSize - m_nPosition;
    UINT n = count < left ? count : static_cast<UINT>(left);
    std::memcpy(buffer, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return n;
}

void CMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    if (count > 0xFFFFFFFFu - m_nPosition)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
    DWORD end = m_nPosition + count;
    if (end > m_nBufferSize)
        GrowFile(end);
    // Writing past the end (after a seek) leaves zeros in the gap.
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, buffer, count);
    m_nPosition = end;
    if (m_nPosition > m_nFileSize)
        m_nFileSize = m_nPosition;
}

LONG CMemFile::Seek(LONG offset, UINT from)
{
    long long base = from == current ? m_nPosition : from == end ? m_nFileSize : 0;
    long long pos = base + offset;
    if (pos < 0 || pos > kMaxLong)
        AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
    m_nPosition = static_cast<DWORD>(pos);
    return static_cast<LONG>(pos);
}

DWORD CMemFile::GetPosition() const
{
    return m_nPosition;
}

DWORD CMemFile::GetLength() const
{
    return m_nFileSize;
}

void CMemFile::SetLength(DWORD newLength)
{
    if (newLength > m_nBufferSize)
        GrowFile(newLength);
    if (newLength > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, newLength - m_nFileSize);
    if (newLength < m_nPosition)
        m_nPosition = newLength;
    m_nFileSize = newLength;
}

void CMemFile::Flush() {}

void CMemFile::Close()
{
    // The growth step stays, so the same object can be filled again.
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nPosition = 0;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_bAutoDelete = TRUE;
}

void CMemFile::Abort()
{
    CMemFile::Close();
}
