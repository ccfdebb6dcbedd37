// CArchive and the stored form of run-time classes.
#include "fx/archive.h"

#include <cstring>
#include <exception>

namespace {

const WORD wNullTag = 0;
const WORD wNewClassTag = 0xFFFF;
const WORD wClassTag = 0x8000;
const DWORD dwBigClassTag = 0x80000000;
const WORD wBigObjectTag = 0x7FFF;
const DWORD nMaxMapCount = 0x3FFFFFFE;
// Longest class name accepted from an archive.
const UINT nMaxClassName = 64;

} // namespace

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void*)
    : m_pDocument(nullptr), m_pFile(file), m_nMode(mode), m_nObjectSchema(static_cast<UINT>(-1)),
      m_cur(0), m_max(0), m_nStoreCount(1)
{
    if (bufferSize < 128)
        bufferSize = 128;
    m_buf.resize(static_cast<size_t>(bufferSize));
    m_loadArray.push_back({Kind::Null, nullptr, 0});
}

CArchive::~CArchive()
{
    if (m_pFile && !(m_nMode & bNoFlushOnDelete) && std::uncaught_exceptions() == 0) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    Abort();
}

void CArchive::ThrowError(int cause) const
{
    CString name;
    if (m_pFile)
        name = m_pFile->GetFilePath();
    AfxThrowArchiveException(cause, name.IsEmpty() ? nullptr : static_cast<LPCTSTR>(name));
}

UINT CArchive::GetObjectSchema()
{
    UINT schema = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return schema;
}

// ---------------------------------------------------------------- raw bytes

UINT CArchive::Read(void* buffer, UINT count)
{
    if (!IsLoading())
        ThrowError(CArchiveException::writeOnly);
    if (count == 0)
        return 0;
    if (!m_pFile)
        ThrowError(CArchiveException::generic);
    BYTE* out = static_cast<BYTE*>(buffer);
    UINT done = 0;
    while (done < count) {
        if (m_cur == m_max) {
            UINT want = count - done;
            if (want >= m_buf.size()) {
                // Large reads go straight to the caller's memory.
                UINT n = m_pFile->Read(out + done, want);
                if (n == 0)
                    break;
                done += n;
                continue;
            }
            UINT n = m_pFile->Read(m_buf.data(), static_cast<UINT>(m_buf.size()));
            m_cur = 0;
            m_max = n;
            if (n == 0)
                break;
        }
        size_t take = m_max - m_cur;
        if (take > count - done)
            take = count - done;
        std::memcpy(out + done, m_buf.data() + m_cur, take);
        m_cur += take;
        done += static_cast<UINT>(take);
    }
    return done;
}

void CArchive::readExact(void* buffer, UINT count)
{
    if (Read(buffer, count) != count)
        ThrowError(CArchiveException::endOfFile);
}

void CArchive::flushStore()
{
    if (m_max > 0 && m_pFile)
        m_pFile->Write(m_buf.data(), static_cast<UINT>(m_max));
    m_max = 0;
}

void CArchive::Write(const void* buffer, UINT count)
{
    if (!IsStoring())
        ThrowError(CArchiveException::readOnly);
    if (count == 0)
        return;
    if (!m_pFile)
        ThrowError(CArchiveException::generic);
    const BYTE* in = static_cast<const BYTE*>(buffer);
    if (count >= m_buf.size()) {
        flushStore();
        m_pFile->Write(in, count);
        return;
    }
    if (m_max + count > m_buf.size())
        flushStore();
    std::memcpy(m_buf.data() + m_max, in, count);
    m_max += count;
}

void CArchive::Flush()
{
    if (!m_pFile)
        return;
    if (IsStoring()) {
        flushStore();
    } else {
        if (m_max > m_cur)
            m_pFile->Seek(-static_cast<LONG>(m_max - m_cur), CFile::current);
        m_cur = m_max = 0;
    }
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
    m_cur = m_max = 0;
}

// ---------------------------------------------------------------- numbers

void CArchive::writeLE(DWORD value, int bytes)
{
    BYTE b[4];
    for (int i = 0; i < bytes; ++i)
        b[i] = static_cast<BYTE>(value >> (8 * i));
    Write(b, static_cast<UINT>(bytes));
}

