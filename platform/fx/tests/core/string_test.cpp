// CString semantics.
#include "fx/fx.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

TEST(CString, ConstructionAndNullPointer)
{
    const char* none = nullptr;
    CString a(none);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_STREQ(a, "");
    CString b;
    b = none;
    EXPECT_EQ(b.GetLength(), 0);
    EXPECT_EQ(S(CString('x', 3)), "xxx");
    EXPECT_EQ(S(CString('x', 0)), "");
    EXPECT_EQ(S(CString("abcdef", 3)), "abc");
    EXPECT_EQ(S(CString(none, 5)), "");
    CString c = "copy";
    CString d = c;
    d.SetAt(0, 'C');
    EXPECT_EQ(S(c), "copy");  // copies never share
    EXPECT_EQ(S(d), "Copy");
    CString e = std::move(d);
    EXPECT_EQ(S(e), "Copy");
}

TEST(CString, ExtractionTable)
{
    const CString s = "Hello, World";
    struct Case {
        const char* what;
        std::function<CString()> f;
        const char* expect;
    } cases[] = {
        {"Mid(7)", [&] { return s.Mid(7); }, "World"},
        {"Mid(7,2)", [&] { return s.Mid(7, 2); }, "Wo"},
        {"Mid(-3,2)", [&] { return s.Mid(-3, 2); }, "He"},
        {"Mid(20)", [&] { return s.Mid(20); }, ""},
        {"Mid(10,50)", [&] { return s.Mid(10, 50); }, "ld"},
        {"Mid(3,-1)", [&] { return s.Mid(3, -1); }, ""},
        {"Left(5)", [&] { return s.Left(5); }, "Hello"},
        {"Left(-1)", [&] { return s.Left(-1); }, ""},
        {"Left(99)", [&] { return s.Left(99); }, "Hello, World"},
        {"Right(5)", [&] { return s.Right(5); }, "World"},
        {"Right(99)", [&] { return s.Right(99); }, "Hello, World"},
        {"Right(0)", [&] { return s.Right(0); }, ""},
        {"SpanIncluding", [&] { return s.SpanIncluding("HeloW"); }, "Hello"},
        {"SpanIncluding none", [&] { return s.SpanIncluding("xyz"); }, ""},
        {"SpanExcluding", [&] { return s.SpanExcluding(",!"); }, "Hello"},
        {"SpanExcluding all", [&] { return s.SpanExcluding("#"); }, "Hello, World"},
    };
    for (auto& c : cases)
        EXPECT_EQ(S(c.f()), c.expect) << c.what;
}

TEST(CString, SearchTable)
{
    const CString s = "abcabc";
    struct Case {
        const char* what;
        int got;
        int expect;
    } cases[] = {
        {"Find(c)", s.Find('c'), 2},
        {"Find(c,3)", s.Find('c', 3), 5},
        {"Find(c,6)", s.Find('c', 6), -1},
        {"Find(c,100)", s.Find('c', 100), -1},
        {"Find(z)", s.Find('z'), -1},
        {"Find(bc)", s.Find("bc"), 1},
        {"Find(bc,2)", s.Find("bc", 2), 4},
        {"Find(bc,5)", s.Find("bc", 5), -1},
        {"Find(bc,99)", s.Find("bc", 99), -1},
        {"Find(empty)", s.Find(""), 0},
        {"Find(abcd)", s.Find("abcd"), -1},
        {"ReverseFind(a)", s.ReverseFind('a'), 3},
        {"ReverseFind(z)", s.ReverseFind('z'), -1},
        {"FindOneOf(xc)", s.FindOneOf("xc"), 2},
        {"FindOneOf(xy)", s.FindOneOf("xy"), -1},
        {"empty Find", CString().Find('a'), -1},
        {"empty ReverseFind", CString().ReverseFind('a'), -1},
    };
    for (auto& c : cases)
        EXPECT_EQ(c.got, c.expect) << c.what;
}

