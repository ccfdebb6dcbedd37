// The version file's lines, the choice of files to update and the periodic gate.
#include "version_file.h"

#include <gtest/gtest.h>

#include <map>

using namespace webupdate;

TEST(VersionFile, LinesAtAnyLineEnd)
{
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d"}), SplitLines("a\r\nb\n\nc\r\r\nd"));
    EXPECT_TRUE(SplitLines("\r\n\r\n").empty());
}

TEST(VersionFile, Headlines)
{
    const struct {
        const char* line;
        bool ok;
        const char* version;
        const char* build;
    } cases[] = {
        {"Vindalex Version 3.1 - Build 130", true, "3.1", "130"},
        {"Version 3.0 - Build 129 ", true, "3.0", "129 "},
        {" - Build 130", false, "", ""},      // at the very start
        {"Version 3.1 Build 130", false, "", ""},
        {"Release - Build 7", true, "", "7"},  // no version text: the build still counts
    };
    for (auto c : cases) {
        std::string v, b;
        ASSERT_EQ(c.ok, ParseHeadline(c.line, v, b)) << c.line;
        if (c.ok) {
            EXPECT_EQ(c.version, v) << c.line;
            EXPECT_EQ(c.build, b) << c.line;
        }
    }
}

TEST(VersionFile, FileLines)
{
    const struct {
        const char* line;
        bool ok;
        Date date;
        const char* name;
    } cases[] = {
        {"12/09/2026 Vindalex.exe", true, {2026, 12, 9}, "Vindalex.exe"},
        {"02-29-2024-+Horolux.kVX", true, {2024, 2, 29}, "+Horolux.kVX"},
        {"02/29/2023 Horolux.kVX", false, {}, ""},  // no such day
        {"13/01/2026 Vindalex.exe", false, {}, ""},
        {"1/2/2026 Vindalex.exe", false, {}, ""},   // the date is not 10 characters
        {"12/09/2026 ", false, {}, ""},             // no name
        {"12/09/26", false, {}, ""},
        {"ab/cd/efgh Vindalex.exe", false, {}, ""},
    };
    for (auto c : cases) {
        Date d;
        std::string name;
        ASSERT_EQ(c.ok, ParseFileLine(c.line, d, name)) << c.line;
        if (c.ok) {
            EXPECT_EQ(c.date.year, d.year);
            EXPECT_EQ(c.date.month, d.month);
            EXPECT_EQ(c.date.day, d.day);
            EXPECT_EQ(c.name, name);
        }
    }
}

TEST(VersionFile, SafeNames)
{
    const struct {
        const char* name;
        bool safe;
    } cases[] = {{"Vindalex.exe", true}, {"Horolux.kVX", true},  {"..\\Windows\\x.dll", false},
                 {"sub/x.dll", false},   {"sub\\x.dll", false}, {"C:x.dll", false},
                 {"..", false},          {"a..b", false},       {"", false}, {"tab\tname", false}};
    for (auto c : cases)
        EXPECT_EQ(c.safe, IsSafeFileName(c.name)) << c.name;
}

namespace {

struct Folder {
    std::map<std::string, Date> files;
    std::map<std::string, bool> unreadable;
    LocalFileLookup Lookup()
    {
        return [this](const std::string& name, Date& d) {
            if (unreadable.count(name))
                return LocalFile::Unreadable;
            auto it = files.find(name);
            if (it == files.end())
                return LocalFile::Missing;
            d = it->second;
            return LocalFile::Present;
        };
    }
};

} // namespace

TEST(UpdateChoice, NewerMissingAndOptionalFiles)
{
    Folder folder;
    folder.files["Same.exe"] = {2026, 12, 9};
    folder.files["Older.exe"] = {2026, 12, 8};
    folder.files["Newer.exe"] = {2026, 12, 10};
    folder.files["Optional.kVX"] = {2026, 1, 1};
    folder.unreadable["Locked.dll"] = true;
    std::vector<std::string> lines = {
        "Vindalex Version 3.1 - Build 130",
        "12/09/2026 Same.exe",
        "12/09/2026 Older.exe",
        "12/09/2026 Newer.exe",
        "12/09/2026 Missing.exe",
        "12/09/2026 +OptionalMissing.kVX",
        "12/09/2026 +Optional.kVX",
        "12/09/2026 Locked.dll",
        "12/09/2026 ..\\..\\Windows\\evil.dll",
        "12/09/2026 C:evil.dll",
        "12/09/2026 Lindrow.ex_",
        "99/99/2026 Bad.exe",
        "short",
        "vndBldMSGYPlease read the notes.",
        "vndBldMSGNnot shown",
    };
    std::vector<std::string> files;
    std::string message;
    EXPECT_EQ(1, BuildUpdateMessage(files, lines, &message, folder.Lookup()));
    EXPECT_EQ((std::vector<std::string>{"Older.exe", "Missing.exe", "Optional.kVX"}), files);
    EXPECT_EQ("Please read the notes.", message);
}

TEST(UpdateChoice, OnlyMessagesOrNothingNewer)
{
    Folder folder;
    folder.files["Vindalex.exe"] = {2026, 12, 9};
    const std::vector<std::vector<std::string>> cases = {
        {"Version 3.0 - Build 129", "vndBldMSGYhello", "vndBldMSGYagain"},
        {"Version 9.9 - Build 999", "12/09/2026 Vindalex.exe"},
        {"Version 3.0 - Build 129"},
    };
    for (const auto& lines : cases) {
        std::vector<std::string> files;
        std::string message;
        EXPECT_EQ(0, BuildUpdateMessage(files, lines, &message, folder.Lookup())) << lines[0];
        EXPECT_TRUE(files.empty());
    }
}

TEST(PeriodicGate, DaysFlagAndClock)
{
    const int64_t now = 1800000000;
    const struct {
        int noUpdates;
        int64_t last;
        bool due;
    } cases[] = {
        {0, now - 14 * 86400, false}, {0, now - 15 * 86400, true}, {0, now - 15 * 86400 + 1, false},
        {0, 0, true},                 {1, 0, false},                {1, now - 100 * 86400, false},
    };
    for (auto c : cases)
        EXPECT_EQ(c.due, PeriodicCheckDue(c.noUpdates, c.last, now)) << c.last << " " << c.noUpdates;
}

TEST(SitePaths, NamesOnTheSite)
{
    EXPECT_EQ("Lindrow.ex_", WaitingName("Lindrow.exe"));
    EXPECT_EQ("/software/Vindalex/UpDate0/Vindalex.ex_", SiteFilePath(WaitingName("Vindalex.exe")));
    EXPECT_EQ("/software/Vindalex/UpDate0/CurrentVersion.txt", VersionFilePath());
    EXPECT_EQ("/software/Vindalex/UpDate0/CurrentVersion.html", ReleaseNotesPath());
}
