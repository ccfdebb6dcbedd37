// Collections: the templates CArray, CList, CMap, the typed-pointer wrappers,
// and the named classes (CStringArray, CObList, CMapStringToString, ...).
//
// Lists and maps iterate with POSITION cursors. Maps iterate bucket by bucket,
// newest entry first within a bucket, with the class library's hash functions.
// Stored forms: an element count (CArchive::WriteCount) followed by the
// elements (texts as archive strings, CObject pointers as object records,
// plain numbers as their little-endian bytes; maps store key then value).
// An index outside an array, or a null POSITION where an element is needed,
// throws CInvalidArgException* instead of touching memory outside.
#pragma once

#include <bit>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

#include "fx/archive.h"
#include "fx/exceptions.h"
#include "fx/object.h"
#include "fx/string.h"

static_assert(std::endian::native == std::endian::little,
              "stored forms of plain elements are their in-memory bytes");

// ---------------------------------------------------------------- element helpers

template <class TYPE, class ARG_TYPE>
BOOL CompareElements(const TYPE* element1, const ARG_TYPE* element2)
{
    return *element1 == *element2;
}

inline UINT HashKey(LPCSTR key)
{
    UINT hash = 0;
    if (key)
        while (*key)
            hash = (hash << 5) + hash + static_cast<UINT>(static_cast<int>(*key++));
    return hash;
}

inline UINT HashKey(const CString& key)
{
    return HashKey(static_cast<LPCSTR>(key));
}

template <class K>
    requires((std::is_integral_v<K> || std::is_enum_v<K> || std::is_pointer_v<K>) &&
             !std::is_same_v<std::remove_cv_t<std::remove_pointer_t<K>>, char>)
UINT HashKey(K key)
{
    if constexpr (std::is_pointer_v<K>)
        return static_cast<UINT>(reinterpret_cast<uintptr_t>(key)) >> 4;
    else
        return static_cast<UINT>(static_cast<DWORD>(key)) >> 4;
}

// Texts: archive strings.
void SerializeElements(CArchive& ar, CString* elements, INT_PTR count);

// Everything else: CObject pointers as object records, plain data as bytes.
template <class TYPE>
void SerializeElements(CArchive& ar, TYPE* elements, INT_PTR count)
{
    if constexpr (std::is_pointer_v<TYPE> &&
                  std::is_base_of_v<CObject, std::remove_cv_t<std::remove_pointer_t<TYPE>>>) {
        using Target = std::remove_cv_t<std::remove_pointer_t<TYPE>>;
        for (INT_PTR i = 0; i < count; ++i) {
            if (ar.IsStoring()) {
                ar << static_cast<const CObject*>(elements[i]);
            } else {
                CObject* object = ar.ReadObject(nullptr);
                Target* typed = dynamic_cast<Target*>(object);
                if (object && !typed)
                    ar.ThrowError(CArchiveException::badClass);
                elements[i] = typed;
            }
        }
    } else if constexpr (std::is_trivially_copyable_v<TYPE> && !std::is_pointer_v<TYPE>) {
        // In pieces, so the byte count never exceeds what one call takes.
        BYTE* bytes = reinterpret_cast<BYTE*>(elements);
        unsigned long long total = static_cast<unsigned long long>(count) * sizeof(TYPE);
        while (total > 0) {
            UINT n = total > 0x10000000ULL ? 0x10000000U : static_cast<UINT>(total);
            if (ar.IsStoring())
                ar.Write(bytes, n);
            else if (ar.Read(bytes, n) != n)
                ar.ThrowError(CArchiveException::endOfFile);
            bytes += n;
            total -= n;
        }
    } else {
        // No stored form is known for this element type.
        (void)elements;
        if (count > 0)
            AfxThrowNotSupportedException();
    }
}

namespace fx::detail {

// Standard-library allocation failures become the class library's exception.
template <class F>
void guardAlloc(F&& f)
{
    try {
        f();
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    } catch (const std::length_error&) {
        AfxThrowMemoryException();
    }
}

// A stored element count that the containers can hold.
inline int checkedCount(CArchive& ar, DWORD count)
{
    if (count > 0x7FFFFFFFu)
        ar.ThrowError(CArchiveException::badIndex);
    return static_cast<int>(count);
}

} // namespace fx::detail