TEST(CString, ChangeTable)
{
    struct Case {
        const char* what;
        const char* input;
        std::function<int(CString&)> f;
        const char* expect;
        int result;
    } cases[] = {
        {"MakeUpper", "abC1z", [](CString& s) { s.MakeUpper(); return 0; }, "ABC1Z", 0},
        {"MakeLower", "ABc1Z", [](CString& s) { s.MakeLower(); return 0; }, "abc1z", 0},
        {"MakeReverse", "abcd", [](CString& s) { s.MakeReverse(); return 0; }, "dcba", 0},
        {"MakeReverse odd", "abc", [](CString& s) { s.MakeReverse(); return 0; }, "cba", 0},
        {"TrimLeft", " \t\r\nab c ", [](CString& s) { s.TrimLeft(); return 0; }, "ab c ", 0},
        {"TrimRight", " ab c \t\r\n", [](CString& s) { s.TrimRight(); return 0; }, " ab c", 0},
        {"TrimRight all", "   ", [](CString& s) { s.TrimRight(); return 0; }, "", 0},
        {"TrimLeft all", "   ", [](CString& s) { s.TrimLeft(); return 0; }, "", 0},
        {"TrimLeft ch", "xxaxx", [](CString& s) { s.TrimLeft('x'); return 0; }, "axx", 0},
        {"TrimRight ch", "xxaxx", [](CString& s) { s.TrimRight('x'); return 0; }, "xxa", 0},
        {"TrimLeft set", "<>a<>", [](CString& s) { s.TrimLeft("<>"); return 0; }, "a<>", 0},
        {"TrimRight set", "<>a<>", [](CString& s) { s.TrimRight("><"); return 0; }, "<>a", 0},
        {"Replace ch", "a.b.c", [](CString& s) { return s.Replace('.', '/'); }, "a/b/c", 2},
        {"Replace str grow", "a.b.c", [](CString& s) { return s.Replace(".", "::"); }, "a::b::c", 2},
        {"Replace str shrink", "a::b::c", [](CString& s) { return s.Replace("::", ""); }, "abc", 2},
        {"Replace none", "abc", [](CString& s) { return s.Replace("x", "y"); }, "abc", 0},
        {"Replace empty old", "abc", [](CString& s) { return s.Replace("", "y"); }, "abc", 0},
        {"Replace overlapping", "aaaa", [](CString& s) { return s.Replace("aa", "b"); }, "bb", 2},
        {"Replace with null", "a-b", [](CString& s) { return s.Replace("-", nullptr); }, "ab", 1},
        {"Remove", "a b  c", [](CString& s) { return s.Remove(' '); }, "abc", 3},
        {"Insert ch", "ac", [](CString& s) { return s.Insert(1, 'b'); }, "abc", 3},
        {"Insert str", "ad", [](CString& s) { return s.Insert(1, "bc"); }, "abcd", 4},
        {"Insert past end", "ab", [](CString& s) { return s.Insert(10, "c"); }, "abc", 3},
        {"Insert negative", "bc", [](CString& s) { return s.Insert(-4, "a"); }, "abc", 3},
        {"Delete", "abcdef", [](CString& s) { return s.Delete(1, 2); }, "adef", 4},
        {"Delete default", "abc", [](CString& s) { return s.Delete(0); }, "bc", 2},
        {"Delete past end", "abc", [](CString& s) { return s.Delete(2, 10); }, "ab", 2},
        {"Delete beyond", "abc", [](CString& s) { return s.Delete(5, 1); }, "abc", 3},
        {"SetAt", "abc", [](CString& s) { s.SetAt(1, 'X'); return 0; }, "aXc", 0},
        {"SetAt out of range", "abc", [](CString& s) { s.SetAt(3, 'X'); s.SetAt(-1, 'X'); return 0; }, "abc", 0},
        {"Empty", "abc", [](CString& s) { s.Empty(); return s.GetLength(); }, "", 0},
    };
    for (auto& c : cases) {
        CString s = c.input;
        int r = c.f(s);
        EXPECT_EQ(S(s), c.expect) << c.what;
        EXPECT_EQ(r, c.result) << c.what;
        EXPECT_EQ(s.GetLength(), static_cast<int>(std::strlen(c.expect))) << c.what;
    }
}

