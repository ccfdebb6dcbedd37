// CArchive against fixed byte files and against damaged input.
#include "fx/fx.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// A small serialisable class with a schema, as stored in fixtures/objects.bin.
class CTestItem : public CObject {
    DECLARE_SERIAL(CTestItem)
public:
    CTestItem() = default;
    CTestItem(LONG id, const char* name) : m_id(id), m_name(name) {}
    ~CTestItem() override { ++s_destroyed; }
    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar << m_id << m_name;
        } else {
            m_schemaSeen = ar.GetObjectSchema();
            ar >> m_id >> m_name;
        }
    }
    LONG m_id = 0;
    CString m_name;
    UINT m_schemaSeen = 0;
    static int s_destroyed;
};
int CTestItem::s_destroyed = 0;
IMPLEMENT_SERIAL(CTestItem, CObject, 3)

// Same stored name as nothing else: a class that holds another object.
class CTestHolder : public CObject {
    DECLARE_SERIAL(CTestHolder)
public:
    ~CTestHolder() override { delete m_item; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_item << m_after;
        } else {
            ar >> m_item >> m_after;
        }
    }
    CTestItem* m_item = nullptr;
    LONG m_after = 0;
};
IMPLEMENT_SERIAL(CTestHolder, CObject, 1)

// Accepts every stored schema and reports it.
class CTestVersioned : public CObject {
    DECLARE_SERIAL(CTestVersioned)
public:
    void Serialize(CArchive& ar) override
    {
        if (!ar.IsStoring())
            m_schema = ar.GetObjectSchema();
    }
    UINT m_schema = 0;
};
IMPLEMENT_SERIAL(CTestVersioned, CObject, VERSIONABLE_SCHEMA | 5)