// ---------------------------------------------------------------- CArray

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    CArray() = default;

    int GetSize() const { return static_cast<int>(m_data.size()); }
    int GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }

    void SetSize(int newSize, int growBy = -1)
    {
        if (newSize < 0)
            AfxThrowInvalidArgException();
        if (growBy >= 0)
            m_nGrowBy = growBy;
        fx::detail::guardAlloc([&] { m_data.resize(static_cast<size_t>(newSize)); });
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { std::vector<TYPE>().swap(m_data); }

    TYPE GetAt(int index) const { return m_data[check(index)]; }
    void SetAt(int index, ARG_TYPE element) { m_data[check(index)] = TYPE(element); }
    TYPE& ElementAt(int index) { return m_data[check(index)]; }
    const TYPE& ElementAt(int index) const { return m_data[check(index)]; }
    TYPE operator[](int index) const { return GetAt(index); }
    TYPE& operator[](int index) { return ElementAt(index); }
    const TYPE* GetData() const { return m_data.data(); }
    TYPE* GetData() { return m_data.data(); }

    void SetAtGrow(int index, ARG_TYPE element)
    {
        if (index < 0)
            AfxThrowInvalidArgException();
        TYPE value(element);  // before growing: element may refer into the array
        if (index >= GetSize())
            SetSize(index + 1);
        m_data[static_cast<size_t>(index)] = std::move(value);
    }
    int Add(ARG_TYPE element)
    {
        TYPE value(element);
        fx::detail::guardAlloc([&] { m_data.push_back(std::move(value)); });
        return GetSize() - 1;
    }
    int Append(const CArray& source)
    {
        int old = GetSize();
        if (&source == this) {
            std::vector<TYPE> copy = m_data;
            fx::detail::guardAlloc([&] { m_data.insert(m_data.end(), copy.begin(), copy.end()); });
        } else {
            fx::detail::guardAlloc(
                [&] { m_data.insert(m_data.end(), source.m_data.begin(), source.m_data.end()); });
        }
        return old;
    }
    void Copy(const CArray& source)
    {
        if (&source != this)
            fx::detail::guardAlloc([&] { m_data = source.m_data; });
    }
    void InsertAt(int index, ARG_TYPE element, int count = 1)
    {
        if (index < 0 || count < 0)
            AfxThrowInvalidArgException();
        TYPE value(element);
        if (index > GetSize())
            SetSize(index);
        fx::detail::guardAlloc([&] {
            m_data.insert(m_data.begin() + index, static_cast<size_t>(count), value);
        });
    }
    void InsertAt(int startIndex, CArray* source)
    {
        if (!source || startIndex < 0)
            AfxThrowInvalidArgException();
        std::vector<TYPE> copy = source->m_data;
        if (startIndex > GetSize())
            SetSize(startIndex);
        fx::detail::guardAlloc(
            [&] { m_data.insert(m_data.begin() + startIndex, copy.begin(), copy.end()); });
    }
    void RemoveAt(int index, int count = 1)
    {
        if (index < 0 || count < 0 || count > GetSize() - index)
            AfxThrowInvalidArgException();
        m_data.erase(m_data.begin() + index, m_data.begin() + index + count);
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD>(GetSize()));
            SerializeElements(ar, GetData(), GetSize());
            return;
        }
        int count = fx::detail::checkedCount(ar, ar.ReadCount());
        RemoveAll();
        // Grow with the data that really comes, not with the stored count.
        const int piece = 4096;
        for (int done = 0; done < count;) {
            int n = count - done < piece ? count - done : piece;
            SetSize(done + n);
            SerializeElements(ar, GetData() + done, n);
            done += n;
        }
    }

protected:
    size_t check(int index) const
    {
        if (index < 0 || index >= GetSize())
            AfxThrowInvalidArgException();
        return static_cast<size_t>(index);
    }

    std::vector<TYPE> m_data;
    int m_nGrowBy = -1;
};

