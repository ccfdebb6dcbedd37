// The zip front end over our zip and unzip libraries: loading and the version
// check, round trips with and without a password, refused passwords and
// failed archives, and archives that try to write outside the extract folder.
// The archives are also checked by Python's zipfile (zip_peer.py), which runs
// the ZipPeer cases below.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "mapi/text_scramble.h"
#include "testsupport/testsupport.h"
#include "zip/zip_front.h"

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

std::string Scrambled(const char* password, int key)
{
    CString text(password);
    ZLMScrambleText(text, key);
    return std::string(static_cast<LPCSTR>(text));
}

std::string ZipPassword(const char* password) { return Scrambled(password, kScrambleKeyZipPassword); }
std::string UnzipPassword(const char* password) { return Scrambled(password, kScrambleKeyUnZipPassword); }

// The folder of the deliverables, where the libraries lie.
std::string BinFolder()
{
    CString path = FindZipLibrary("ZLMZip.dll", nullptr);
    std::string p = static_cast<LPCSTR>(path);
    return p.substr(0, p.find_last_of('\\'));
}

std::vector<ArchiveEntry> List(const std::string& archive)
{
    std::vector<ArchiveEntry> entries;
    EXPECT_EQ(1, ZLMGetZipListing(archive.c_str(), &entries, nullptr));
    return entries;
}

// ---- version resources written into copies of a library ----

void Align(std::string& b)
{
    while (b.size() % 4)
        b += '\0';
}

std::string Wide(const std::string& text)
{
    std::string w;
    for (char c : text) {
        w += c;
        w += '\0';
    }
    w += std::string(2, '\0');
    return w;
}

// One node of a version resource: length, value length, type, key, value, children.
std::string Node(const std::string& key, const std::string& value, int valueLength, int type,
                 const std::vector<std::string>& children)
{
    std::string b(6, '\0');
    b += Wide(key);
    Align(b);
    b += value;
    Align(b);
    for (const std::string& c : children) {
        b += c;
        Align(b);
    }
    auto put = [&](size_t at, size_t v) {
        b[at] = static_cast<char>(v & 0xff);
        b[at + 1] = static_cast<char>((v >> 8) & 0xff);
    };
    put(0, b.size());
    put(2, valueLength);
    put(4, type);
    return b;
}

std::string VersionResource(const char* fileVersion, const char* company)
{
    VS_FIXEDFILEINFO fixed = {};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    fixed.dwFileType = VFT_DLL;
    std::string fixedBytes(reinterpret_cast<const char*>(&fixed), sizeof fixed);
    std::vector<std::string> strings;
    auto text = [&](const char* key, const char* value) {
        strings.push_back(Node(key, Wide(value), static_cast<int>(std::string(value).size() + 1), 1, {}));
    };
    if (company)
        text("CompanyName", company);
    if (fileVersion)
        text("FileVersion", fileVersion);
    text("ProductName", "Test");
    std::string table = Node("040904E4", "", 0, 1, strings);
    std::string stringInfo = Node("StringFileInfo", "", 0, 1, {table});
    return Node("VS_VERSION_INFO", fixedBytes, sizeof fixed, 0, {stringInfo});
}

// A copy of one of our libraries with a version resource of its own.
std::string LibraryWithVersion(const TempDir& dir, const char* name, const char* fileVersion, const char* company)
{
    std::string path = dir.file(name);
    EXPECT_TRUE(CopyFileA((BinFolder() + "\\" + "ZLMZip.dll").c_str(), path.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceA(path.c_str(), TRUE);
    EXPECT_NE(nullptr, update);
    std::string resource = VersionResource(fileVersion, company);
    EXPECT_TRUE(UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &resource[0],
                                static_cast<DWORD>(resource.size())));
    EXPECT_TRUE(EndUpdateResourceA(update, FALSE));
    return path;
}

// ---- archives made by hand, for what our zip library never writes ----

void Put16(std::string& b, unsigned v)
{
    b += static_cast<char>(v & 0xff);
    b += static_cast<char>((v >> 8) & 0xff);
}

void Put32(std::string& b, unsigned v)
{
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}

struct StoredMember {
    std::string name;
    std::string data;
    unsigned dosDate;
};

unsigned Crc(const std::string& data)
{
    unsigned crc = 0xffffffffu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string StoredArchive(const std::vector<StoredMember>& members)
{
    std::string body, directory;
    for (const StoredMember& m : members) {
        unsigned offset = static_cast<unsigned>(body.size());
        std::string common;
        Put16(common, 20);
        Put16(common, 0);
        Put16(common, 0);
        Put16(common, 0x6000);  // 12:00
        Put16(common, m.dosDate);
        Put32(common, Crc(m.data));
        Put32(common, static_cast<unsigned>(m.data.size()));
        Put32(common, static_cast<unsigned>(m.data.size()));
        Put16(common, static_cast<unsigned>(m.name.size()));
        Put16(common, 0);
        Put32(body, 0x04034b50);
        body += common + m.name + m.data;
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        directory += common;
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, offset);
        directory += m.name;
    }
    std::string end;
    Put32(end, 0x06054b50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, static_cast<unsigned>(members.size()));
    Put16(end, static_cast<unsigned>(members.size()));
    Put32(end, static_cast<unsigned>(directory.size()));
    Put32(end, static_cast<unsigned>(body.size()));
    Put16(end, 0);
    return body + directory + end;
}

unsigned DosDate(int year, int month, int day) { return ((year - 1980) << 9) | (month << 5) | day; }

}  // namespace