namespace {

std::string Fixture(const char* name)
{
    return testsupport::ReadFile(testsupport::SourcePath(std::string("platform/fx/tests/core/fixtures/") + name));
}

std::string Text(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('a' + i % 26);
    return s;
}

// Everything a CMemFile holds, as bytes.
std::string Contents(CMemFile& f)
{
    DWORD len = f.GetLength();
    std::string out(len, '\0');
    f.SeekToBegin();
    if (len)
        f.Read(&out[0], len);
    return out;
}

template <class F>
std::string Store(F&& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    return Contents(file);
}

// Loads from the given bytes; returns the archive exception's cause, or -1 when none.
template <class F>
int Load(const std::string& bytes, F&& read)
{
    CMemFile file;
    if (!bytes.empty())
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    try {
        read(ar);
    } catch (CArchiveException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

TEST(CArchive, StringsMatchFixtures)
{
    for (int n : {0, 254, 255, 65533, 65534, 65535, 70000}) {
        std::string name = "string_" + std::to_string(n) + ".bin";
        std::string fixture = Fixture(name.c_str());
        ASSERT_FALSE(fixture.empty()) << name;
        std::string expected = Text(n);

        std::string stored = Store([&](CArchive& ar) { ar << CString(expected.c_str()); });
        EXPECT_EQ(stored.size(), fixture.size()) << name;
        EXPECT_TRUE(stored == fixture) << name << ": stored bytes differ";

        CString loaded;
        EXPECT_EQ(Load(fixture, [&](CArchive& ar) { ar >> loaded; }), -1) << name;
        EXPECT_EQ(loaded.GetLength(), n) << name;
        EXPECT_TRUE(std::string(loaded, loaded.GetLength()) == expected) << name;
    }
}

TEST(CArchive, TruncatedStringsThrow)
{
    for (int n : {254, 255, 65534, 70000}) {
        std::string fixture = Fixture(("string_" + std::to_string(n) + ".bin").c_str());
        for (size_t cut : {size_t(0), size_t(1), size_t(2), size_t(4), size_t(6), fixture.size() - 1}) {
            CString loaded = "unchanged";
            int cause = Load(fixture.substr(0, cut), [&](CArchive& ar) { ar >> loaded; });
            EXPECT_EQ(cause, CArchiveException::endOfFile) << n << " cut at " << cut;
            EXPECT_EQ(loaded, "unchanged") << n << " cut at " << cut;
        }
    }
}

TEST(CArchive, HugeStoredLengthDoesNotAllocateIt)
{
    // 0xFF 0xFFFF and a length of 2 GB - 1, followed by 3 bytes only.
    std::string bytes("\xFF\xFF\xFF\xFF\xFF\xFF\x7F" "abc", 10);
    CString s;
    EXPECT_EQ(Load(bytes, [&](CArchive& ar) { ar >> s; }), CArchiveException::badIndex);
    std::string bytes2("\xFF\xFF\xFF\x00\x00\x00\x10" "abc", 10);  // 256 MB announced
    EXPECT_EQ(Load(bytes2, [&](CArchive& ar) { ar >> s; }), CArchiveException::endOfFile);
}

TEST(CArchive, WideTextIsNarrowed)
{
    // UTF-16 marker, then length 3: "a", U+00E9, U+4E2D.
    std::string bytes("\xFF\xFE\xFF\x03" "a\x00\xE9\x00\x2D\x4E", 10);
    CString s;
    EXPECT_EQ(Load(bytes, [&](CArchive& ar) { ar >> s; }), -1);
    EXPECT_EQ(s, "a\xE9?");
}

TEST(CArchive, NumbersAreLittleEndian)
{
    std::string stored = Store([](CArchive& ar) {
        ar << static_cast<BYTE>(0x12) << static_cast<WORD>(0x3456) << static_cast<LONG>(-2)
           << static_cast<DWORD>(0x89ABCDEF) << 1.5f << -0.25 << static_cast<short>(-1) << 'z';
    });
    const char expected[] = "\x12"
                            "\x56\x34"
                            "\xFE\xFF\xFF\xFF"
                            "\xEF\xCD\xAB\x89"
                            "\x00\x00\xC0\x3F"
                            "\x00\x00\x00\x00\x00\x00\xD0\xBF"
                            "\xFF\xFF"
                            "z";
    ASSERT_EQ(stored, std::string(expected, sizeof expected - 1));

    BYTE b;
    WORD w;
    LONG l;
    DWORD d;
    float f;
    double g;
    short s;
    char c;
    EXPECT_EQ(Load(stored, [&](CArchive& ar) { ar >> b >> w >> l >> d >> f >> g >> s >> c; }), -1);
    EXPECT_EQ(b, 0x12);
    EXPECT_EQ(w, 0x3456);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(d, 0x89ABCDEFu);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(g, -0.25);
    EXPECT_EQ(s, -1);
    EXPECT_EQ(c, 'z');

    // Every shorter input ends in an exception, never in a read past the data.
    for (size_t cut = 0; cut < stored.size(); ++cut) {
        int cause = Load(stored.substr(0, cut),
                         [&](CArchive& ar) { ar >> b >> w >> l >> d >> f >> g >> s >> c; });
        EXPECT_EQ(cause, CArchiveException::endOfFile) << cut;
    }
}

TEST(CArchive, IntegerTypesOfBothSystemsStoreFourBytes)
{
    int i = -3;
    UINT u = 7;
    BOOL flag = TRUE;
    long l = -4;
    unsigned long ul = 9;
    std::string stored = Store([&](CArchive& ar) { ar << i << u << flag << l << ul; });
    EXPECT_EQ(stored, std::string("\xFD\xFF\xFF\xFF\x07\x00\x00\x00\x01\x00\x00\x00"
                                  "\xFC\xFF\xFF\xFF\x09\x00\x00\x00",
                                  20));
    int i2 = 0;
    UINT u2 = 0;
    BOOL flag2 = FALSE;
    long l2 = 0;
    unsigned long ul2 = 0;
    EXPECT_EQ(Load(stored, [&](CArchive& ar) { ar >> i2 >> u2 >> flag2 >> l2 >> ul2; }), -1);
    EXPECT_EQ(i2, -3);
    EXPECT_EQ(u2, 7u);
    EXPECT_EQ(flag2, TRUE);
    EXPECT_EQ(l2, -4);
    EXPECT_EQ(ul2, 9u);
}

TEST(CArchive, CountForms)
{
    struct Case {
        DWORD count;
        const char* bytes;
        size_t size;
    } cases[] = {
        {0, "\x00\x00", 2},
        {0xFFFE, "\xFE\xFF", 2},
        {0xFFFF, "\xFF\xFF\xFF\xFF\x00\x00", 6},
        {70000, "\xFF\xFF\x70\x11\x01\x00", 6},
    };
    for (auto& c : cases) {
        std::string stored = Store([&](CArchive& ar) { ar.WriteCount(c.count); });
        EXPECT_EQ(stored, std::string(c.bytes, c.size)) << c.count;
        DWORD back = 0;
        EXPECT_EQ(Load(stored, [&](CArchive& ar) { back = ar.ReadCount(); }), -1);
        EXPECT_EQ(back, c.count);
    }
}

TEST(CArchive, ObjectRecordsMatchFixture)
{
    std::string fixture = Fixture("objects.bin");
    ASSERT_FALSE(fixture.empty());

    CTestItem first(7, "first"), second(-2, "second");
    std::string stored = Store([&](CArchive& ar) {
        ar << &first << &first << &second << static_cast<CObject*>(nullptr);
    });
    EXPECT_TRUE(stored == fixture) << "stored object records differ from the fixture";

    CObject *a = nullptr, *b = nullptr, *c = nullptr, *d = &first;
    EXPECT_EQ(Load(fixture, [&](CArchive& ar) { ar >> a >> b >> c >> d; }), -1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);  // the back-reference gives the same object
    EXPECT_EQ(d, nullptr);
    ASSERT_TRUE(a->IsKindOf(RUNTIME_CLASS(CTestItem)));
    ASSERT_TRUE(c->IsKindOf(RUNTIME_CLASS(CTestItem)));
    auto* ia = static_cast<CTestItem*>(a);
    auto* ic = static_cast<CTestItem*>(c);
    EXPECT_EQ(ia->m_id, 7);
    EXPECT_EQ(ia->m_name, "first");
    EXPECT_EQ(ia->m_schemaSeen, 3u);
    EXPECT_EQ(ic->m_id, -2);
    EXPECT_EQ(ic->m_name, "second");
    delete a;
    delete c;
}

TEST(CArchive, TypedReadChecksTheClass)
{
    std::string fixture = Fixture("objects.bin");
    CTestItem* item = nullptr;
    EXPECT_EQ(Load(fixture, [&](CArchive& ar) { ar >> item; }), -1);
    ASSERT_NE(item, nullptr);
    delete item;

    CTestHolder* holder = nullptr;
    EXPECT_EQ(Load(fixture, [&](CArchive& ar) { ar >> holder; }), CArchiveException::badClass);
    EXPECT_EQ(holder, nullptr);
}

TEST(CArchive, EveryTruncationOfObjectRecordsThrows)
{
    std::string fixture = Fixture("objects.bin");
    int destroyedBefore = CTestItem::s_destroyed;
    int created = 0;
    for (size_t cut = 0; cut < fixture.size(); ++cut) {
        std::vector<CObject*> got;
        int cause = Load(fixture.substr(0, cut), [&](CArchive& ar) {
            for (int i = 0; i < 4; ++i) {
                CObject* o = nullptr;
                ar >> o;
                if (o && (got.empty() || got.back() != o)) {
                    got.push_back(o);
                    ++created;
                }
            }
        });
        EXPECT_EQ(cause, CArchiveException::endOfFile) << "cut at " << cut;
        for (CObject* o : got)
            delete o;
    }
    // Half-loaded objects are destroyed by the archive, the rest by us: none leak.
    EXPECT_GT(CTestItem::s_destroyed - destroyedBefore, created);
}

TEST(CArchive, DamagedObjectRecords)
{
    std::string classRecord("\xFF\xFF\x03\x00\x09\x00" "CTestItem", 15);
    std::string fields("\x07\x00\x00\x00\x01x", 6);
    struct Case {
        const char* what;
        std::string bytes;
        int cause;
    } cases[] = {
        {"unknown class", std::string("\xFF\xFF\x00\x00\x05\x00" "CNone", 11), CArchiveException::badClass},
        {"not serialisable", std::string("\xFF\xFF\xFF\xFF\x07\x00" "CObject", 13), CArchiveException::badClass},
        {"wrong schema", std::string("\xFF\xFF\x02\x00\x09\x00" "CTestItem", 15) + fields,
         CArchiveException::badSchema},
        {"name longer than any class", std::string("\xFF\xFF\x03\x00\xC8\x00", 6) + std::string(200, 'A'),
         CArchiveException::badClass},
        {"reference to nothing yet", std::string("\x01\x00", 2), CArchiveException::badIndex},
        {"class index 0", std::string("\x00\x80", 2), CArchiveException::badIndex},
        {"class index unknown", std::string("\x05\x80", 2), CArchiveException::badIndex},
        {"object used as a class", classRecord + fields + std::string("\x02\x80", 2), CArchiveException::badIndex},
        {"class used as an object", classRecord + fields + std::string("\x01\x00", 2), CArchiveException::badIndex},
        {"big tag past the map", std::string("\xFF\x7F\x00\x01\x00\x00", 6), CArchiveException::badIndex},
    };
    for (auto& c : cases) {
        std::vector<CObject*> got;
        int cause = Load(c.bytes, [&](CArchive& ar) {
            for (;;) {
                CObject* o = nullptr;
                ar >> o;
                got.push_back(o);
            }
        });
        EXPECT_EQ(cause, c.cause) << c.what;
        for (CObject* o : got)
            delete o;
    }
}

TEST(CArchive, NestedObjectsAndVersionableSchema)
{
    CTestHolder holder;
    holder.m_item = new CTestItem(42, "inner");
    holder.m_after = 99;
    CTestVersioned versioned;
    std::string stored = Store([&](CArchive& ar) { ar << &holder << &versioned; });

    CObject* loaded = nullptr;
    CObject* v = nullptr;
    EXPECT_EQ(Load(stored, [&](CArchive& ar) { ar >> loaded >> v; }), -1);
    auto* h = DYNAMIC_DOWNCAST(CTestHolder, loaded);
    ASSERT_NE(h, nullptr);
    ASSERT_NE(h->m_item, nullptr);
    EXPECT_EQ(h->m_item->m_name, "inner");
    EXPECT_EQ(h->m_after, 99);
    ASSERT_NE(DYNAMIC_DOWNCAST(CTestVersioned, v), nullptr);
    EXPECT_EQ(static_cast<CTestVersioned*>(v)->m_schema, 5u);
    delete loaded;
    delete v;

    // A versionable class also reads records of other schemas.
    std::string other("\xFF\xFF\x02\x00\x0E\x00" "CTestVersioned", 20);
    EXPECT_EQ(Load(other, [&](CArchive& ar) { ar >> v; }), -1);
    EXPECT_EQ(static_cast<CTestVersioned*>(v)->m_schema, 2u);
    delete v;
}

TEST(CArchive, LargeIndexesUseTheLongTags)
{
    // More than 0x7FFF map entries: later references need the DWORD forms.
    const int count = 0x8001;
    std::vector<CTestItem*> items;
    for (int i = 0; i < count; ++i)
        items.push_back(new CTestItem(i, ""));
    CTestVersioned late1, late2;
    std::string stored = Store([&](CArchive& ar) {
        for (CTestItem* it : items)
            ar << it;
        ar << &late1 << &late2;      // a new class at index 0x8003, then its class reference
        ar << items[0] << items.back();
    });
    // Items take indexes 2..0x8002; the late class is 0x8003. The tail: its class
    // reference in the long form, then references to items[0] (short) and the
    // last item (long).
    EXPECT_EQ(stored.substr(stored.size() - 14), std::string("\xFF\x7F\x03\x80\x00\x80"
                                                             "\x02\x00"
                                                             "\xFF\x7F\x02\x80\x00\x00",
                                                             14));
    std::vector<CObject*> loaded;
    CObject *v1 = nullptr, *v2 = nullptr, *first = nullptr, *last = nullptr;
    EXPECT_EQ(Load(stored, [&](CArchive& ar) {
                  for (int i = 0; i < count; ++i) {
                      CObject* o = nullptr;
                      ar >> o;
                      loaded.push_back(o);
                  }
                  ar >> v1 >> v2 >> first >> last;
              }),
              -1);
    ASSERT_EQ(loaded.size(), static_cast<size_t>(count));
    EXPECT_EQ(first, loaded[0]);
    EXPECT_EQ(last, loaded.back());
    EXPECT_EQ(static_cast<CTestItem*>(last)->m_id, count - 1);
    EXPECT_NE(DYNAMIC_DOWNCAST(CTestVersioned, v2), nullptr);
    EXPECT_NE(v1, v2);
    for (CObject* o : loaded)
        delete o;
    delete v1;
    delete v2;
    for (CTestItem* it : items)
        delete it;
}

TEST(CArchive, ModeAndBufferBehaviour)
{
    CMemFile file;
    CArchive store(&file, CArchive::store);
    EXPECT_TRUE(store.IsStoring());
    EXPECT_FALSE(store.IsLoading());
    EXPECT_EQ(store.GetFile(), &file);
    BYTE b;
    try {
        store >> b;
        ADD_FAILURE() << "reading a storing archive must throw";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::writeOnly);
        e->Delete();
    }
    store << static_cast<DWORD>(1);
    EXPECT_EQ(file.GetLength(), 0u);  // still buffered
    store.Flush();
    EXPECT_EQ(file.GetLength(), 4u);
    store.Close();
    EXPECT_EQ(store.GetFile(), nullptr);

    // Closing a loading archive gives unread bytes back to the file.
    file.SeekToBegin();
    file.Write("\x01\x02\x03\x04\x05\x06", 6);
    file.SeekToBegin();
    {
        CArchive load(&file, CArchive::load);
        WORD w;
        load >> w;
        EXPECT_EQ(w, 0x0201);
        load.Close();
    }
    EXPECT_EQ(file.GetPosition(), 2u);

    // Data written through an archive that is simply destroyed still arrives.
    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        ar << CString("kept");
    }
    EXPECT_EQ(Contents(out), std::string("\x04kept", 5));
}

TEST(CArchive, DiskFileRoundTrip)
{
    testsupport::TempDir dir;
    std::string path = dir.file("data.bin");
    CStringArray words;
    words.Add("alpha");
    words.Add("");
    words.Add("gamma");
    {
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&f, CArchive::store);
        words.Serialize(ar);
        ar.Close();
        f.Close();
    }
    EXPECT_EQ(testsupport::ReadFile(path), Fixture("stringarray.bin"));
    CStringArray back;
    {
        CFile f(path.c_str(), CFile::modeRead);
        CArchive ar(&f, CArchive::load);
        back.Serialize(ar);
    }
    ASSERT_EQ(back.GetSize(), 3);
    EXPECT_EQ(back[0], "alpha");
    EXPECT_EQ(back[1], "");
    EXPECT_EQ(back[2], "gamma");
}