// ---------------------------------------------------------------- CList

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
protected:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    explicit CList(int blockSize = 10) {}
    ~CList() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return nonEmpty(m_pNodeHead)->data; }
    const TYPE& GetHead() const { return nonEmpty(m_pNodeHead)->data; }
    TYPE& GetTail() { return nonEmpty(m_pNodeTail)->data; }
    const TYPE& GetTail() const { return nonEmpty(m_pNodeTail)->data; }

    TYPE RemoveHead()
    {
        CNode* node = nonEmpty(m_pNodeHead);
        TYPE value = std::move(node->data);
        unlink(node);
        return value;
    }
    TYPE RemoveTail()
    {
        CNode* node = nonEmpty(m_pNodeTail);
        TYPE value = std::move(node->data);
        unlink(node);
        return value;
    }

    POSITION AddHead(ARG_TYPE element) { return InsertBefore(nullptr, element); }
    POSITION AddTail(ARG_TYPE element) { return InsertAfter(nullptr, element); }
    void AddHead(CList* other)
    {
        if (!other)
            AfxThrowInvalidArgException();
        std::vector<TYPE> copy;
        for (CNode* n = other->m_pNodeHead; n; n = n->pNext)
            copy.push_back(n->data);
        for (size_t i = copy.size(); i-- > 0;)
            insert(nullptr, m_pNodeHead, std::move(copy[i]));
    }
    void AddTail(CList* other)
    {
        if (!other)
            AfxThrowInvalidArgException();
        std::vector<TYPE> copy;
        for (CNode* n = other->m_pNodeHead; n; n = n->pNext)
            copy.push_back(n->data);
        for (auto& v : copy)
            insert(m_pNodeTail, nullptr, std::move(v));
    }

    void RemoveAll()
    {
        CNode* n = m_pNodeHead;
        while (n) {
            CNode* next = n->pNext;
            delete n;
            n = next;
        }
        m_pNodeHead = m_pNodeTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
    POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
    TYPE& GetNext(POSITION& position)
    {
        CNode* node = at(position);
        position = reinterpret_cast<POSITION>(node->pNext);
        return node->data;
    }
    const TYPE& GetNext(POSITION& position) const
    {
        CNode* node = at(position);
        position = reinterpret_cast<POSITION>(node->pNext);
        return node->data;
    }
    TYPE& GetPrev(POSITION& position)
    {
        CNode* node = at(position);
        position = reinterpret_cast<POSITION>(node->pPrev);
        return node->data;
    }
    const TYPE& GetPrev(POSITION& position) const
    {
        CNode* node = at(position);
        position = reinterpret_cast<POSITION>(node->pPrev);
        return node->data;
    }
    TYPE& GetAt(POSITION position) { return at(position)->data; }
    const TYPE& GetAt(POSITION position) const { return at(position)->data; }
    void SetAt(POSITION position, ARG_TYPE element) { at(position)->data = TYPE(element); }
    void RemoveAt(POSITION position) { unlink(at(position)); }

    // A null position inserts at the head (InsertBefore) or the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE element)
    {
        TYPE value(element);
        if (!position)
            return insert(nullptr, m_pNodeHead, std::move(value));
        CNode* node = at(position);
        return insert(node->pPrev, node, std::move(value));
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE element)
    {
        TYPE value(element);
        if (!position)
            return insert(m_pNodeTail, nullptr, std::move(value));
        CNode* node = at(position);
        return insert(node, node->pNext, std::move(value));
    }

    POSITION Find(ARG_TYPE value, POSITION startAfter = nullptr) const
    {
        CNode* n = startAfter ? at(startAfter)->pNext : m_pNodeHead;
        for (; n; n = n->pNext)
            if (CompareElements(&n->data, &value))
                return reinterpret_cast<POSITION>(n);
        return nullptr;
    }
    POSITION FindIndex(int index) const
    {
        if (index < 0 || index >= m_nCount)
            return nullptr;
        CNode* n = m_pNodeHead;
        while (index-- > 0)
            n = n->pNext;
        return reinterpret_cast<POSITION>(n);
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD>(m_nCount));
            for (CNode* n = m_pNodeHead; n; n = n->pNext)
                SerializeElements(ar, &n->data, 1);
            return;
        }
        DWORD count = ar.ReadCount();
        while (count-- > 0) {
            TYPE value{};
            SerializeElements(ar, &value, 1);
            insert(m_pNodeTail, nullptr, std::move(value));
        }
    }