TEST(CString, ComparisonsAndConcatenation)
{
    CString a = "apple", b = "Banana";
    EXPECT_TRUE(a == "apple");
    EXPECT_TRUE("apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a != "Apple");
    EXPECT_TRUE(b < a);  // byte order: 'B' < 'a'
    EXPECT_TRUE(a > "Zebra");
    EXPECT_TRUE("Zebra" < a);
    EXPECT_TRUE(a <= "apple" && a >= "apple");
    EXPECT_GT(a.Compare("Apple"), 0);
    EXPECT_EQ(a.CompareNoCase("APPLE"), 0);
    EXPECT_LT(a.CompareNoCase("BANANA"), 0);
    EXPECT_GT(a.Compare(nullptr), 0);
    EXPECT_EQ(CString().Compare(nullptr), 0);
    EXPECT_EQ(CString("x").Collate("x"), 0);

    CString s = a + ", " + b + '!';
    EXPECT_EQ(S(s), "apple, Banana!");
    EXPECT_EQ(S('<' + a), "<apple");
    EXPECT_EQ(S("pre-" + a), "pre-apple");
    s += s;  // appending itself
    EXPECT_EQ(S(s), "apple, Banana!apple, Banana!");
    CString t;
    for (int i = 0; i < 1000; ++i)
        t += 'x';
    EXPECT_EQ(t.GetLength(), 1000);
    t += static_cast<const char*>(nullptr);
    EXPECT_EQ(t.GetLength(), 1000);
    CString self = "abc";
    self = static_cast<LPCTSTR>(self) + 1;  // assignment from its own buffer
    EXPECT_EQ(S(self), "bc");
}

TEST(CString, AccessOutOfRangeIsHarmless)
{
    CString s = "ab";
    EXPECT_EQ(s[0], 'a');
    EXPECT_EQ(s.GetAt(1), 'b');
    EXPECT_EQ(s.GetAt(2), '\0');
    EXPECT_EQ(s.GetAt(-1), '\0');
    EXPECT_EQ(CString().GetAt(0), '\0');
}

TEST(CString, Format)
{
    CString s;
    s.Format("%d-%05.1f-%s-%c-%x-%%", 42, 3.14159, "txt", 'q', 255);
    EXPECT_EQ(S(s), "42-003.1-txt-q-ff-%");
    std::string big(5000, 'y');
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
    EXPECT_EQ(S(s), "[" + big + "]");
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
    // Formatting with its own contents as an argument.
    s = "abc";
    s.Format("%s%s", static_cast<LPCTSTR>(s), static_cast<LPCTSTR>(s));
    EXPECT_EQ(S(s), "abcabc");
}

TEST(CString, BufferAccess)
{
    CString s;
    char* p = s.GetBuffer(10);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_EQ(S(s), "hello");
    EXPECT_EQ(s.GetLength(), 5);

    p = s.GetBuffer(3);  // keeps the contents
    EXPECT_STREQ(p, "hello");
    s.ReleaseBuffer(2);
    EXPECT_EQ(S(s), "he");

    p = s.GetBufferSetLength(4);
    p[2] = 'l';
    p[3] = 'p';
    s.ReleaseBuffer(4);
    EXPECT_EQ(S(s), "help");

    // A buffer filled without a terminator: the length stops at the room given.
    CString t;
    p = t.GetBuffer(4);
    std::memset(p, 'z', static_cast<size_t>(t.GetAllocLength()) + 1);
    t.ReleaseBuffer();
    EXPECT_EQ(t.GetLength(), t.GetAllocLength());

    CString u = "abc";
    u.GetBuffer(0);
    u.ReleaseBuffer(99);  // more than there is room for: clamped
    EXPECT_LE(u.GetLength(), u.GetAllocLength());
    u.FreeExtra();
    EXPECT_EQ(u.GetAllocLength(), u.GetLength());
}

} // namespace
