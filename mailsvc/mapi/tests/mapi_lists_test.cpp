// The attachment and recipient lists and the message: positions, limits, storage
// states and ownership of the copied texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapi/mapi_lists.h"
#include "test_access.h"

namespace {

CZLMMapiFile Files(const std::vector<std::string>& paths)
{
    CZLMMapiFile list;
    EXPECT_EQ(0u, list.CreatePointer(static_cast<WORD>(paths.size())));
    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(0u, list.SetPosition(static_cast<ULONG>(i)));
        EXPECT_EQ(0u, list.SetPathName(paths[i].c_str()));
        EXPECT_EQ(0u, list.SetFileName(("f" + paths[i]).c_str()));
        EXPECT_EQ(0u, list.SetFlags(static_cast<ULONG>(i + 1)));
        EXPECT_EQ(0u, list.SetAttachmentPosition(0xFFFFFFFF));
    }
    return list;
}

CZLMMapiRecipient Recips(const std::vector<std::string>& names)
{
    CZLMMapiRecipient list;
    EXPECT_EQ(0u, list.CreatePointer(static_cast<WORD>(names.size())));
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(0u, list.SetPosition(static_cast<ULONG>(i)));
        EXPECT_EQ(0u, list.SetName(names[i].c_str()));
        EXPECT_EQ(0u, list.SetAddress((names[i] + "@example.org").c_str()));
        EXPECT_EQ(0u, list.SetRecipClass(MAPI_TO));
    }
    return list;
}

template <class List>
std::vector<std::string> Names(List& list);

template <>
std::vector<std::string> Names(CZLMMapiFile& list)
{
    std::vector<std::string> out;
    for (ULONG i = 0; i < list.GetSize(); ++i)
        out.push_back(static_cast<LPCSTR>(list[i].GetPathName()));
    return out;
}

template <>
std::vector<std::string> Names(CZLMMapiRecipient& list)
{
    std::vector<std::string> out;
    for (ULONG i = 0; i < list.GetSize(); ++i)
        out.push_back(static_cast<LPCSTR>(list[i].GetName()));
    return out;
}

} // namespace