protected:
    static CNode* nonEmpty(CNode* node)
    {
        if (!node)
            AfxThrowInvalidArgException();
        return node;
    }
    static CNode* at(POSITION position)
    {
        if (!position || position == BEFORE_START_POSITION)
            AfxThrowInvalidArgException();
        return reinterpret_cast<CNode*>(position);
    }
    POSITION insert(CNode* prev, CNode* next, TYPE&& value)
    {
        CNode* node = nullptr;
        fx::detail::guardAlloc([&] { node = new CNode{next, prev, std::move(value)}; });
        if (prev)
            prev->pNext = node;
        else
            m_pNodeHead = node;
        if (next)
            next->pPrev = node;
        else
            m_pNodeTail = node;
        ++m_nCount;
        return reinterpret_cast<POSITION>(node);
    }
    void unlink(CNode* node)
    {
        if (node->pPrev)
            node->pPrev->pNext = node->pNext;
        else
            m_pNodeHead = node->pNext;
        if (node->pNext)
            node->pNext->pPrev = node->pPrev;
        else
            m_pNodeTail = node->pPrev;
        delete node;
        --m_nCount;
    }

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    int m_nCount = 0;
};

// ---------------------------------------------------------------- CMap

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
protected:
    struct CAssoc {
        CAssoc* pNext;
        UINT nHashValue;  // bucket index
        KEY key;
        VALUE value;
    };

public:
    typedef KEY BASE_KEY;
    typedef ARG_KEY BASE_ARG_KEY;
    typedef VALUE BASE_VALUE;
    typedef ARG_VALUE BASE_ARG_VALUE;

    explicit CMap(int blockSize = 10) {}
    ~CMap() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& value) const
    {
        UINT hash;
        CAssoc* a = find(key, hash);
        if (!a)
            return FALSE;
        value = a->value;
        return TRUE;
    }
    VALUE& operator[](ARG_KEY key)
    {
        UINT hash;
        CAssoc* a = find(key, hash);
        if (a)
            return a->value;
        if (!m_pHashTable)
            InitHashTable(m_nHashTableSize);
        fx::detail::guardAlloc([&] { a = new CAssoc{m_pHashTable[hash], hash, KEY(key), VALUE()}; });
        m_pHashTable[hash] = a;
        ++m_nCount;
        return a->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value)
    {
        VALUE v(value);
        (*this)[key] = std::move(v);
    }
    BOOL RemoveKey(ARG_KEY key)
    {
        if (!m_pHashTable)
            return FALSE;
        UINT hash = HashKey(key) % m_nHashTableSize;
        for (CAssoc** pp = &m_pHashTable[hash]; *pp; pp = &(*pp)->pNext) {
            if (CompareElements(&(*pp)->key, &key)) {
                CAssoc* a = *pp;
                *pp = a->pNext;
                delete a;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        if (m_pHashTable) {
            for (UINT i = 0; i < m_nHashTableSize; ++i) {
                CAssoc* a = m_pHashTable[i];
                while (a) {
                    CAssoc* next = a->pNext;
                    delete a;
                    a = next;
                }
            }
            delete[] m_pHashTable;
        }
        m_pHashTable = nullptr;
        m_nCount = 0;
    }

    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const
    {
        if (!position || !m_pHashTable)
            AfxThrowInvalidArgException();
        CAssoc* a = reinterpret_cast<CAssoc*>(position);
        if (position == BEFORE_START_POSITION) {
            a = nullptr;
            for (UINT i = 0; i < m_nHashTableSize && !a; ++i)
                a = m_pHashTable[i];
            if (!a)
                AfxThrowInvalidArgException();
        }
        CAssoc* next = a->pNext;
        for (UINT i = a->nHashValue + 1; !next && i < m_nHashTableSize; ++i)
            next = m_pHashTable[i];
        position = reinterpret_cast<POSITION>(next);
        key = a->key;
        value = a->value;
    }

    UINT GetHashTableSize() const { return m_nHashTableSize; }
    // Sets the number of buckets; only while the map is empty.
    void InitHashTable(UINT hashSize, BOOL allocNow = TRUE)
    {
        if (m_nCount > 0 || hashSize == 0)
            return;
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
        m_nHashTableSize = hashSize;
        if (allocNow)
            fx::detail::guardAlloc([&] { m_pHashTable = new CAssoc*[hashSize](); });
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD>(m_nCount));
            if (!m_pHashTable)
                return;
            for (UINT i = 0; i < m_nHashTableSize; ++i)
                for (CAssoc* a = m_pHashTable[i]; a; a = a->pNext) {
                    SerializeElements(ar, &a->key, 1);
                    SerializeElements(ar, &a->value, 1);
                }
            return;
        }
        DWORD count = ar.ReadCount();
        while (count-- > 0) {
            KEY key{};
            VALUE value{};
            SerializeElements(ar, &key, 1);
            SerializeElements(ar, &value, 1);
            (*this)[key] = std::move(value);
        }
    }