TEST(ZipFront, LibrariesLoadOnceFromTheSearchedPathAndAreFoundInTheGivenFolderOtherwise)
{
    EXPECT_EQ(1, LoadZipDLL(0, nullptr));
    EXPECT_EQ(1, LoadZipDLL(1, nullptr));
    EXPECT_EQ(1, LoadZipDLL(0, "C:\\nowhere"));

    TempDir dir;
    ASSERT_TRUE(WriteFile(dir.file("ZLMZip.dll"), "not searched"));
    ASSERT_TRUE(WriteFile(dir.file("OnlyHere.dll"), "x"));
    CString searched = FindZipLibrary("ZLMZip.dll", dir.path().c_str());
    EXPECT_EQ(BinFolder() + "\\ZLMZip.dll", std::string(static_cast<LPCSTR>(searched))) << "the search wins";
    EXPECT_EQ(dir.file("OnlyHere.dll"), std::string(static_cast<LPCSTR>(FindZipLibrary("OnlyHere.dll", dir.path().c_str()))));
    EXPECT_TRUE(FindZipLibrary("Missing.dll", dir.path().c_str()).IsEmpty());
    EXPECT_TRUE(FindZipLibrary("OnlyHere.dll", nullptr).IsEmpty());
    CreateDirectoryA(dir.file("Folder.dll").c_str(), nullptr);
    EXPECT_TRUE(FindZipLibrary("Folder.dll", dir.path().c_str()).IsEmpty());
}

TEST(ZipFront, VersionCheckWantsTheExactVersionTextAndCompanyName)
{
    EXPECT_EQ(1, CheckZipLibraryVersion((BinFolder() + "\\ZLMZip.dll").c_str(), "2.2"));
    EXPECT_EQ(1, CheckZipLibraryVersion((BinFolder() + "\\ZLMUnzip.dll").c_str(), "5.4"));
    EXPECT_EQ(0, CheckZipLibraryVersion((BinFolder() + "\\ZLMUnzip.dll").c_str(), "2.2"));

    struct Case {
        const char* version;
        const char* company;
        int accepted;
    } cases[] = {
        {"2.2", "ZLM ZIP module by Info-ZIP", 1},
        {"2.2", "zlm zip MODULE by info-zip", 1},
        {"2.20", "ZLM ZIP module by Info-ZIP", 0},
        {"2.2 ", "ZLM ZIP module by Info-ZIP", 0},
        {"5.4", "ZLM ZIP module by Info-ZIP", 0},
        {"2.2", "ZLM ZIP module by Info-ZIP.", 0},
        {"2.2", "ZLM ZIP module by InfoZIP", 0},
        {"2.2", "Info-ZIP", 0},
        {nullptr, "ZLM ZIP module by Info-ZIP", 0},
        {"2.2", nullptr, 0},
    };
    TempDir dir;
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version ? c.version : "(none)") + " / " + (c.company ? c.company : "(none)"));
        std::string path = LibraryWithVersion(dir, ("lib" + std::to_string(i++) + ".dll").c_str(), c.version, c.company);
        EXPECT_EQ(c.accepted, CheckZipLibraryVersion(path.c_str(), "2.2"));
    }
    ASSERT_TRUE(WriteFile(dir.file("plain.dll"), "no resources"));
    EXPECT_EQ(0, CheckZipLibraryVersion(dir.file("plain.dll").c_str(), "2.2"));
    EXPECT_EQ(0, CheckZipLibraryVersion(dir.file("missing.dll").c_str(), "2.2"));
}

