// Collections: arrays, lists, maps, typed wrappers and their stored forms.
#include "fx/fx.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

class CTestNode : public CObject {
    DECLARE_SERIAL(CTestNode)
public:
    CTestNode() = default;
    explicit CTestNode(WORD v) : m_value(v) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_value;
        else
            ar >> m_value;
    }
    WORD m_value = 0;
};
IMPLEMENT_SERIAL(CTestNode, CObject, 1)

namespace {

template <class F>
int InvalidArg(F&& f)
{
    try {
        f();
    } catch (CInvalidArgException* e) {
        e->Delete();
        return 1;
    }
    return 0;
}

std::string Bytes(CMemFile& f)
{
    std::string s(f.GetLength(), '\0');
    f.SeekToBegin();
    if (!s.empty())
        f.Read(&s[0], static_cast<UINT>(s.size()));
    f.SeekToBegin();
    return s;
}

TEST(Collections, StringArray)
{
    CStringArray a;
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.Add("one"), 0);
    EXPECT_EQ(a.Add(CString("two")), 1);
    a.InsertAt(1, "between");
    a.SetAtGrow(5, "five");
    ASSERT_EQ(a.GetSize(), 6);
    EXPECT_EQ(a.GetUpperBound(), 5);
    EXPECT_EQ(a[0], "one");
    EXPECT_EQ(a[1], "between");
    EXPECT_EQ(a.GetAt(2), "two");
    EXPECT_TRUE(a[3].IsEmpty());
    a.RemoveAt(3, 2);
    EXPECT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a[3], "five");
    a[0] = "ONE";
    a.SetAt(1, nullptr);
    EXPECT_EQ(a.ElementAt(0), "ONE");
    EXPECT_TRUE(a[1].IsEmpty());
    a.Add(a[0]);  // adding one of its own elements
    EXPECT_EQ(a[4], "ONE");

    CStringArray b;
    b.Copy(a);
    b.Append(b);
    EXPECT_EQ(b.GetSize(), 10);

    EXPECT_EQ(InvalidArg([&] { a.GetAt(99); }), 1);
    EXPECT_EQ(InvalidArg([&] { a.GetAt(-1); }), 1);
    EXPECT_EQ(InvalidArg([&] { a.SetAt(5, "x"); }), 1);
    EXPECT_EQ(InvalidArg([&] { a.RemoveAt(3, 5); }), 1);
    a.RemoveAll();
    EXPECT_EQ(a.GetSize(), 0);
}

TEST(Collections, NumberArrays)
{
    CUIntArray queue;  // first in, first out
    queue.Add(3);
    queue.Add(1);
    queue.Add(2);
    std::vector<UINT> order;
    while (queue.GetSize() > 0) {
        order.push_back(queue[0]);
        queue.RemoveAt(0);
    }
    EXPECT_EQ(order, (std::vector<UINT>{3, 1, 2}));

    CDWordArray d;
    d.SetSize(3);
    EXPECT_EQ(d[2], 0u);  // new elements are zero
    d[1] = 640 * 65536 + 480;
    CWordArray w;
    w.Add(0x1234);
    CByteArray b;
    b.Add(0xAB);

    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        d.Serialize(ar);
        w.Serialize(ar);
        b.Serialize(ar);
    }
    EXPECT_EQ(Bytes(f), std::string("\x03\x00"
                                    "\x00\x00\x00\x00"
                                    "\xE0\x01\x80\x02"
                                    "\x00\x00\x00\x00"
                                    "\x01\x00\x34\x12"
                                    "\x01\x00\xAB",
                                    21));
    CDWordArray d2;
    CWordArray w2;
    CByteArray b2;
    {
        CArchive ar(&f, CArchive::load);
        d2.Serialize(ar);
        w2.Serialize(ar);
        b2.Serialize(ar);
    }
    ASSERT_EQ(d2.GetSize(), 3);
    EXPECT_EQ(d2[1], 640u * 65536 + 480);
    EXPECT_EQ(w2[0], 0x1234);
    EXPECT_EQ(b2[0], 0xAB);
}

