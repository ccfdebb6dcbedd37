#include "files/bufferedfile.h"

#include <memory>
#include <new>

namespace {

const UINT kChunk = 65535;

std::unique_ptr<BYTE[]> transferBuffer()
{
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kChunk]);
    if (!buffer) AfxThrowMemoryException();
    return buffer;
}

} // namespace

CBufferedFile::CBufferedFile() : CMemFile(1024) {}

CBufferedFile::CBufferedFile(const char* name, UINT flags, CFileException* error) : CMemFile(1024)
{
    Open(name, flags, error);
}

CBufferedFile::CBufferedFile(int) : CMemFile(1024) {}

CBufferedFile::~CBufferedFile()
{
    // Whatever was written must reach the disk even without an explicit Close.
    if (m_bOpen) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
}

void CBufferedFile::SetFilePath(LPCTSTR newName)
{
    CMemFile::SetFilePath(newName);
}

BOOL CBufferedFile::Open(LPCTSTR name, UINT flags, CFileException* error)
{
    if (m_bOpen) Close();
    m_nOpenFlags = flags;
    if (!m_file.Open(name, flags, error)) return FALSE;
    CMemFile::Close();  // start from an empty buffer
    SetFilePath(name);
    if (writing() && !(flags & modeNoTruncate)) {
        // Nothing to read: the file starts empty.
    } else {
        // Read only what the file held when it was opened, so a file that
        // keeps growing (or a device) cannot keep this loop going.
        DWORD remaining = m_file.GetLength();
        std::unique_ptr<BYTE[]> buffer = transferBuffer();
        while (remaining > 0) {
            UINT got = m_file.Read(buffer.get(), remaining < kChunk ? remaining : kChunk);
            if (got == 0) break;
            Write(buffer.get(), got);
            remaining -= got;
        }
        if (writing())
            m_file.SeekToBegin();
        else
            m_file.Close();
    }
    SeekToBegin();
    m_bOpen = true;
    return TRUE;
}

void CBufferedFile::Close()
{
    if (!m_bOpen) {
        CMemFile::Close();
        return;
    }
    m_bOpen = false;
    SeekToBegin();
    if (writing()) {
        std::unique_ptr<BYTE[]> buffer = transferBuffer();
        m_file.SeekToBegin();
        for (UINT got; (got = Read(buffer.get(), kChunk)) > 0;) m_file.Write(buffer.get(), got);
        // A buffer that shrank must not leave the old file's tail behind.
        m_file.SetLength(CMemFile::GetLength());
        m_file.Close();
    }
    CMemFile::Close();
}