TEST(ZipFront, RoundTripsWithAndWithoutPassword)
{
    TempDir dir;
    std::string content;
    for (int i = 0; i < 2000; ++i)
        content += "line " + std::to_string(i % 37) + " of the report\r\n";
    ASSERT_TRUE(WriteFile(dir.file("report.txt"), content));
    ASSERT_TRUE(WriteFile(dir.file("empty.txt"), ""));

    struct Case {
        const char* password;  // plain text; null for none
        bool encrypted;
    } cases[] = {{"s3cret pass", true}, {nullptr, false}, {"", false}, {"x", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password ? c.password : "(null)");
        std::string archive = dir.file("out.zip");
        DeleteFileA(archive.c_str());
        std::string zipPassword = c.password ? ZipPassword(c.password) : "";
        ASSERT_EQ(1, ZLMZip(archive.c_str(), dir.file("report.txt").c_str(), c.password ? zipPassword.c_str() : nullptr,
                            nullptr));
        ASSERT_EQ(1, ZLMZip(archive.c_str(), dir.file("empty.txt").c_str(), c.password ? zipPassword.c_str() : nullptr,
                            nullptr));
        std::vector<ArchiveEntry> entries = List(archive);
        ASSERT_EQ(2u, entries.size());
        EXPECT_EQ(std::string("report.txt"), static_cast<LPCSTR>(entries[0].name)) << "stored without its folder";
        EXPECT_EQ(content.size(), entries[0].size);
        EXPECT_LT(entries[0].compressedSize, entries[0].size / 4);
        EXPECT_EQ(c.encrypted, entries[0].encrypted);
        EXPECT_EQ(std::string("empty.txt"), static_cast<LPCSTR>(entries[1].name)) << "added to the existing archive";
        EXPECT_EQ(0u, entries[1].size);

        std::string out = dir.file("out");
        CreateDirectoryA(out.c_str(), nullptr);
        std::string unzipPassword = c.password ? UnzipPassword(c.password) : "";
        EXPECT_EQ(1, ZLMUnzip(archive.c_str(), "*.txt", c.password ? unzipPassword.c_str() : nullptr, out.c_str(),
                              nullptr));
        EXPECT_EQ(content, ReadFile(out + "\\report.txt"));
        EXPECT_TRUE(FileExists(out + "\\empty.txt"));
        DeleteFileA((out + "\\report.txt").c_str());
        DeleteFileA((out + "\\empty.txt").c_str());
        if (c.encrypted) {
            std::string wrong = UnzipPassword("wrong");
            EXPECT_EQ(0, ZLMUnzip(archive.c_str(), "report.txt", wrong.c_str(), out.c_str(), nullptr));
            EXPECT_EQ(0, ZLMUnzip(archive.c_str(), "report.txt", nullptr, out.c_str(), nullptr));
            EXPECT_FALSE(FileExists(out + "\\report.txt")) << "nothing written with a wrong password";
        }
    }
}