DWORD CArchive::readLE(int bytes)
{
    BYTE b[4];
    readExact(b, static_cast<UINT>(bytes));
    DWORD v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<DWORD>(b[i]) << (8 * i);
    return v;
}

CArchive& CArchive::operator<<(BYTE v) { writeLE(v, 1); return *this; }
CArchive& CArchive::operator<<(WORD v) { writeLE(v, 2); return *this; }
CArchive& CArchive::operator<<(LONG v) { writeLE(static_cast<DWORD>(v), 4); return *this; }
CArchive& CArchive::operator<<(DWORD v) { writeLE(v, 4); return *this; }

CArchive& CArchive::operator<<(float v)
{
    static_assert(sizeof(float) == 4, "IEEE single");
    DWORD bits;
    std::memcpy(&bits, &v, 4);
    writeLE(bits, 4);
    return *this;
}

CArchive& CArchive::operator<<(double v)
{
    static_assert(sizeof(double) == 8, "IEEE double");
    unsigned long long bits;
    std::memcpy(&bits, &v, 8);
    writeLE(static_cast<DWORD>(bits), 4);
    writeLE(static_cast<DWORD>(bits >> 32), 4);
    return *this;
}

CArchive& CArchive::operator>>(BYTE& v) { v = static_cast<BYTE>(readLE(1)); return *this; }
CArchive& CArchive::operator>>(WORD& v) { v = static_cast<WORD>(readLE(2)); return *this; }
CArchive& CArchive::operator>>(LONG& v) { v = static_cast<LONG>(readLE(4)); return *this; }
CArchive& CArchive::operator>>(DWORD& v) { v = readLE(4); return *this; }
CArchive& CArchive::operator>>(short& v) { v = static_cast<short>(readLE(2)); return *this; }
CArchive& CArchive::operator>>(char& v) { v = static_cast<char>(readLE(1)); return *this; }

CArchive& CArchive::operator>>(float& v)
{
    DWORD bits = readLE(4);
    std::memcpy(&v, &bits, 4);
    return *this;
}

CArchive& CArchive::operator>>(double& v)
{
    unsigned long long lo = readLE(4);
    unsigned long long hi = readLE(4);
    unsigned long long bits = lo | (hi << 32);
    std::memcpy(&v, &bits, 8);
    return *this;
}

#ifdef _WIN32
CArchive& CArchive::operator>>(int& v) { v = static_cast<int>(readLE(4)); return *this; }
CArchive& CArchive::operator>>(unsigned& v) { v = static_cast<unsigned>(readLE(4)); return *this; }
#endif

DWORD CArchive::ReadCount()
{
    WORD w;
    *this >> w;
    if (w != 0xFFFF)
        return w;
    DWORD d;
    *this >> d;
    return d;
}

void CArchive::WriteCount(DWORD count)
{
    if (count < 0xFFFF) {
        *this << static_cast<WORD>(count);
    } else {
        *this << static_cast<WORD>(0xFFFF);
        *this << count;
    }
}

// ---------------------------------------------------------------- texts

namespace {

// A text's length; *wide is set when the UTF-16 marker came first.
DWORD readStringLength(CArchive& ar, bool* wide)
{
    *wide = false;
    for (int round = 0; round < 2; ++round) {
        BYTE b;
        ar >> b;
        if (b < 0xFF)
            return b;
        WORD w;
        ar >> w;
        if (w == 0xFFFE) {
            if (*wide)
                break;  // two markers in a row: not a stored text
            *wide = true;
            continue;
        }
        if (w < 0xFFFE)
            return w;
        DWORD d;
        ar >> d;
        return d;
    }
    ar.ThrowError(CArchiveException::badIndex);
}

} // namespace

CArchive& operator<<(CArchive& ar, const CString& text)
{
    DWORD len = static_cast<DWORD>(text.GetLength());
    if (len < 255) {
        ar << static_cast<BYTE>(len);
    } else if (len < 0xFFFE) {
        ar << static_cast<BYTE>(0xFF);
        ar << static_cast<WORD>(len);
    } else {
        ar << static_cast<BYTE>(0xFF);
        ar << static_cast<WORD>(0xFFFF);
        ar << len;
    }
    ar.Write(static_cast<LPCTSTR>(text), len);
    return ar;
}

