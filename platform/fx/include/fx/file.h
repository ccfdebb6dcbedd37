// CFile (a disk file) and CMemFile (a growing memory buffer with the same
// interface). Errors throw CFileException*, except Open, which reports them.
#pragma once

#include "fx/exceptions.h"
#include "fx/object.h"
#include "fx/string.h"
#include "fx/time.h"

struct CFileStatus {
    CTime m_ctime;        // creation
    CTime m_mtime;        // last write
    CTime m_atime;        // last access
    LONG m_size;
    BYTE m_attribute;     // CFile::Attribute bits
    BYTE m_padding;
    TCHAR m_szFullName[_MAX_PATH];
};

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum Attribute {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };
    static constexpr UINT_PTR hFileNull = static_cast<UINT_PTR>(-1);

    CFile();
    // Wraps an OS handle that is already open (not closed on destruction).
    explicit CFile(int hFile);
    // Opens at once; throws CFileException* on failure.
    CFile(LPCTSTR fileName, UINT openFlags);
    ~CFile() override;

    // FALSE on failure, with the cause in *error when given.
    virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
    virtual void Close();
    // Closes without throwing, whatever the state.
    virtual void Abort();
    virtual void Flush();

    virtual UINT Read(void* buffer, UINT count);       // bytes read; 0 at the end
    virtual void Write(const void* buffer, UINT count);
    virtual LONG Seek(LONG offset, UINT from);         // new position
    virtual DWORD GetPosition() const;
    virtual DWORD GetLength() const;
    virtual void SetLength(DWORD newLength);
    DWORD SeekToEnd();
    void SeekToBegin();

    virtual CString GetFileName() const;   // name and extension
    virtual CString GetFileTitle() const;  // name without extension
    virtual CString GetFilePath() const;   // full path
    virtual void SetFilePath(LPCTSTR newName);

    BOOL GetStatus(CFileStatus& status) const;
    static BOOL GetStatus(LPCTSTR fileName, CFileStatus& status);
    static void Rename(LPCTSTR oldName, LPCTSTR newName);
    static void Remove(LPCTSTR fileName);

    UINT_PTR m_hFile;
    BOOL m_bCloseOnDelete;
    CString m_strFileName;

private:
    void checkOpen() const;
};

class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT growBytes = 1024);
    // Uses the caller's buffer, which stays the caller's: with growBytes 0 it
    // is fixed in size and its whole contents are the file; otherwise it is
    // the start of an empty growing file, copied into memory of the file's
    // own when it must grow.
    CMemFile(BYTE* buffer, UINT bufferSize, UINT growBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* buffer, UINT bufferSize, UINT growBytes = 0);
    // Hands the buffer to the caller and leaves the file empty. A buffer the
    // file allocated itself comes from malloc: the caller frees it with free().
    BYTE* Detach();

    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    LONG Seek(LONG offset, UINT from) override;
    DWORD GetPosition() const override;
    DWORD GetLength() const override;
    void SetLength(DWORD newLength) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

protected:
    virtual BYTE* Alloc(DWORD bytes);
    virtual BYTE* Realloc(BYTE* block, DWORD bytes);
    virtual void Free(BYTE* block);
    virtual void GrowFile(DWORD newLength);

    UINT m_nGrowBytes;
    DWORD m_nPosition;
    DWORD m_nBufferSize;
    DWORD m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete;
};
