// CArchive: the binary stored form of the class library.
//
// Numbers are little-endian. A text is a length prefix and its bytes: one
// byte below 255; 0xFF and a WORD below 0xFFFE; else 0xFF, 0xFFFF and a DWORD
// (a WORD 0xFFFE marks a UTF-16 text, which is read and narrowed).
// Object records: a null pointer is the WORD 0; a new class is 0xFFFF, the
// schema WORD, the name length WORD and the name; a class seen before is
// 0x8000 | its index; an object seen before is its index. Classes and objects
// share one index sequence starting at 1 (large indexes: 0x7FFF + DWORD).
// Bad or short input throws CArchiveException*; nothing is read past the data.
#pragma once

#include <unordered_map>
#include <vector>

#include "fx/exceptions.h"
#include "fx/file.h"
#include "fx/object.h"
#include "fx/string.h"

class CDocument;

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    // The buffer argument is accepted for compatibility; the archive keeps its own.
    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    BOOL IsBufferEmpty() const { return m_cur == m_max; }
    CFile* GetFile() const { return m_pFile; }

    // The schema of the object being loaded (once; then (UINT)-1).
    UINT GetObjectSchema();
    void SetObjectSchema(UINT schema) { m_nObjectSchema = schema; }

    // Raw bytes. Read returns how many came (fewer only at the end of the data).
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);

    // Storing: writes the buffer out. Loading: gives unread buffered bytes
    // back to the file (its position is then just after what was consumed).
    void Flush();
    void Close();
    void Abort();

    // Object records
    CObject* ReadObject(const CRuntimeClass* requested);
    void WriteObject(const CObject* object);
    // Counts an object as already stored/loaded so later records refer to it.
    void MapObject(const CObject* object);
    void WriteClass(const CRuntimeClass* cls);
    CRuntimeClass* ReadClass(const CRuntimeClass* requested = nullptr, UINT* schema = nullptr,
                             DWORD* objectTag = nullptr);
    void SerializeClass(const CRuntimeClass* cls);

    // Element counts: a WORD, or 0xFFFF and a DWORD from 0xFFFF on.
    DWORD ReadCount();
    void WriteCount(DWORD count);

    void SetStoreParams(UINT hashSize = 2053, UINT blockSize = 128) {}
    void SetLoadParams(UINT growBy = 1024) {}

    CArchive& operator<<(BYTE v);
    CArchive& operator<<(WORD v);
    CArchive& operator<<(LONG v);
    CArchive& operator<<(DWORD v);
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(short v) { return *this << static_cast<WORD>(v); }
    CArchive& operator<<(char v) { return *this << static_cast<BYTE>(v); }
#ifdef _WIN32
    // On Win32 LONG and DWORD are long types, distinct from int and unsigned.
    CArchive& operator<<(int v) { return *this << static_cast<LONG>(v); }
    CArchive& operator<<(unsigned v) { return *this << static_cast<LONG>(v); }
#endif

    CArchive& operator>>(BYTE& v);
    CArchive& operator>>(WORD& v);
    CArchive& operator>>(LONG& v);
    CArchive& operator>>(DWORD& v);
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(short& v);
    CArchive& operator>>(char& v);
#ifdef _WIN32
    CArchive& operator>>(int& v);
    CArchive& operator>>(unsigned& v);
#endif

    // Throws a CArchiveException* with the cause, naming this archive's file.
    [[noreturn]] void ThrowError(int cause) const;

    friend CArchive& operator<<(CArchive& ar, const CObject* object);
    friend CArchive& operator>>(CArchive& ar, CObject*& object);
    friend CArchive& operator>>(CArchive& ar, const CObject*& object);

    CDocument* m_pDocument;

private:
    enum class Kind : BYTE { Null, Class, Object, Failed };
    struct Loaded {
        Kind kind;
        void* ptr;
        UINT schema;
    };

    void readExact(void* buffer, UINT count);
    void writeLE(DWORD value, int bytes);
    DWORD readLE(int bytes);
    void flushStore();
    void checkMapRoom() const;

    CFile* m_pFile;
    UINT m_nMode;
    UINT m_nObjectSchema;
    std::vector<BYTE> m_buf;
    size_t m_cur;  // next byte to read (loading)
    size_t m_max;  // end of valid data (loading) / of written data (storing)
    std::unordered_map<const void*, DWORD> m_storeMap;
    DWORD m_nStoreCount;
    std::vector<Loaded> m_loadArray;

    friend struct CRuntimeClass;
};

CArchive& operator<<(CArchive& ar, const CString& text);
CArchive& operator>>(CArchive& ar, CString& text);