CArchive& operator>>(CArchive& ar, CString& text)
{
    bool wide = false;
    DWORD len = readStringLength(ar, &wide);
    DWORD unit = wide ? 2 : 1;
    if (len > 0x7FFFFF00u / unit)
        ar.ThrowError(CArchiveException::badIndex);
    // Read in pieces so that a damaged length costs no more memory than the
    // data that is really there.
    CString result;
    const DWORD piece = 1u << 20;
    DWORD total = len * unit;
    DWORD got = 0;
    while (got < total) {
        DWORD n = total - got < piece ? total - got : piece;
        char* p = result.GetBuffer(static_cast<int>(got + n));
        if (ar.Read(p + got, n) != n) {
            result.ReleaseBuffer(0);
            ar.ThrowError(CArchiveException::endOfFile);
        }
        got += n;
        result.ReleaseBuffer(static_cast<int>(got));
    }
    if (wide) {
        // UTF-16 units to 8-bit characters; those beyond 8 bits become '?'.
        CString narrow;
        char* out = narrow.GetBuffer(static_cast<int>(len));
        LPCTSTR in = result;
        for (DWORD i = 0; i < len; ++i) {
            unsigned lo = static_cast<unsigned char>(in[2 * i]);
            unsigned hi = static_cast<unsigned char>(in[2 * i + 1]);
            unsigned u = lo | (hi << 8);
            out[i] = u < 0x100 ? static_cast<char>(u) : '?';
        }
        narrow.ReleaseBuffer(static_cast<int>(len));
        result = narrow;
    }
    text = static_cast<CString&&>(result);
    return ar;
}

// ---------------------------------------------------------------- classes and objects

void CRuntimeClass::Store(CArchive& ar) const
{
    size_t len = std::strlen(m_lpszClassName);
    if (len > 0xFFFF)
        len = 0xFFFF;
    ar << static_cast<WORD>(m_wSchema);
    ar << static_cast<WORD>(len);
    ar.Write(m_lpszClassName, static_cast<UINT>(len));
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* schema, char* className, UINT classNameSize)
{
    WORD wSchema, len;
    ar >> wSchema >> len;
    if (schema)
        *schema = wSchema;
    char name[nMaxClassName];
    if (len >= nMaxClassName) {
        // Longer than any class of ours: skip it, so the caller sees "unknown class".
        char skip[256];
        for (UINT left = len; left > 0;) {
            UINT n = left < sizeof skip ? left : static_cast<UINT>(sizeof skip);
            if (ar.Read(skip, n) != n)
                ar.ThrowError(CArchiveException::endOfFile);
            left -= n;
        }
        if (className && classNameSize)
            className[0] = '\0';
        return nullptr;
    }
    if (ar.Read(name, len) != len)
        ar.ThrowError(CArchiveException::endOfFile);
    name[len] = '\0';
    if (className && classNameSize) {
        std::strncpy(className, name, classNameSize - 1);
        className[classNameSize - 1] = '\0';
    }
    return FromName(name);
}

void CArchive::checkMapRoom() const
{
    if (m_nStoreCount >= nMaxMapCount || m_loadArray.size() >= nMaxMapCount)
        ThrowError(CArchiveException::badIndex);
}

void CArchive::WriteClass(const CRuntimeClass* cls)
{
    if (!IsStoring())
        ThrowError(CArchiveException::readOnly);
    if (!cls || cls->m_wSchema == 0xFFFF)
        ThrowError(CArchiveException::badClass);  // not a serialisable class
    auto it = m_storeMap.find(cls);
    if (it != m_storeMap.end()) {
        DWORD index = it->second;
        if (index < wBigObjectTag) {
            *this << static_cast<WORD>(wClassTag | index);
        } else {
            *this << wBigObjectTag;
            *this << (dwBigClassTag | index);
        }
        return;
    }
    checkMapRoom();
    *this << wNewClassTag;
    cls->Store(*this);
    m_storeMap[cls] = m_nStoreCount++;
}

void CArchive::WriteObject(const CObject* object)
{
    if (!IsStoring())
        ThrowError(CArchiveException::readOnly);
    if (!object) {
        *this << wNullTag;
        return;
    }
    auto it = m_storeMap.find(object);
    if (it != m_storeMap.end()) {
        DWORD index = it->second;
        if (index < wBigObjectTag) {
            *this << static_cast<WORD>(index);
        } else {
            *this << wBigObjectTag;
            *this << index;
        }
        return;
    }
    WriteClass(object->GetRuntimeClass());
    checkMapRoom();
    m_storeMap[object] = m_nStoreCount++;
    const_cast<CObject*>(object)->Serialize(*this);
}