TEST(Collections, ListIteration)
{
    CStringList l;
    l.AddTail("b");
    l.AddHead("a");
    POSITION c = l.AddTail("c");
    l.InsertBefore(c, "b2");
    l.InsertAfter(c, "d");
    std::string forward, backward;
    for (POSITION p = l.GetHeadPosition(); p;)
        forward += std::string(l.GetNext(p)) + ",";
    for (POSITION p = l.GetTailPosition(); p;)
        backward += std::string(l.GetPrev(p)) + ",";
    EXPECT_EQ(forward, "a,b,b2,c,d,");
    EXPECT_EQ(backward, "d,c,b2,b,a,");
    EXPECT_EQ(l.GetCount(), 5);
    EXPECT_EQ(l.GetHead(), "a");
    EXPECT_EQ(l.GetTail(), "d");
    POSITION found = l.Find("b2");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(l.GetAt(found), "b2");
    EXPECT_EQ(l.Find("zz"), nullptr);
    EXPECT_EQ(l.Find("a", l.GetHeadPosition()), nullptr);  // search starts after
    EXPECT_EQ(l.GetAt(l.FindIndex(3)), "c");
    EXPECT_EQ(l.FindIndex(5), nullptr);
    l.RemoveAt(found);
    l.SetAt(l.GetHeadPosition(), "A");
    EXPECT_EQ(l.RemoveHead(), "A");
    EXPECT_EQ(l.RemoveTail(), "d");
    EXPECT_EQ(l.GetCount(), 2);

    CStringList other;
    other.AddTail("x");
    other.AddTail("y");
    l.AddTail(&other);
    l.AddHead(&other);
    forward.clear();
    for (POSITION p = l.GetHeadPosition(); p;)
        forward += l.GetNext(p);
    EXPECT_EQ(forward, "xybcxy");

    // Removing while iterating: take the position before advancing.
    for (POSITION p = l.GetHeadPosition(); p;) {
        POSITION here = p;
        if (l.GetNext(p) == "x")
            l.RemoveAt(here);
    }
    EXPECT_EQ(l.GetCount(), 4);

    l.RemoveAll();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(InvalidArg([&] { l.GetHead(); }), 1);
    EXPECT_EQ(InvalidArg([&] { l.RemoveTail(); }), 1);
    POSITION none = nullptr;
    EXPECT_EQ(InvalidArg([&] { l.GetNext(none); }), 1);
}

TEST(Collections, ObListOwnsNothingAndStoresObjects)
{
    CObList list(10);
    CTestNode a(1), b(2);
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&a);  // the same object twice: stored once, then referenced
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        list.Serialize(ar);
    }
    std::string bytes = Bytes(f);
    EXPECT_EQ(bytes, std::string("\x03\x00"
                                 "\xFF\xFF\x01\x00\x09\x00"
                                 "CTestNode"
                                 "\x01\x00"
                                 "\x01\x80\x02\x00"
                                 "\x02\x00",
                                 25));
    CObList back;
    {
        CArchive ar(&f, CArchive::load);
        back.Serialize(ar);
    }
    ASSERT_EQ(back.GetCount(), 3);
    CObject* first = back.GetHead();
    CObject* last = back.GetTail();
    EXPECT_EQ(first, last);
    std::set<CObject*> distinct;
    for (POSITION p = back.GetHeadPosition(); p;)
        distinct.insert(back.GetNext(p));
    for (CObject* o : distinct)
        delete o;
}

TEST(Collections, TypedPointers)
{
    CTypedPtrList<CObList, CTestNode*> list;
    list.AddTail(new CTestNode(5));
    list.AddHead(new CTestNode(4));
    WORD sum = 0;
    for (POSITION p = list.GetHeadPosition(); p;)
        sum += list.GetNext(p)->m_value;
    EXPECT_EQ(sum, 9);
    EXPECT_EQ(list.GetHead()->m_value, 4);
    while (!list.IsEmpty())
        delete list.RemoveHead();

    CTypedPtrArray<CPtrArray, int*> arr;
    int x = 1, y = 2;
    arr.Add(&x);
    arr.Add(&y);
    EXPECT_EQ(*arr[1], 2);
    arr[0] = &y;
    EXPECT_EQ(arr.GetAt(0), &y);

    CTypedPtrMap<CMapStringToPtr, CString, int*> map;
    map.SetAt("x", &x);
    int* got = nullptr;
    EXPECT_TRUE(map.Lookup("x", got));
    EXPECT_EQ(got, &x);
    map["y"] = &y;
    POSITION p = map.GetStartPosition();
    int count = 0;
    while (p) {
        CString key;
        int* value;
        map.GetNextAssoc(p, key, value);
        EXPECT_EQ(*value, key == "x" ? 1 : 2);
        ++count;
    }
    EXPECT_EQ(count, 2);
}

