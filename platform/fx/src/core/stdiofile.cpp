// CStdioFile: a CFile over a C run-time stream.
#include "fx/file.h"
#include "osfile.h"

#include <cerrno>
#include <cstring>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

namespace {

// Removes the '\r' of a "\r\n" line end (text mode reads Windows line ends
// the same way on every system).
void dropCarriageReturn(char* line)
{
    size_t n = std::strlen(line);
    if (n >= 2 && line[n - 1] == '\n' && line[n - 2] == '\r') {
        line[n - 2] = '\n';
        line[n - 1] = '\0';
    }
}

} // namespace

CStdioFile::CStdioFile() : m_pStream(nullptr), m_text(true) {}

CStdioFile::CStdioFile(FILE* stream) : m_pStream(stream), m_text(true) {}

CStdioFile::CStdioFile(LPCTSTR fileName, UINT openFlags) : m_pStream(nullptr), m_text(true)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream && m_bCloseOnDelete)
        CStdioFile::Abort();
}

void CStdioFile::checkStream() const
{
    if (!m_pStream)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
}

BOOL CStdioFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    if (m_pStream)
        Abort();
    if (fx::os::RejectEmptyName(fileName, error))
        return FALSE;
    // The stream mode the class library derives from the open flags.
    char mode[5];
    int n = 0;
    if (openFlags & modeCreate)
        mode[n++] = (openFlags & modeNoTruncate) ? 'a' : 'w';
    else if (openFlags & modeWrite)
        mode[n++] = 'a';
    else
        mode[n++] = 'r';
    if ((mode[0] == 'r' && (openFlags & modeReadWrite)) || (mode[0] != 'r' && !(openFlags & modeWrite)))
        mode[n++] = '+';
    m_text = !(openFlags & typeBinary);
#ifdef _WIN32
    mode[n++] = m_text ? 't' : 'b';
#endif
    mode[n] = '\0';
    errno = 0;
    FILE* stream = std::fopen(fileName, mode);
    if (!stream) {
        int err = errno;
        if (error) {
            error->m_lOsError = err;
            error->m_cause = CFileException::ErrnoToException(err);
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    m_pStream = stream;
    m_strFileName = fx::os::FullPath(fileName);
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

void CStdioFile::Close()
{
    int rc = 0;
    int err = 0;
    if (m_pStream) {
        rc = std::fclose(m_pStream);
        err = errno;
    }
    CString name = m_strFileName;
    m_pStream = nullptr;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
    if (rc != 0)
        CFileException::ThrowErrno(err, name);
}

void CStdioFile::Abort()
{
    if (m_pStream && m_bCloseOnDelete)
        std::fclose(m_pStream);
    m_pStream = nullptr;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

void CStdioFile::Flush()
{
    if (m_pStream && std::fflush(m_pStream) != 0)
        CFileException::ThrowErrno(errno, m_strFileName);
}

UINT CStdioFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    checkStream();
    size_t n = std::fread(buffer, 1, count, m_pStream);
    if (n == 0 && std::ferror(m_pStream)) {
        std::clearerr(m_pStream);
        CFileException::ThrowErrno(errno, m_strFileName);
    }
    return static_cast<UINT>(n);
}

void CStdioFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    checkStream();
    if (std::fwrite(buffer, 1, count, m_pStream) != count)
        AfxThrowFileException(CFileException::diskFull, errno, m_strFileName);
}

LONG CStdioFile::Seek(LONG offset, UINT from)
{
    checkStream();
    int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    if (std::fseek(m_pStream, offset, whence) != 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<LONG>(std::ftell(m_pStream));
}

DWORD CStdioFile::GetPosition() const
{
    checkStream();
    long pos = std::ftell(m_pStream);
    if (pos < 0)
        CFileException::ThrowErrno(errno, m_strFileName);
    return static_cast<DWORD>(pos);
}

DWORD CStdioFile::GetLength() const
{
    checkStream();
    long pos = std::ftell(m_pStream);
    if (pos < 0 || std::fseek(m_pStream, 0, SEEK_END) != 0)
        CFileException::ThrowErrno(errno, m_strFileName);
    long len = std::ftell(m_pStream);
    std::fseek(m_pStream, pos, SEEK_SET);
    return static_cast<DWORD>(len < 0 ? 0 : len);
}

void CStdioFile::SetLength(DWORD)
{
    AfxThrowNotSupportedException();
}

LPTSTR CStdioFile::ReadString(LPTSTR buffer, UINT maxChars)
{
    checkStream();
    if (!buffer || maxChars == 0)
        return nullptr;
    int room = maxChars > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(maxChars);
    char* got = std::fgets(buffer, room, m_pStream);
    if (!got) {
        buffer[0] = '\0';
        if (std::ferror(m_pStream)) {
            std::clearerr(m_pStream);
            CFileException::ThrowErrno(errno, m_strFileName);
        }
        return nullptr;
    }
    if (m_text)
        dropCarriageReturn(buffer);
    return buffer;
}

BOOL CStdioFile::ReadString(CString& line)
{
    checkStream();
    CString result;
    char piece[256];
    bool any = false;
    for (;;) {
        if (!std::fgets(piece, sizeof piece, m_pStream)) {
            if (std::ferror(m_pStream)) {
                std::clearerr(m_pStream);
                CFileException::ThrowErrno(errno, m_strFileName);
            }
            break;
        }
        any = true;
        result += piece;
        if (result.GetLength() > 0 && result[result.GetLength() - 1] == '\n')
            break;
    }
    // The line end goes; in text mode a "\r\n" goes whole.
    int n = result.GetLength();
    if (n > 0 && result[n - 1] == '\n') {
        --n;
        if (m_text && n > 0 && result[n - 1] == '\r')
            --n;
        result = result.Left(n);
    }
    line = result;
    return any ? TRUE : FALSE;
}

void CStdioFile::WriteString(LPCTSTR text)
{
    checkStream();
    if (!text)
        AfxThrowInvalidArgException();
    if (std::fputs(text, m_pStream) == EOF)
        AfxThrowFileException(CFileException::diskFull, errno, m_strFileName);
}