TEST(ZipFront, FailedArchivesAndOverlongPasswordsReturnZeroAndLeaveTheArchiveAsItWas)
{
    TempDir dir;
    ASSERT_TRUE(WriteFile(dir.file("a.txt"), "alpha"));
    std::string archive = dir.file("a.zip");
    EXPECT_EQ(0, ZLMZip(archive.c_str(), dir.file("missing.txt").c_str(), nullptr, nullptr));
    EXPECT_FALSE(FileExists(archive));

    std::string fits(63, 'p'), tooLong(64, 'p');
    EXPECT_EQ(0, ZLMZip(archive.c_str(), dir.file("a.txt").c_str(), ZipPassword(tooLong.c_str()).c_str(), nullptr));
    EXPECT_FALSE(FileExists(archive));
    ASSERT_EQ(1, ZLMZip(archive.c_str(), dir.file("a.txt").c_str(), ZipPassword(fits.c_str()).c_str(), nullptr));
    std::string before = ReadFile(archive);
    EXPECT_EQ(0, ZLMZip(archive.c_str(), dir.file("missing.txt").c_str(), nullptr, nullptr));
    EXPECT_EQ(before, ReadFile(archive));
    EXPECT_EQ(0, ZLMUnzip(archive.c_str(), "a.txt", UnzipPassword(tooLong.c_str()).c_str(), dir.path().c_str(), nullptr));
    std::string out = dir.file("out");
    CreateDirectoryA(out.c_str(), nullptr);
    EXPECT_EQ(1, ZLMUnzip(archive.c_str(), "a.txt", UnzipPassword(fits.c_str()).c_str(), out.c_str(), nullptr));
    EXPECT_EQ("alpha", ReadFile(out + "\\a.txt"));

    // Not an archive: refused by both sides, the file untouched.
    ASSERT_TRUE(WriteFile(dir.file("bad.zip"), "PK but nothing more"));
    EXPECT_EQ(0, ZLMZip(dir.file("bad.zip").c_str(), dir.file("a.txt").c_str(), nullptr, nullptr));
    EXPECT_EQ("PK but nothing more", ReadFile(dir.file("bad.zip")));
    std::vector<ArchiveEntry> entries;
    EXPECT_EQ(0, ZLMGetZipListing(dir.file("bad.zip").c_str(), &entries, nullptr));
    EXPECT_EQ(0, ZLMGetZipListing(dir.file("none.zip").c_str(), &entries, nullptr));
    EXPECT_TRUE(entries.empty());
}

TEST(ZipFront, NullAndEmptyPasswordsLeaveNoPasswordAfterAnEarlierOne)
{
    TempDir dir;
    ASSERT_TRUE(WriteFile(dir.file("a.txt"), "alpha"));
    ASSERT_EQ(1, ZLMZip(dir.file("first.zip").c_str(), dir.file("a.txt").c_str(), ZipPassword("secret").c_str(), nullptr));
    ASSERT_EQ(1, ZLMZip(dir.file("null.zip").c_str(), dir.file("a.txt").c_str(), nullptr, nullptr));
    ASSERT_EQ(1, ZLMZip(dir.file("first2.zip").c_str(), dir.file("a.txt").c_str(), ZipPassword("secret").c_str(), nullptr));
    ASSERT_EQ(1, ZLMZip(dir.file("empty.zip").c_str(), dir.file("a.txt").c_str(), "", nullptr));
    EXPECT_TRUE(List(dir.file("first.zip"))[0].encrypted);
    EXPECT_FALSE(List(dir.file("null.zip"))[0].encrypted);
    EXPECT_FALSE(List(dir.file("empty.zip"))[0].encrypted);
}

TEST(ZipFront, ListingDatesUseTwoDigitYearsBelowFiftyAsThisCentury)
{
    TempDir dir;
    std::string archive = dir.file("dated.zip");
    ASSERT_TRUE(WriteFile(archive, StoredArchive({{"y2049.txt", "a", DosDate(2049, 3, 4)},
                                                  {"y2050.txt", "bb", DosDate(2050, 5, 6)},
                                                  {"y1999.txt", "", DosDate(1999, 12, 31)}})));
    std::vector<ArchiveEntry> entries = List(archive);
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(CTime(2049, 3, 4, 12, 0, 0), entries[0].time);
    EXPECT_EQ(CTime(1950, 5, 6, 12, 0, 0), entries[1].time) << "two-digit year 50";
    EXPECT_EQ(CTime(1999, 12, 31, 12, 0, 0), entries[2].time);
    EXPECT_EQ(2u, entries[1].size);
    EXPECT_EQ(2u, entries[1].compressedSize);
    EXPECT_FALSE(entries[1].encrypted);
}