void CArchive::MapObject(const CObject* object)
{
    if (IsStoring()) {
        if (object && m_storeMap.find(object) == m_storeMap.end()) {
            checkMapRoom();
            m_storeMap[object] = m_nStoreCount++;
        }
    } else {
        checkMapRoom();
        m_loadArray.push_back({Kind::Object, const_cast<CObject*>(object), 0});
    }
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* requested, UINT* schema, DWORD* objectTag)
{
    if (!IsLoading())
        ThrowError(CArchiveException::writeOnly);
    WORD tag;
    *this >> tag;
    DWORD obTag;
    if (tag == wBigObjectTag)
        *this >> obTag;
    else
        obTag = (static_cast<DWORD>(tag & wClassTag) << 16) | (tag & ~wClassTag);

    if (!(obTag & dwBigClassTag)) {
        // An object reference (or null) where the caller can take one.
        if (!objectTag)
            ThrowError(CArchiveException::badIndex);
        *objectTag = obTag;
        return nullptr;
    }

    CRuntimeClass* cls;
    UINT storedSchema;
    if (tag == wNewClassTag) {
        cls = CRuntimeClass::Load(*this, &storedSchema);
        if (!cls || cls->m_wSchema == 0xFFFF || !cls->m_pfnCreateObject)
            ThrowError(CArchiveException::badClass);
        UINT own = cls->m_wSchema;
        if (!(own & VERSIONABLE_SCHEMA) && (own & 0xFFFF) != storedSchema)
            ThrowError(CArchiveException::badSchema);
        checkMapRoom();
        m_loadArray.push_back({Kind::Class, cls, storedSchema});
    } else {
        DWORD index = obTag & ~dwBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || m_loadArray[index].kind != Kind::Class)
            ThrowError(CArchiveException::badIndex);
        cls = static_cast<CRuntimeClass*>(m_loadArray[index].ptr);
        storedSchema = m_loadArray[index].schema;
    }
    if (requested && !cls->IsDerivedFrom(requested))
        ThrowError(CArchiveException::badClass);
    if (schema)
        *schema = storedSchema;
    else
        m_nObjectSchema = storedSchema;
    if (objectTag)
        *objectTag = obTag;
    return cls;
}

void CArchive::SerializeClass(const CRuntimeClass* cls)
{
    if (IsStoring())
        WriteClass(cls);
    else
        ReadClass(cls);
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested)
{
    UINT schema = 0;
    DWORD obTag = 0;
    CRuntimeClass* cls = ReadClass(requested, &schema, &obTag);
    if (!cls) {
        if (obTag == wNullTag)
            return nullptr;
        if (obTag >= m_loadArray.size() || m_loadArray[obTag].kind != Kind::Object)
            ThrowError(CArchiveException::badIndex);
        CObject* object = static_cast<CObject*>(m_loadArray[obTag].ptr);
        if (object && requested && !object->IsKindOf(requested))
            ThrowError(CArchiveException::badClass);
        return object;
    }
    CObject* object = cls->CreateObject();
    if (!object)
        ThrowError(CArchiveException::badClass);
    size_t index = m_loadArray.size();
    try {
        checkMapRoom();
        // Entered before its contents are read, so records inside may refer to it.
        m_loadArray.push_back({Kind::Object, object, schema});
    } catch (...) {
        delete object;
        throw;
    }
    UINT saved = m_nObjectSchema;
    m_nObjectSchema = schema;
    try {
        object->Serialize(*this);
    } catch (...) {
        // The caller never sees a half-loaded object; later references to it fail.
        m_loadArray[index].kind = Kind::Failed;
        m_loadArray[index].ptr = nullptr;
        m_nObjectSchema = saved;
        delete object;
        throw;
    }
    m_nObjectSchema = saved;
    return object;
}

CArchive& operator<<(CArchive& ar, const CObject* object)
{
    ar.WriteObject(object);
    return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& object)
{
    object = ar.ReadObject(nullptr);
    return ar;
}

CArchive& operator>>(CArchive& ar, const CObject*& object)
{
    object = ar.ReadObject(nullptr);
    return ar;
}