TEST(CArchive, ExceptionNamesTheFile)
{
    testsupport::TempDir dir;
    std::string path = dir.file("short.bin");
    testsupport::WriteFile(path, std::string("\x05" "ab", 3));
    CFile f(path.c_str(), CFile::modeRead);
    CArchive ar(&f, CArchive::load);
    CString s;
    try {
        ar >> s;
        ADD_FAILURE() << "expected an archive exception";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
        EXPECT_NE(e->m_strFileName.Find("short.bin"), -1);
        char message[256];
        EXPECT_TRUE(e->GetErrorMessage(message, sizeof message));
        EXPECT_NE(std::strstr(message, "short.bin"), nullptr);
        e->Delete();
    }
}

} // namespace

// ---- One archive, two builds -------------------------------------------------------
// The 64-bit Windows build writes this archive to the file VX_ARCHIVE_OUT names; the
// native build reads it back from VX_ARCHIVE_IN (the build scripts run the pair).
// Every integer type whose width differs between the systems is in it.

namespace {

void StoreSample(CArchive& ar)
{
    CTestHolder holder;
    holder.m_item = new CTestItem(-70000, "nested \xE9l\xE8ve");
    holder.m_after = 0x7FFFFFFF;
    CStringArray words;
    words.Add("alpha");
    words.Add(Text(300).c_str());
    ar << (BYTE)0xFE << (WORD)0xBEEF << (LONG)-2 << (DWORD)0xFFFFFFFEu << (int)-3 << (unsigned)4000000000u
       << (long)-5 << (unsigned long)4000000001ul << 1.5f << -2.25;
    ar << CString(Text(254).c_str()) << CString(Text(255).c_str()) << CString("");
    ar << &holder;
    words.Serialize(ar);
}

void CheckSample(CArchive& ar)
{
    BYTE b = 0; WORD w = 0; LONG l = 0; DWORD d = 0; int i = 0; unsigned u = 0; long sl = 0;
    unsigned long ul = 0; float f = 0; double g = 0;
    ar >> b >> w >> l >> d >> i >> u >> sl >> ul >> f >> g;
    EXPECT_EQ(b, 0xFE);
    EXPECT_EQ(w, 0xBEEF);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(d, 0xFFFFFFFEu);
    EXPECT_EQ(i, -3);
    EXPECT_EQ(u, 4000000000u);
    EXPECT_EQ(sl, -5);
    EXPECT_EQ(ul, 4000000001ul);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(g, -2.25);
    CString s254, s255, empty;
    ar >> s254 >> s255 >> empty;
    EXPECT_EQ(std::string(s254), Text(254));
    EXPECT_EQ(std::string(s255), Text(255));
    EXPECT_TRUE(empty.IsEmpty());
    CObject* read = nullptr;
    ar >> read;
    auto* holder = dynamic_cast<CTestHolder*>(read);
    ASSERT_NE(holder, nullptr);
    ASSERT_NE(holder->m_item, nullptr);
    EXPECT_EQ(holder->m_item->m_id, -70000);
    EXPECT_EQ(holder->m_item->m_name, "nested \xE9l\xE8ve");
    EXPECT_EQ(holder->m_item->m_schemaSeen, 3u);
    EXPECT_EQ(holder->m_after, 0x7FFFFFFF);
    delete read;
    CStringArray words;
    words.Serialize(ar);
    ASSERT_EQ(words.GetSize(), 2);
    EXPECT_EQ(words[0], "alpha");
    EXPECT_EQ(std::string(words[1]), Text(300));
}

} // namespace

TEST(CArchiveAcrossBuilds, SampleRoundTrip)
{
    std::string bytes = Store(StoreSample);
    EXPECT_EQ(Load(bytes, [](CArchive& ar) { CheckSample(ar); }), -1);
}

TEST(CArchiveAcrossBuilds, WritesTheSample)
{
    const char* path = std::getenv("VX_ARCHIVE_OUT");
    if (!path)
        GTEST_SKIP() << "VX_ARCHIVE_OUT names no file";
    CFile f(path, CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&f, CArchive::store);
    StoreSample(ar);
    ar.Close();
    f.Close();
}

TEST(CArchiveAcrossBuilds, ReadsTheSample)
{
    const char* path = std::getenv("VX_ARCHIVE_IN");
    if (!path)
        GTEST_SKIP() << "VX_ARCHIVE_IN names no file";
    std::string bytes = testsupport::ReadFile(path);
    ASSERT_FALSE(bytes.empty()) << path;
    EXPECT_EQ(Load(bytes, [](CArchive& ar) { CheckSample(ar); }), -1);
}