protected:
    CAssoc* find(ARG_KEY key, UINT& hash) const
    {
        hash = HashKey(key) % m_nHashTableSize;
        if (!m_pHashTable)
            return nullptr;
        for (CAssoc* a = m_pHashTable[hash]; a; a = a->pNext)
            if (CompareElements(&a->key, &key))
                return a;
        return nullptr;
    }

    CAssoc** m_pHashTable = nullptr;
    UINT m_nHashTableSize = 17;
    int m_nCount = 0;
};

// ---------------------------------------------------------------- named classes

class CByteArray : public CArray<BYTE, BYTE> {
    DECLARE_SERIAL(CByteArray)
};

class CWordArray : public CArray<WORD, WORD> {
    DECLARE_SERIAL(CWordArray)
};

class CDWordArray : public CArray<DWORD, DWORD> {
    DECLARE_SERIAL(CDWordArray)
};

// UINT differs in size between systems: no stored form.
class CUIntArray : public CArray<UINT, UINT> {
    DECLARE_DYNAMIC(CUIntArray)
public:
    void Serialize(CArchive& ar) override { CObject::Serialize(ar); }
};

class CPtrArray : public CArray<void*, void*> {
    DECLARE_DYNAMIC(CPtrArray)
public:
    void Serialize(CArchive& ar) override { CObject::Serialize(ar); }
};

class CObArray : public CArray<CObject*, CObject*> {
    DECLARE_SERIAL(CObArray)
};

class CStringArray : public CArray<CString, LPCTSTR> {
    DECLARE_SERIAL(CStringArray)
};

class CPtrList : public CList<void*, void*> {
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(int blockSize = 10) : CList(blockSize) {}
    void Serialize(CArchive& ar) override { CObject::Serialize(ar); }
};

class CObList : public CList<CObject*, CObject*> {
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(int blockSize = 10) : CList(blockSize) {}
};

class CStringList : public CList<CString, LPCTSTR> {
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(int blockSize = 10) : CList(blockSize) {}
};

class CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR> {
    DECLARE_SERIAL(CMapStringToString)
public:
    explicit CMapStringToString(int blockSize = 10) : CMap(blockSize) {}
};

class CMapStringToOb : public CMap<CString, LPCTSTR, CObject*, CObject*> {
    DECLARE_SERIAL(CMapStringToOb)
public:
    explicit CMapStringToOb(int blockSize = 10) : CMap(blockSize) {}
};

class CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*> {
    DECLARE_SERIAL(CMapWordToOb)
public:
    explicit CMapWordToOb(int blockSize = 10) : CMap(blockSize) {}
};