TEST(Collections, Maps)
{
    CMapStringToString m;
    EXPECT_EQ(m.GetStartPosition(), nullptr);
    for (int i = 0; i < 100; ++i) {
        CString k, v;
        k.Format("key%d", i);
        v.Format("value%d", i);
        m.SetAt(k, v);
    }
    m["key5"] = "five";
    EXPECT_EQ(m.GetCount(), 100);
    CString v;
    EXPECT_TRUE(m.Lookup("key5", v));
    EXPECT_EQ(v, "five");
    EXPECT_FALSE(m.Lookup("nope", v));
    EXPECT_TRUE(m.RemoveKey("key7"));
    EXPECT_FALSE(m.RemoveKey("key7"));
    EXPECT_EQ(m.GetCount(), 99);

    std::set<std::string> seen;
    for (POSITION p = m.GetStartPosition(); p;) {
        CString key, value;
        m.GetNextAssoc(p, key, value);
        seen.insert(std::string(key));
    }
    EXPECT_EQ(seen.size(), 99u);
    EXPECT_EQ(seen.count("key7"), 0u);

    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        m.Serialize(ar);
    }
    f.SeekToBegin();
    CMapStringToString back;
    {
        CArchive ar(&f, CArchive::load);
        back.Serialize(ar);
    }
    EXPECT_EQ(back.GetCount(), 99);
    EXPECT_TRUE(back.Lookup("key99", v));
    EXPECT_EQ(v, "value99");

    CMapWordToPtr wp;
    int z = 0;
    wp[7] = &z;
    void* pv = nullptr;
    EXPECT_TRUE(wp.Lookup(7, pv));
    EXPECT_EQ(pv, &z);
    CMapPtrToPtr pp;
    pp.SetAt(&z, &v);
    EXPECT_TRUE(pp.Lookup(&z, pv));
    EXPECT_EQ(pv, &v);
    pp.RemoveAll();
    EXPECT_FALSE(pp.Lookup(&z, pv));

    // One bucket: every key collides and is still found.
    CMapStringToPtr one;
    one.InitHashTable(1);
    for (int i = 0; i < 20; ++i) {
        CString k;
        k.Format("%d", i);
        one[k] = reinterpret_cast<void*>(static_cast<uintptr_t>(i + 1));
    }
    EXPECT_TRUE(one.Lookup("13", pv));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pv), 14u);
    int n = 0;
    for (POSITION p = one.GetStartPosition(); p; ++n) {
        CString k;
        one.GetNextAssoc(p, k, pv);
    }
    EXPECT_EQ(n, 20);
}

TEST(Collections, DamagedStoredCollections)
{
    // A count that promises more than the data holds.
    const std::string bytes[] = {
        std::string("\x05\x00\x01" "a", 4),
        std::string("\xFF\xFF\xFF\xFF\xFF\x7F", 6),
        std::string("\xFF\xFF\x00\x00\x00\x10\x02\x00", 8),
    };
    for (const auto& b : bytes) {
        CMemFile f;
        f.Write(b.data(), static_cast<UINT>(b.size()));
        f.SeekToBegin();
        CStringArray a;
        CArchive ar(&f, CArchive::load);
        try {
            a.Serialize(ar);
            ADD_FAILURE() << "expected an archive exception";
        } catch (CArchiveException* e) {
            e->Delete();
        }
        f.SeekToBegin();
        CDWordArray d;
        CArchive ar2(&f, CArchive::load);
        try {
            d.Serialize(ar2);
            ADD_FAILURE() << "expected an archive exception";
        } catch (CArchiveException* e) {
            e->Delete();
        }
    }
}

} // namespace
