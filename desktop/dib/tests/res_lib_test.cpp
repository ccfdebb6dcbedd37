// Resources of a copy of this test program: listed, read through memory
// files, written back and made unique, by text and "#n" names.
#include "res_lib.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

bool Contains(const CStringList& list, LPCTSTR text)
{
    for (POSITION pos = list.GetHeadPosition(); pos;)
        if (list.GetNext(pos).CompareNoCase(text) == 0)
            return true;
    return false;
}

std::string Bytes(CFile& file)
{
    std::string out(file.GetLength(), '\0');
    file.SeekToBegin();
    if (!out.empty())
        file.Read(&out[0], static_cast<UINT>(out.size()));
    return out;
}

struct ProgramCopy {
    testsupport::TempDir dir;
    std::string path = dir.file("copy.exe");
    ProgramCopy()
    {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        ::CopyFileA(self, path.c_str(), FALSE);
    }
};

}  // namespace

TEST(ResLib, ListsAndReadsWithoutWritingBack)
{
    ProgramCopy copy;
    const std::string before = testsupport::ReadFile(copy.path);
    ResLib lib;
    ASSERT_TRUE(lib.Open(copy.path.c_str()));
    CStringList types, names;
    ASSERT_TRUE(lib.EnumTypes(types));
    EXPECT_TRUE(Contains(types, "ZLI_FILE"));
    ASSERT_TRUE(lib.EnumNames("ZLI_FILE", names));
    EXPECT_TRUE(Contains(names, "SPLASH"));
    std::vector<WORD> languages;
    ASSERT_TRUE(lib.EnumLanguages("ZLI_FILE", "SPLASH", languages));
    ASSERT_FALSE(languages.empty());
    const WORD lang = languages[0];

    ResFile file;
    ASSERT_TRUE(file.Open(CFile::modeRead, &lib, false, "zli_file", "splash", lang));
    EXPECT_EQ(lib.FindOpenFile("ZLI_FILE", "Splash", lang), &file);
    const std::string bytes = Bytes(file);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes, testsupport::ReadFile(testsupport::SourcePath("desktop/dib/tests/fixtures/info8.bmp")));
    file.Write("changed", 7);
    file.Close();  // read-only: never written back
    lib.Close();
    EXPECT_EQ(testsupport::ReadFile(copy.path), before);

    ResFile missing;
    ResLib own;
    ASSERT_TRUE(own.Open(nullptr));
    EXPECT_FALSE(missing.Open(CFile::modeRead, &own, false, "ZLI_FILE", "NO_SUCH", 0));
}

TEST(ResLib, WritesBackMakesUniqueNamesAndDeletes)
{
    ProgramCopy copy;
    ResLib lib;
    ASSERT_TRUE(lib.Open(copy.path.c_str()));
    {
        ResFile made;
        ASSERT_TRUE(made.Open(CFile::modeCreate | CFile::modeReadWrite, &lib, false, "#10", "#300", 0));
        made.Write("hello", 5);
        made.Close();  // stored in the file, which is loaded again
    }
    // The text form and the integer identifier name one resource.
    EXPECT_NE(lib.FindResource(MAKEINTRESOURCE(10), MAKEINTRESOURCE(300), 0), nullptr);
    ResFile again;
    ASSERT_TRUE(again.Open(CFile::modeRead, &lib, false, MAKEINTRESOURCE(10), "#300", 0));
    EXPECT_EQ(Bytes(again), "hello");
    again.Close();

    ResFile next;
    next.SetType("#10");
    next.SetName("#299");
    ASSERT_TRUE(next.MakeUniqueName(&lib));
    EXPECT_STREQ(next.GetName(), "#301");  // #300 is taken
    ResFile text;
    text.SetType("#10");
    text.SetName("");
    ASSERT_TRUE(text.MakeUniqueName(&lib));
    EXPECT_STREQ(text.GetName(), "Resource2");

    // Wine's resource writer keeps a resource that an update asks to remove,
    // so only the update itself is checked here.
    EXPECT_TRUE(lib.DeleteResource("#10", "#300", 0));
    EXPECT_FALSE(lib.IsUpdating());
}

TEST(ResLib, ANewResourceBecomesTheResourceWhenClosed)
{
    ProgramCopy copy;
    ResLib lib;
    ASSERT_TRUE(lib.Open(copy.path.c_str()));
    ResFile* made = lib.NewResource("#10", "FRESH", 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetLength(), 0u);
    EXPECT_EQ(lib.FindOpenFile("#10", "fresh", 0), made);
    // Larger than one growth step: the global block grows and keeps the bytes.
    std::string content(10000, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>('a' + i % 26);
    made->Write(content.data(), static_cast<UINT>(content.size()));
    HGLOBAL block = made->GetHandle();
    ASSERT_NE(block, nullptr);
    ASSERT_GE(::GlobalSize(block), content.size());
    EXPECT_EQ(std::memcmp(::GlobalLock(block), content.data(), content.size()), 0);
    ::GlobalUnlock(block);
    made->Close();  // stored; the library deletes the object when it closes
    ResFile again;
    ASSERT_TRUE(again.Open(CFile::modeRead, &lib, false, "#10", "FRESH", 0));
    EXPECT_EQ(Bytes(again), content);
    again.Close();
}