class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*> {
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(int blockSize = 10) : CMap(blockSize) {}
    void Serialize(CArchive& ar) override { CObject::Serialize(ar); }
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(int blockSize = 10) : CMap(blockSize) {}
    void Serialize(CArchive& ar) override { CObject::Serialize(ar); }
};

class CMapPtrToWord : public CMap<void*, void*, WORD, WORD> {
    DECLARE_DYNAMIC(CMapPtrToWord)
public:
    explicit CMapPtrToWord(int blockSize = 10) : CMap(blockSize) {}
    void Serialize(CArchive& ar) override { CObject::Serialize(ar); }
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
    DECLARE_DYNAMIC(CMapWordToPtr)
public:
    explicit CMapWordToPtr(int blockSize = 10) : CMap(blockSize) {}
    void Serialize(CArchive& ar) override { CObject::Serialize(ar); }
};

// ---------------------------------------------------------------- typed pointers

template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(int index) const { return static_cast<TYPE>(BASE_CLASS::GetAt(index)); }
    TYPE& ElementAt(int index) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(index)); }
    void SetAt(int index, TYPE element) { BASE_CLASS::SetAt(index, element); }
    void SetAtGrow(int index, TYPE element) { BASE_CLASS::SetAtGrow(index, element); }
    int Add(TYPE element) { return BASE_CLASS::Add(element); }
    int Append(const CTypedPtrArray& source) { return BASE_CLASS::Append(source); }
    void Copy(const CTypedPtrArray& source) { BASE_CLASS::Copy(source); }
    void InsertAt(int index, TYPE element, int count = 1) { BASE_CLASS::InsertAt(index, element, count); }
    void InsertAt(int startIndex, CTypedPtrArray* source) { BASE_CLASS::InsertAt(startIndex, source); }
    TYPE operator[](int index) const { return GetAt(index); }
    TYPE& operator[](int index) { return ElementAt(index); }
    TYPE* GetData() { return reinterpret_cast<TYPE*>(BASE_CLASS::GetData()); }
    const TYPE* GetData() const { return reinterpret_cast<const TYPE*>(BASE_CLASS::GetData()); }
};

template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
public:
    explicit CTypedPtrList(int blockSize = 10) : BASE_CLASS(blockSize) {}

    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    POSITION AddHead(TYPE element) { return BASE_CLASS::AddHead(element); }
    POSITION AddTail(TYPE element) { return BASE_CLASS::AddTail(element); }
    void AddHead(CTypedPtrList* other) { BASE_CLASS::AddHead(other); }
    void AddTail(CTypedPtrList* other) { BASE_CLASS::AddTail(other); }
    TYPE& GetNext(POSITION& position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(position)); }
    TYPE GetNext(POSITION& position) const { return static_cast<TYPE>(BASE_CLASS::GetNext(position)); }
    TYPE& GetPrev(POSITION& position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(position)); }
    TYPE GetPrev(POSITION& position) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(position)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
    void SetAt(POSITION position, TYPE element) { BASE_CLASS::SetAt(position, element); }
    POSITION InsertBefore(POSITION position, TYPE element) { return BASE_CLASS::InsertBefore(position, element); }
    POSITION InsertAfter(POSITION position, TYPE element) { return BASE_CLASS::InsertAfter(position, element); }
};

template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS {
public:
    explicit CTypedPtrMap(int blockSize = 10) : BASE_CLASS(blockSize) {}

    BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& value) const
    {
        typename BASE_CLASS::BASE_VALUE v{};
        if (!BASE_CLASS::Lookup(key, v))
            return FALSE;
        value = static_cast<VALUE>(v);
        return TRUE;
    }
    VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key)
    {
        return reinterpret_cast<VALUE&>(BASE_CLASS::operator[](key));
    }
    void SetAt(KEY key, VALUE value) { BASE_CLASS::SetAt(key, value); }
    BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
    void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const
    {
        typename BASE_CLASS::BASE_KEY k{};
        typename BASE_CLASS::BASE_VALUE v{};
        BASE_CLASS::GetNextAssoc(position, k, v);
        key = static_cast<KEY>(k);
        value = static_cast<VALUE>(v);
    }
};