TEST(MapiListPositions, TableOfStatesAndPositions)
{
    // SetPosition and a setter on each storage state of both lists.
    struct Case {
        const char* what;
        int create;  // -1: never created
        ULONG position;
        ULONG expectPosition;
        ULONG expectSetter;
    };
    const Case cases[] = {
        {"no storage", -1, 0, 97, 97},
        {"storage, 0 entries", 0, 0, 97, 97},
        {"3 entries, first", 3, 0, 0, 0},
        {"3 entries, last", 3, 2, 0, 0},
        {"3 entries, at count", 3, 3, 96, 0},
        {"3 entries, far past", 3, 0xFFFFFFFF, 96, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CZLMMapiFile files;
        CZLMMapiRecipient recips;
        if (c.create >= 0) {
            EXPECT_EQ(0u, files.CreatePointer(static_cast<WORD>(c.create)));
            EXPECT_EQ(0u, recips.CreatePointer(static_cast<WORD>(c.create)));
        }
        EXPECT_EQ(c.expectPosition, files.SetPosition(c.position));
        EXPECT_EQ(c.expectPosition, recips.SetPosition(c.position));
        EXPECT_EQ(c.expectSetter, files.SetPathName("x"));
        EXPECT_EQ(c.expectSetter, files.SetFlags(1));
        EXPECT_EQ(c.expectSetter, files.SetAttachmentPosition(1));
        EXPECT_EQ(c.expectSetter, recips.SetName("x"));
        EXPECT_EQ(c.expectSetter, recips.SetRecipClass(2));
        char id[4] = {1, 2, 3, 4};
        EXPECT_EQ(c.expectSetter, recips.SetEntryID(id, 4));
        EXPECT_EQ(c.expectSetter == 0 ? 0u : 97u, ThrownCode([&] { files.GetFileName(); }));
        EXPECT_EQ(c.expectSetter == 0 ? 0u : 97u, ThrownCode([&] { recips.GetAddress(); }));
    }
}

TEST(MapiListPositions, CreatePointerCounts)
{
    CZLMMapiFile files;
    EXPECT_EQ(0u, files.CreatePointer(0));
    EXPECT_EQ(0u, files.GetSize());
    EXPECT_EQ(98u, files.CreatePointer(3)) << "an empty attachment array is storage";

    CZLMMapiRecipient recips;
    EXPECT_EQ(0u, recips.CreatePointer(0));
    EXPECT_EQ(97u, recips.SetRecipClass(1)) << "a recipient list gets no storage for 0 entries";
    EXPECT_EQ(0u, recips.CreatePointer(2));
    EXPECT_EQ(98u, recips.CreatePointer(5));
    EXPECT_EQ(2u, recips.GetSize());

    CZLMMapiFile big;
    EXPECT_EQ(0u, big.CreatePointer(0xFFFF));
    EXPECT_EQ(0xFFFFu, big.GetSize());
    EXPECT_EQ(0u, big.SetPosition(0xFFFE));
    EXPECT_EQ(96u, big.SetPosition(0xFFFF));
}

TEST(MapiListFields, NeverSetAndEmptyTextsReadEmpty)
{
    CZLMMapiFile files;
    ASSERT_EQ(0u, files.CreatePointer(3));
    EXPECT_EQ(0u, files.SetPosition(2));
    EXPECT_EQ(CString(""), files.GetPathName());
    EXPECT_EQ(0u, files.SetPathName("C:\\a.txt"));
    EXPECT_EQ(CString("C:\\a.txt"), files.GetPathName());
    EXPECT_EQ(0u, files.SetPathName(""));
    EXPECT_EQ(nullptr, ZLMMapiTestAccess::Pointer(files)[2].lpszPathName) << "an empty text is stored as null";
    EXPECT_EQ(CString(""), files.GetPathName());

    CZLMMapiRecipient recips;
    ASSERT_EQ(0u, recips.CreatePointer(1));
    char id[3] = {7, 8, 9};
    EXPECT_EQ(0u, recips.SetEntryID(id, 3));
    MapiRecipDesc& entry = ZLMMapiTestAccess::Pointer(recips)[0];
    ASSERT_NE(nullptr, entry.lpEntryID);
    EXPECT_NE(static_cast<void*>(id), entry.lpEntryID) << "the identifier is copied";
    EXPECT_EQ(3u, entry.ulEIDSize);
    EXPECT_EQ(0u, recips.SetEntryID(id, 0));
    EXPECT_EQ(nullptr, entry.lpEntryID);
    EXPECT_EQ(0u, recips.SetEntryID(nullptr, 5)) << "no bytes: no identifier";
    EXPECT_EQ(0u, entry.ulEIDSize);
}

TEST(MapiListOperators, AppendKeepsOrderAndCopies)
{
    CZLMMapiFile own = Files({"a", "b"});
    CZLMMapiFile other = Files({"c", "d", "e"});
    own += other;
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d", "e"}), Names(own));
    EXPECT_EQ(CString("fd"), own[3].GetFileName());
    EXPECT_EQ(2u, own[3].GetFlags());

    CZLMMapiRecipient r1 = Recips({"a", "b"});
    CZLMMapiRecipient r2 = Recips({"c", "d", "e"});
    char id[2] = {5, 6};
    r2[1].SetEntryID(id, 2);
    r1 += r2;
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d", "e"}), Names(r1));
    EXPECT_EQ(2u, ZLMMapiTestAccess::Pointer(r1)[3].ulEIDSize);

    // Appending to itself, to and from empty lists.
    r1 += r1;
    EXPECT_EQ(10u, r1.GetSize());
    EXPECT_EQ(CString("e"), r1[9].GetName());
    CZLMMapiRecipient empty;
    empty += r2;
    EXPECT_EQ((std::vector<std::string>{"c", "d", "e"}), Names(empty));
    r2 += CZLMMapiRecipient();
    EXPECT_EQ(3u, r2.GetSize());
    CZLMMapiFile noEntries;
    noEntries.CreatePointer(0);
    other += noEntries;
    EXPECT_EQ(3u, other.GetSize());
}

TEST(MapiListOperators, AppendBeyondTheLimitIsRefused)
{
    CZLMMapiFile big;
    ASSERT_EQ(0u, big.CreatePointer(0xFFFF));
    big.SetPosition(0xFFFE);
    big.SetPathName("last");
    CZLMMapiFile one = Files({"x"});
    EXPECT_EQ(96u, ThrownCode([&] { big += one; }));
    EXPECT_EQ(0xFFFFu, big.GetSize()) << "a refused append changes nothing";
    EXPECT_EQ(CString("last"), big[0xFFFE].GetPathName());

    CZLMMapiFile fits;
    ASSERT_EQ(0u, fits.CreatePointer(0xFFFE));
    EXPECT_EQ(0u, ThrownCode([&] { fits += one; }));
    EXPECT_EQ(0xFFFFu, fits.GetSize());
    EXPECT_EQ(CString("x"), fits[0xFFFE].GetPathName());
}

TEST(MapiListOperators, IndexAssignAndCopy)
{
    CZLMMapiRecipient r = Recips({"a", "b", "c"});
    EXPECT_EQ(CString("b@example.org"), r[1].GetAddress());
    EXPECT_EQ(96u, ThrownCode([&] { r[3]; }));
    EXPECT_EQ(CString("b"), r.GetName()) << "a failed index keeps the position";
    EXPECT_EQ(97u, ThrownCode([&] { CZLMMapiRecipient()[0]; }));

    CZLMMapiRecipient copy(r);
    r[0].SetName("changed");
    EXPECT_EQ(CString("a"), copy[0].GetName()) << "copies own their texts";
    CZLMMapiRecipient& alias = copy;
    copy = alias;
    EXPECT_EQ(3u, copy.GetSize());
    copy = CZLMMapiRecipient();
    EXPECT_EQ(0u, copy.GetSize());
    EXPECT_EQ(97u, copy.SetName("x"));

    MapiRecipDesc raw[2] = {};
    raw[0].lpszName = const_cast<LPSTR>("n0");
    raw[1].lpszAddress = const_cast<LPSTR>("a1");
    raw[1].ulRecipClass = MAPI_CC;
    CZLMMapiRecipient fromRaw(raw, 2);
    EXPECT_EQ(CString("a1"), fromRaw[1].GetAddress());
    EXPECT_EQ(static_cast<ULONG>(MAPI_CC), fromRaw.GetRecipClass());
    EXPECT_EQ(96u, ThrownCode([&] { CZLMMapiRecipient tooMany(raw, 0x10000); }));

    CZLMMapiFile f = Files({"p", "q"});
    CZLMMapiFile g;
    g = f;
    EXPECT_EQ((std::vector<std::string>{"p", "q"}), Names(g));
    CZLMMapiFile emptyCopy{CZLMMapiFile()};
    EXPECT_EQ(97u, emptyCopy.SetFlags(1));
}

TEST(MapiMessage, StorageStates)
{
    CZLMMapiMessage m;
    EXPECT_EQ(0u, m.SetSubject("Hello"));
    EXPECT_EQ(0u, m.SetNoteText("Body"));
    EXPECT_EQ(0u, m.SetConversationID(""));
    EXPECT_EQ(CString("Hello"), m.GetSubject());
    EXPECT_EQ(CString(""), m.GetMessageType());
    EXPECT_EQ(nullptr, ZLMMapiTestAccess::Pointer(m)->lpszConversationID);

    m.Flush();
    EXPECT_EQ(97u, ThrownCode([&] { m.GetSubject(); }));
    EXPECT_EQ(97u, ThrownCode([&] { m.GetNoteText(); }));
    EXPECT_EQ(97u, m.SetSubject("x"));
    EXPECT_EQ(97u, m.GetFlags());
    EXPECT_EQ(97u, m.SetFlags(1));
    CZLMMapiRecipient r = Recips({"a"});
    EXPECT_EQ(97u, m.SetRecips(r));
    EXPECT_EQ(97u, ThrownCode([&] { CZLMMapiMessage copy(m); }));
    CZLMMapiMessage target;
    EXPECT_EQ(97u, ThrownCode([&] { target = m; }));
    CTime t(2001, 5, 8, 14, 7, 0);
    CTime before = t;
    EXPECT_EQ(97u, m.GetTimeReceived(t));
    EXPECT_EQ(before, t);
}

TEST(MapiMessage, ListsAreInstalledIntoTheMapiMessage)
{
    CZLMMapiMessage m;
    CZLMMapiRecipient from = Recips({"sender"});
    CZLMMapiRecipient to = Recips({"a", "b"});
    CZLMMapiFile files = Files({"p"});
    EXPECT_EQ(0u, m.SetOriginator(from));
    EXPECT_EQ(0u, m.SetRecips(to));
    EXPECT_EQ(0u, m.SetFiles(files));
    MapiMessage* raw = ZLMMapiTestAccess::Pointer(m);
    EXPECT_EQ(ZLMMapiTestAccess::Pointer(m.GetOriginator()), raw->lpOriginator);
    EXPECT_EQ(2u, raw->nRecipCount);
    EXPECT_STREQ("b", raw->lpRecips[1].lpszName);
    EXPECT_EQ(1u, raw->nFileCount);
    EXPECT_STREQ("p", raw->lpFiles[0].lpszPathName);

    // Handing a message its own list back keeps it.
    EXPECT_EQ(0u, m.SetRecips(m.GetRecips()));
    EXPECT_EQ(0u, m.SetFiles(m.GetFiles()));
    EXPECT_EQ(0u, m.SetOriginator(m.GetOriginator()));
    EXPECT_EQ(2u, ZLMMapiTestAccess::Pointer(m)->nRecipCount);
    EXPECT_EQ(CString("b"), m.GetRecips()[1].GetName());
    EXPECT_EQ(CString("sender"), m.GetOriginator().GetName());

    // A copy has arrays of its own, installed the same way.
    CZLMMapiMessage copy(m);
    MapiMessage* c = ZLMMapiTestAccess::Pointer(copy);
    EXPECT_NE(raw->lpRecips, c->lpRecips);
    EXPECT_EQ(ZLMMapiTestAccess::Pointer(copy.GetRecips()), c->lpRecips);
    EXPECT_EQ(ZLMMapiTestAccess::Pointer(copy.GetOriginator()), c->lpOriginator);
    EXPECT_EQ(CString("sender"), copy.GetOriginator().GetName());

    // A list changed through its reference reaches MAPI as it is now, not its old array.
    m.GetRecips() += Recips({"c"});
    m.GetFiles() = CZLMMapiFile();
    raw = ZLMMapiTestAccess::Pointer(m);
    EXPECT_EQ(3u, raw->nRecipCount);
    EXPECT_EQ(ZLMMapiTestAccess::Pointer(m.GetRecips()), raw->lpRecips);
    EXPECT_EQ(0u, raw->nFileCount);
    EXPECT_EQ(nullptr, raw->lpFiles);
    CZLMMapiMessage later(m);
    EXPECT_EQ(CString("c"), later.GetRecips()[2].GetName());

    CZLMMapiRecipient none;
    EXPECT_EQ(0u, m.SetOriginator(none));
    EXPECT_EQ(nullptr, ZLMMapiTestAccess::Pointer(m)->lpOriginator);
}

TEST(MapiMessage, CopiedFromMapiWithoutOriginatorOrLists)
{
    MapiMessage raw = {};
    raw.lpszSubject = const_cast<LPSTR>("Subject");
    raw.lpszDateReceived = const_cast<LPSTR>("2001/05/08 14:07");
    raw.nRecipCount = 0;
    raw.flFlags = MAPI_UNREAD;
    CZLMMapiMessage m;
    EXPECT_EQ(98u, ZLMMapiTestAccess::CopyFromPointer(m, &raw)) << "storage must be emptied first";
    m.Flush();
    EXPECT_EQ(97u, ZLMMapiTestAccess::CopyFromPointer(m, nullptr));
    ASSERT_EQ(0u, ZLMMapiTestAccess::CopyFromPointer(m, &raw));
    EXPECT_EQ(0u, m.GetOriginator().GetSize());
    EXPECT_EQ(97u, ThrownCode([&] { m.GetOriginator().GetAddress(); }));
    EXPECT_EQ(nullptr, ZLMMapiTestAccess::Pointer(m)->lpOriginator);
    EXPECT_EQ(0u, m.GetFiles().GetSize());
    EXPECT_EQ(static_cast<ULONG>(MAPI_UNREAD), m.GetFlags());
    EXPECT_EQ(CString("Subject"), m.GetSubject());
}

TEST(MapiMessage, TimeReceivedIsReadByFixedPositionsAndChecked)
{
    struct Case {
        const char* text;  // null: no date
        ULONG expect;
    };
    const Case cases[] = {
        {"2001/05/08 14:07", 0},
        {"2001/05/08 14:07:59 extra", 0},
        {nullptr, 97},
        {"", 97},
        {"2001/05/08", 97},
        {"2001/05/08 14:0", 97},
        {"2001/13/08 14:07", 97},
        {"2001/00/08 14:07", 97},
        {"2001/02/30 14:07", 97},
        {"2001/05/08 24:07", 97},
        {"2001/05/08 14:60", 97},
        {"20x1/05/08 14:07", 97},
        {"1969/12/31 23:59", 97},
        {"-001/05/08 14:07", 97},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        MapiMessage raw = {};
        raw.lpszDateReceived = const_cast<LPSTR>(c.text);
        CZLMMapiMessage m;
        m.Flush();
        ASSERT_EQ(0u, ZLMMapiTestAccess::CopyFromPointer(m, &raw));
        CTime t(1999, 1, 1, 0, 0, 0);
        EXPECT_EQ(c.expect, m.GetTimeReceived(t));
        if (c.expect == 0)
            EXPECT_EQ(CTime(2001, 5, 8, 14, 7, 0), t);
        else
            EXPECT_EQ(CTime(1999, 1, 1, 0, 0, 0), t) << "a failed read leaves the time";
    }

    CZLMMapiMessage m;
    EXPECT_EQ(0u, ZLMMapiTestAccess::SetTimeReceived(m, CTime(2026, 12, 10, 9, 5, 33)));
    EXPECT_STREQ("2026/12/10 09:05", ZLMMapiTestAccess::Pointer(m)->lpszDateReceived);
    CTime back;
    EXPECT_EQ(0u, m.GetTimeReceived(back));
    EXPECT_EQ(CTime(2026, 12, 10, 9, 5, 0), back);
}
