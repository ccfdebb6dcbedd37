// Stored forms of the mail lists against byte files written independently by
// fixtures/make_archive_fixtures.py.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "mapi/mapi_lists.h"
#include "test_access.h"
#include "testsupport/testsupport.h"

namespace {

std::string Fixture(const char* name)
{
    std::string bytes = testsupport::ReadFile(testsupport::SourcePath(std::string("mailsvc/mapi/tests/fixtures/") + name));
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

template <class F>
std::string Store(F write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    DWORD length = file.GetLength();
    BYTE* data = file.Detach();
    std::string bytes(reinterpret_cast<char*>(data), length);
    free(data);
    return bytes;
}

template <class F>
void Load(const std::string& bytes, F read)
{
    CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}

void FillFiles(CZLMMapiFile& list)
{
    ASSERT_EQ(0u, list.CreatePointer(3));
    list[0].SetFlags(0);
    list.SetAttachmentPosition(0xFFFFFFFF);
    list.SetPathName("C:\\Mail\\report.txt");
    list.SetFileName("report.txt");
    list[1].SetFlags(1);
    list.SetAttachmentPosition(5);
    list.SetPathName(CString('p', 300));
    list[2].SetFlags(2);
    list.SetFileName("na\xefve.bin");
}

void FillRecipients(CZLMMapiRecipient& list)
{
    ASSERT_EQ(0u, list.CreatePointer(2));
    list[0].SetRecipClass(1);
    list.SetName("Ann Example");
    list.SetAddress("ann@example.org");
    char id[4] = {1, 2, 3, 4};
    list.SetEntryID(id, 4);  // not part of the stored form
    list[1].SetRecipClass(2);
    list.SetAddress("bob@example.org");
}

// Archive failures are pointers of the class layer; the code of the one thrown, or -1.
template <class F>
int ArchiveCause(F f)
{
    try {
        f();
    } catch (CArchiveException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

} // namespace

TEST(MapiStoredForms, ListsStoreTheFixtureBytes)
{
    CZLMMapiFile files;
    FillFiles(files);
    EXPECT_EQ(Fixture("files_list.bin"), Store([&](CArchive& ar) { files.Serialize(ar); }));
    EXPECT_EQ(Fixture("files_object.bin"), Store([&](CArchive& ar) { ar << &files; }));

    CZLMMapiRecipient recips;
    FillRecipients(recips);
    EXPECT_EQ(Fixture("recipients_list.bin"), Store([&](CArchive& ar) { recips.Serialize(ar); }));
    EXPECT_EQ(Fixture("recipients_object.bin"), Store([&](CArchive& ar) { ar << &recips; }));

    CZLMMapiFile longPath;
    longPath.CreatePointer(1);
    longPath.SetPathName(CString('L', 70000));
    longPath.SetFileName("long");
    EXPECT_EQ(Fixture("files_long_path.bin"), Store([&](CArchive& ar) { longPath.Serialize(ar); }));

    CZLMMapiFile none;
    CZLMMapiRecipient noRecips;
    CZLMMapiFile noEntries;
    noEntries.CreatePointer(0);
    EXPECT_EQ(Fixture("empty_list.bin"), Store([&](CArchive& ar) { none.Serialize(ar); }));
    EXPECT_EQ(Fixture("empty_list.bin"), Store([&](CArchive& ar) { noRecips.Serialize(ar); }));
    EXPECT_EQ(Fixture("empty_list.bin"), Store([&](CArchive& ar) { noEntries.Serialize(ar); }));

    CZLMMapiMessage message;
    message.SetSubject("not stored");
    EXPECT_EQ(Fixture("message_object.bin"), Store([&](CArchive& ar) { ar << &message; }));
}

TEST(MapiStoredForms, ListsLoadTheFixtureBytes)
{
    CZLMMapiFile files = [] {
        CZLMMapiFile l;
        l.CreatePointer(1);
        l.SetPathName("replaced by the load");
        return l;
    }();
    Load(Fixture("files_list.bin"), [&](CArchive& ar) { files.Serialize(ar); });
    ASSERT_EQ(3u, files.GetSize());
    EXPECT_EQ(CString("C:\\Mail\\report.txt"), files.GetPathName()) << "loaded lists start at the first entry";
    EXPECT_EQ(0xFFFFFFFFu, files.GetAttachmentPosition());
    EXPECT_EQ(CString('p', 300), files[1].GetPathName());
    EXPECT_EQ(nullptr, ZLMMapiTestAccess::Pointer(files)[1].lpszFileName) << "an empty stored text loads as null";
    EXPECT_EQ(5u, files.GetAttachmentPosition());
    EXPECT_EQ(CString("na\xefve.bin"), files[2].GetFileName());
    EXPECT_EQ(2u, files.GetFlags());
    EXPECT_EQ(Fixture("files_list.bin"), Store([&](CArchive& ar) { files.Serialize(ar); }));

    CZLMMapiRecipient recips;
    Load(Fixture("recipients_list.bin"), [&](CArchive& ar) { recips.Serialize(ar); });
    ASSERT_EQ(2u, recips.GetSize());
    EXPECT_EQ(CString("Ann Example"), recips[0].GetName());
    EXPECT_EQ(1u, recips.GetRecipClass());
    EXPECT_EQ(0u, ZLMMapiTestAccess::Pointer(recips)[0].ulEIDSize);
    EXPECT_EQ(nullptr, ZLMMapiTestAccess::Pointer(recips)[0].lpEntryID);
    EXPECT_EQ(CString("bob@example.org"), recips[1].GetAddress());

    CZLMMapiFile longPath;
    Load(Fixture("files_long_path.bin"), [&](CArchive& ar) { longPath.Serialize(ar); });
    EXPECT_EQ(70000, longPath.GetPathName().GetLength());

    Load(Fixture("empty_list.bin"), [&](CArchive& ar) { recips.Serialize(ar); });
    EXPECT_EQ(0u, recips.GetSize());
    EXPECT_EQ(97u, recips.SetName("x"));
}

TEST(MapiStoredForms, ObjectsLoadThroughTheirClassRecords)
{
    CObject* object = nullptr;
    Load(Fixture("recipients_object.bin"), [&](CArchive& ar) { ar >> object; });
    CZLMMapiRecipient* recips = DYNAMIC_DOWNCAST(CZLMMapiRecipient, object);
    ASSERT_NE(nullptr, recips);
    EXPECT_EQ(CString("ann@example.org"), recips->GetAddress());
    delete object;

    object = nullptr;
    Load(Fixture("files_object.bin"), [&](CArchive& ar) { ar >> object; });
    ASSERT_NE(nullptr, DYNAMIC_DOWNCAST(CZLMMapiFile, object));
    EXPECT_EQ(3u, static_cast<CZLMMapiFile*>(object)->GetSize());
    delete object;

    object = nullptr;
    Load(Fixture("message_object.bin"), [&](CArchive& ar) { ar >> object; });
    CZLMMapiMessage* message = DYNAMIC_DOWNCAST(CZLMMapiMessage, object);
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(CString(""), message->GetSubject());
    delete object;
}

TEST(MapiStoredForms, DamagedStoredListsFailCleanly)
{
    // A count beyond what a list can hold is refused before anything is allocated.
    std::string tooMany("\x00\x00\x01\x00", 4);
    CZLMMapiFile files;
    EXPECT_EQ(CArchiveException::badIndex,
              ArchiveCause([&] { Load(tooMany, [&](CArchive& ar) { files.Serialize(ar); }); }));
    EXPECT_EQ(0u, files.GetSize());

    // Cut short anywhere: the archive's own failure, no overrun.
    std::string whole = Fixture("files_list.bin");
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
        SCOPED_TRACE(cut);
        CZLMMapiFile partial;
        EXPECT_EQ(CArchiveException::endOfFile,
                  ArchiveCause([&] { Load(whole.substr(0, cut), [&](CArchive& ar) { partial.Serialize(ar); }); }));
    }
    std::string recipsWhole = Fixture("recipients_list.bin");
    for (size_t cut = 1; cut < recipsWhole.size(); cut += 5) {
        CZLMMapiRecipient partial;
        EXPECT_EQ(CArchiveException::endOfFile,
                  ArchiveCause([&] { Load(recipsWhole.substr(0, cut), [&](CArchive& ar) { partial.Serialize(ar); }); }));
    }
}