TEST(ZipFront, HostileMemberNamesAreNotWrittenOutsideTheExtractFolder)
{
    TempDir dir;
    std::string archive = dir.file("hostile.zip");
    ASSERT_TRUE(WriteFile(archive, StoredArchive({{"../up.txt", "x", DosDate(2020, 1, 1)},
                                                  {"..\\up2.txt", "x", DosDate(2020, 1, 1)},
                                                  {"sub/../../up3.txt", "x", DosDate(2020, 1, 1)},
                                                  {"sub/.. /up4.txt", "x", DosDate(2020, 1, 1)},
                                                  {"/rooted.txt", "x", DosDate(2020, 1, 1)},
                                                  {"\\rooted2.txt", "x", DosDate(2020, 1, 1)},
                                                  {"C:/drive.txt", "x", DosDate(2020, 1, 1)},
                                                  {"Z:drive2.txt", "x", DosDate(2020, 1, 1)},
                                                  {"ok/stream.txt:hidden", "x", DosDate(2020, 1, 1)},
                                                  {"ok/good.txt", "fine", DosDate(2020, 1, 1)}})));
    std::string out = dir.file("a\\b");
    CreateDirectoryA(dir.file("a").c_str(), nullptr);
    CreateDirectoryA(out.c_str(), nullptr);
    EXPECT_EQ(0, ZLMUnzip(archive.c_str(), nullptr, nullptr, out.c_str(), nullptr)) << "refusals are failures";
    EXPECT_EQ("fine", ReadFile(out + "\\ok\\good.txt"));
    for (const char* name : {"a\\up.txt", "a\\up2.txt", "a\\up3.txt", "up3.txt", "a\\b\\up4.txt", "rooted.txt"})
        EXPECT_FALSE(FileExists(dir.file(name))) << name;
    EXPECT_FALSE(FileExists("C:\\drive.txt"));
    EXPECT_FALSE(FileExists("C:\\rooted.txt"));
    EXPECT_FALSE(FileExists(out + "\\ok\\stream.txt"));
    // Only the extract folder's own tree was made.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((out + "\\*").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    std::vector<std::string> names;
    do {
        if (std::string(data.cFileName) != "." && std::string(data.cFileName) != "..")
            names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    EXPECT_EQ(std::vector<std::string>{"ok"}, names);
}

TEST(ZipFront, DamagedMemberDataLeavesNoFileBehind)
{
    TempDir dir;
    std::string bytes = StoredArchive({{"good.txt", "0123456789", DosDate(2020, 1, 1)}});
    bytes[30 + 8 + 3] ^= 0x55;  // one byte of the data: the CRC no longer holds
    std::string archive = dir.file("damaged.zip");
    ASSERT_TRUE(WriteFile(archive, bytes));
    ASSERT_TRUE(WriteFile(dir.file("good.txt"), "kept"));
    EXPECT_EQ(0, ZLMUnzip(archive.c_str(), "good.txt", nullptr, dir.path().c_str(), nullptr));
    EXPECT_EQ("kept", ReadFile(dir.file("good.txt"))) << "the file it would have replaced survives";
}

// ---- driven by zip_peer.py, which checks and makes the archives with Python's zipfile ----

namespace {
std::string PeerFolder()
{
    const char* dir = std::getenv("VX_ZIP_PEER_DIR");
    if (!dir || !*dir)
        return "";
    std::string path = dir;
    if (path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}
}  // namespace

TEST(ZipPeer, WritesArchivesForPython)
{
    std::string dir = PeerFolder();
    if (dir.empty())
        GTEST_SKIP() << "run by zip_peer.py";
    std::string source = dir + "\\in\\*.*";
    EXPECT_EQ(1, ZLMZip((dir + "\\plain.zip").c_str(), source.c_str(), nullptr, nullptr));
    EXPECT_EQ(1, ZLMZip((dir + "\\secret.zip").c_str(), source.c_str(), ZipPassword("Open sesame 42").c_str(), nullptr));
}

TEST(ZipPeer, ListsAndExtractsArchivesOfPython)
{
    std::string dir = PeerFolder();
    if (dir.empty())
        GTEST_SKIP() << "run by zip_peer.py";
    std::string report;
    for (const char* name : {"python.zip", "hostile.zip"}) {
        std::string archive = dir + "\\" + name;
        std::vector<ArchiveEntry> entries;
        int listed = ZLMGetZipListing(archive.c_str(), &entries, nullptr);
        report += std::string("archive ") + name + " listed " + std::to_string(listed) + "\n";
        for (const ArchiveEntry& e : entries) {
            report += std::string(static_cast<LPCSTR>(e.name)) + "|" + (e.encrypted ? "E" : "-") + "|" +
                      std::to_string(e.compressedSize) + "|" + std::to_string(e.size) + "|" +
                      static_cast<LPCSTR>(e.time.Format("%Y-%m-%d %H:%M:%S")) + "\n";
        }
        std::string out = dir + "\\out-" + name;
        CreateDirectoryA(out.c_str(), nullptr);
        report += "extracted " + std::to_string(ZLMUnzip(archive.c_str(), nullptr, nullptr, out.c_str(), nullptr)) + "\n";
    }
    EXPECT_TRUE(WriteFile(dir + "\\report.txt", report));
}
