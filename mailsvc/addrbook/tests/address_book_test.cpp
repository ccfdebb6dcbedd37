// Address books: the export file as Python's csv module writes it, the word-start
// search, the global address list read through an in-process directory, and the
// name-to-address translation over both.
#include "addrbook/address_book.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

CString FixturePath()
{
#ifdef _WIN32
    return CString("Z:") + VX_ADDRESS_BOOK_FIXTURE;
#else
    return VX_ADDRESS_BOOK_FIXTURE;
#endif
}

std::vector<std::string> Names(AddressBook& book)
{
    std::vector<std::string> names;
    for (AddressEntry e = book.GetNext(); !e.GetName().IsEmpty(); e = book.GetNext())
        names.push_back(static_cast<LPCTSTR>(e.GetName()));
    return names;
}

// A global address list held in memory: the hierarchy of containers and the
// list's contacts, served in row sets of the size asked for.
class CMemoryDirectory : public CGalDirectory {
public:
    bool logonOk = true;
    bool hasAddressBook = true;
    bool contentsOk = true;
    std::vector<Container> containers;
    std::vector<std::map<int, std::string>> contacts;  // field -> text
    std::vector<unsigned long> columnsAsked;
    int logons = 0, logoffs = 0, queries = 0;

    CMemoryDirectory() { containers.push_back(Gal("gal-1")); }
    static Container Gal(const std::string& id)
    {
        static const unsigned char uid[16] = {0xdc, 0xa7, 0x40, 0xc8, 0xc0, 0x42, 0x10, 0x1a,
                                              0xb4, 0xb9, 0x08, 0x00, 0x2b, 0x2f, 0xe1, 0x82};
        Container c;
        c.entryId = id;
        c.providerUid.assign(reinterpret_cast<const char*>(uid), 16);
        c.number = 0;
        c.objectType = 4;
        return c;
    }
    bool Logon(const CString&, const CString&) override
    {
        ++logons;
        return logonOk;
    }
    bool GetHierarchy(std::vector<Container>& out) override
    {
        out = containers;
        return hasAddressBook;
    }
    bool OpenContents(const std::string& id, const std::vector<unsigned long>& columns) override
    {
        columnsAsked = columns;
        m_next = 0;
        return contentsOk && id == "gal-1";
    }
    bool QueryRows(int max, std::vector<Row>& rows) override
    {
        ++queries;
        rows.clear();
        for (; m_next < contacts.size() && static_cast<int>(rows.size()) < std::min(max, 2); ++m_next) {
            Row row;
            for (size_t k = 0; k < columnsAsked.size(); ++k) {
                Column col;
                col.tag = columnsAsked[k];
                auto it = contacts[m_next].find(static_cast<int>(k));
                col.ok = it != contacts[m_next].end();
                if (col.ok)
                    col.text = it->second.c_str();
                else
                    col.tag = (col.tag & 0xFFFF0000u) | 0x000A;  // an error value, not text
                row.push_back(col);
            }
            rows.push_back(row);
        }
        return true;
    }
    void Logoff() override { ++logoffs; }

private:
    size_t m_next = 0;
};

struct DirectoryInstalled {
    explicit DirectoryInstalled(CGalDirectory* d) { GAL_O_AddressBook::SetDirectory(d); }
    ~DirectoryInstalled() { GAL_O_AddressBook::SetDirectory(nullptr); }
};

CString Translate(const char* name, CString file = FixturePath(), CString* log = nullptr)
{
    CString profile("profile"), password("secret"), own("owner@example.org");
    return AddressBook::TranslateNameToEmail(name, profile, password, own, file, log);
}

} // namespace

TEST(AddressBookFile, ReadsTheExportFileAsPythonWritesIt)
{
    CDF_OE_AddressBook book;
    CString path = FixturePath();
    ASSERT_TRUE(book.Load(path)) << (LPCTSTR)book.GetErrorText();
    ASSERT_EQ(book.GetSize(), 6);
    book.GetAll();
    AddressEntry john = book.GetNext();
    EXPECT_STREQ(john.GetName(), "John Smith");
    EXPECT_STREQ(john.GetEmail(), "john.smith@example.org");
    EXPECT_STREQ(john.m_Fields[AddressEntry::COMPANY], "Acme");
    EXPECT_STREQ(john.GetBusPhone(), "555-0100");
    EXPECT_STREQ(john.m_Fields[AddressEntry::BUS_PHONE_AGAIN], "555-0101");  // a copy of the home phone
    EXPECT_STREQ(john.GetHomeFax(), "555-0102");                            // a copy of the primary fax
    // The header's last column carries no line end, so it is mapped, and no
    // value keeps a line end.
    EXPECT_STREQ(john.m_Fields[AddressEntry::HOME_COUNTRY], "UK");
    AddressEntry maryJo = book.GetNext();
    EXPECT_STREQ(maryJo.m_Fields[AddressEntry::COMPANY], " ");  // an empty column keeps its place
    EXPECT_STREQ(maryJo.m_Fields[AddressEntry::HOME_COUNTRY], "Ireland");
    book.GetNext();
    AddressEntry nobody = book.GetNext();
    EXPECT_STREQ(nobody.GetEmail(), " ");
    EXPECT_STREQ(nobody.m_Fields[AddressEntry::COMPANY], "Blank Inc");
    // Quotes are not interpreted: a value with a comma becomes two columns.
    AddressEntry quoted = book.GetNext();
    EXPECT_STREQ(quoted.GetName(), "\"Smith");
    EXPECT_STREQ(quoted.GetEmail(), " Anna\"");
    EXPECT_STREQ(quoted.m_Fields[AddressEntry::BUS_PHONE_2], "");
    EXPECT_STREQ(quoted.m_Fields[AddressEntry::HOME_STREET], "");
}

TEST(AddressBookFile, BadFilesAndLongLines)
{
    testsupport::TempDir dir;
    struct Case {
        const char* what;
        std::string content;
        bool loads;
        std::vector<std::string> names;
    } cases[] = {
        {"empty file", "", false, {}},
        {"header only", "Name,E-mail Address\n", true, {}},
        // An over-long line keeps its first part; its rest is not read as a
        // second, shifted entry.
        {"long line", "Name,E-mail Address\n" + std::string(70000, 'x') + ",far@example.org\nAnn,ann@example.org\n",
         true, {std::string(CDF_OE_AddressBook::LINE_LIMIT, 'x'), "Ann"}},
        {"blank lines", "Name,E-mail Address\n\n   \nAnn,ann@example.org", true, {"Ann"}},
        {"column 200 and later ignored",
         [] {
             std::string h;
             for (int i = 0; i < 205; ++i)
                 h += (i == 0 ? "Name" : "X") + std::string(",");
             return h + "\nAnn\n";
         }(),
         true, {"Ann"}},
        {"name past the column limit",
         [] {
             std::string h;
             for (int i = 0; i < 200; ++i)
                 h += "X,";
             return h + "Name\nAnn\n";
         }(),
         false, {}},
    };
    for (const Case& c : cases) {
        std::string file = dir.file("book.csv");
        ASSERT_TRUE(testsupport::WriteFile(file, c.content));
        CDF_OE_AddressBook book;
        CString path(file.c_str());
        EXPECT_EQ(book.Load(path), c.loads) << c.what;
        if (!c.loads) {
            EXPECT_FALSE(book.GetErrorText().IsEmpty()) << c.what;
            continue;
        }
        book.GetAll();
        EXPECT_EQ(Names(book), c.names) << c.what;
    }
    CDF_OE_AddressBook missing;
    CString none(dir.file("none.csv").c_str());
    EXPECT_FALSE(missing.Load(none));
}

TEST(AddressBookSearch, MatchesWhereTheTextBeginsAWord)
{
    AddressBook book;
    for (const char* name : {"John Smith", "Smith, John", "Mary-Jo", "Major", "jo", "O'Jolly", "Bojo"}) {
        AddressEntry e;
        e.m_Fields[AddressEntry::NAME] = name;
        e.m_Fields[AddressEntry::BUS_CITY] = "Jonestown";
        book.Add(e);
    }
    struct Case {
        const char* text;
        int field;
        std::vector<std::string> names;
    } cases[] = {
        {"jo", AddressEntry::NAME, {"John Smith", "Smith, John", "Mary-Jo", "jo", "O'Jolly"}},
        {"JOHN S", AddressEntry::NAME, {"John Smith"}},
        {"", AddressEntry::NAME, {"John Smith", "Smith, John", "Mary-Jo", "Major", "jo", "O'Jolly", "Bojo"}},
        {"zz", AddressEntry::NAME, {}},
        {"jones", AddressEntry::BUS_CITY, {"John Smith", "Smith, John", "Mary-Jo", "Major", "jo", "O'Jolly", "Bojo"}},
    };
    for (const Case& c : cases) {
        book.FindItem(c.text, c.field);
        EXPECT_EQ(Names(book), c.names) << c.text;
        EXPECT_TRUE(book.GetNext().GetName().IsEmpty());  // stays exhausted
    }
    AddressEntry e = book.GetNext();
    EXPECT_STREQ(e.GetBusAddress(), ", \r\n\r\n\r\n\r\n, \r\n\r\n\r\n");
}

TEST(AddressBookTranslation, NamesAndAddressesThroughTheExportFile)
{
    struct Case {
        const char* name;
        const char* result;
    } cases[] = {
        {"me", "owner@example.org"},
        {"ME", "owner@example.org"},
        {" Me\r\n", "owner@example.org"},
        {"John", "john.smith@example.org"},
        {"john smith\r\n", "john.smith@example.org"},
        {"jones", "maryjo@example.org"},  // "Mary-Jo Jones"
        {"mailto:ann@example.org", "ann@example.org"},
        {"MailTo:ann@example.org", "ann@example.org"},
        {"smtp:ann@example.org", "smtp:ann@example.org"},
        {"MAILto:ann@example.org", "MAILto:ann@example.org"},  // not one of the spellings: kept as it stands
        // A blank address is no address: the next entry with one is taken.
        {"Nobody", "nobody.else@example.org"},
        {"Nobody Here", "Nobody Here"},  // found only without an address: the name comes back
        {"Zed", "Zed"},
        {"", ""},
        {"  \r\n", ""},
        {"mailto:", ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(Translate(c.name), c.result) << c.name;

    // No address book at all: not translated.
    CString log;
    EXPECT_STREQ(Translate("John", "Z:/no/such/book.csv", &log), "");
    EXPECT_NE(log.Find("no/such/book.csv"), -1);
    EXPECT_STREQ(Translate("ann@example.org", "Z:/no/such/book.csv"), "ann@example.org");

    for (const char* to : {"ann@example.org", "SMTP:ann@example.org"})
        EXPECT_TRUE(AddressBook::IsAddressToSendTo(to)) << to;
    for (const char* to : {"", "Zed", "Nobody Here", "SMTP:Zed", "ann@"})
        EXPECT_FALSE(AddressBook::IsAddressToSendTo(to)) << to;
}

TEST(AddressBookTranslation, GlobalAddressListFirstThenTheExportFile)
{
    CMemoryDirectory directory;
    directory.contacts = {
        {{AddressEntry::NAME, "John Gal"}, {AddressEntry::EMAIL, "john@gal.example.org"}},
        {{AddressEntry::NAME, "Petra Gal"}, {AddressEntry::EMAIL, "petra@gal.example.org"},
         {AddressEntry::BUS_CITY, "Oslo"}},
        {{AddressEntry::NAME, "Blank Gal"}},
    };
    DirectoryInstalled installed(&directory);

    GAL_O_AddressBook gal;
    CString profile("p"), password("");
    ASSERT_TRUE(gal.Load(profile, password));
    EXPECT_EQ(gal.GetSize(), 3);
    EXPECT_EQ(directory.columnsAsked,
              std::vector<unsigned long>(GAL_O_AddressBook::kPropertyTags, GAL_O_AddressBook::kPropertyTags + 27));
    EXPECT_EQ(directory.logons, 1);
    EXPECT_EQ(directory.logoffs, 1);
    gal.FindCity("oslo");
    EXPECT_STREQ(gal.GetNext().GetEmail(), "petra@gal.example.org");

    EXPECT_STREQ(Translate("John"), "john@gal.example.org");
    EXPECT_STREQ(Translate("petra"), "petra@gal.example.org");
    // What the list does not know (or knows without an address) comes from the file.
    EXPECT_STREQ(Translate("Mary"), "maryjo@example.org");
    EXPECT_STREQ(Translate("Blank"), "Blank");
    EXPECT_STREQ(Translate("Zed", "Z:/no/such/book.csv"), "Zed");  // the list was read

    // A list that cannot be read is no success: the file is used.
    struct Failure {
        const char* what;
        void (*breakIt)(CMemoryDirectory&);
    } failures[] = {
        {"no session", [](CMemoryDirectory& d) { d.logonOk = false; }},
        {"no address book", [](CMemoryDirectory& d) { d.hasAddressBook = false; }},
        {"two lists", [](CMemoryDirectory& d) { d.containers.push_back(CMemoryDirectory::Gal("gal-2")); }},
        {"no list", [](CMemoryDirectory& d) { d.containers[0].number = 1; }},
        {"contents unreadable", [](CMemoryDirectory& d) { d.contentsOk = false; }},
    };
    for (const Failure& f : failures) {
        CMemoryDirectory broken;
        broken.contacts = directory.contacts;
        f.breakIt(broken);
        DirectoryInstalled use(&broken);
        GAL_O_AddressBook book;
        EXPECT_FALSE(book.Load(profile, password)) << f.what;
        EXPECT_STREQ(Translate("John"), "john.smith@example.org") << f.what;
        EXPECT_STREQ(Translate("John", "Z:/no/such/book.csv"), "") << f.what;
    }
}

TEST(AddressBookTranslation, ManyRowSetsAreBounded)
{
    CMemoryDirectory directory;
    for (int i = 0; i < 300; ++i)
        directory.contacts.push_back({{AddressEntry::NAME, "Person " + std::to_string(i)}});
    DirectoryInstalled installed(&directory);
    GAL_O_AddressBook gal;
    CString profile("p"), password("");
    ASSERT_TRUE(gal.Load(profile, password));
    // The directory gives two rows a set: a hundred sets are read, no more.
    EXPECT_EQ(gal.GetSize(), 2 * GAL_O_AddressBook::MAX_ROW_SETS);
}

#ifdef _WIN32
TEST(AddressBookTranslation, TheUsersProtocolPrefix)
{
    const char* key = "Software\\Ostrel Software\\Vindalex Personal Assistant\\Korvaneant1";
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    for (const char* stored : {"SMTP", "SMTP:"}) {
        ::RegSetValueExA(h, "kVEmailProtocolPrefix", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored),
                         static_cast<DWORD>(strlen(stored) + 1));
        EXPECT_STREQ(Translate("John"), "SMTP:john.smith@example.org") << stored;
        EXPECT_STREQ(Translate("mailto:ann@example.org"), "SMTP:ann@example.org") << stored;
        EXPECT_STREQ(Translate("Zed"), "SMTP:Zed") << stored;
        EXPECT_STREQ(Translate("x400:ann@example.org"), "x400:ann@example.org") << stored;
    }
    ::RegDeleteValueA(h, "kVEmailProtocolPrefix");
    ::RegCloseKey(h);
    EXPECT_STREQ(Translate("John"), "john.smith@example.org");
}

// The books' registry access, reached as a book's subclass does.
struct RegistryProbe : AddressBook {
    using AddressBook::Connect2Registry;
    using AddressBook::CreateKey;
    using AddressBook::DisconnectFromRegistry;
    using AddressBook::GetStringValue;
    using AddressBook::m_ErrorCode;
    using AddressBook::m_KeyHandle;
    using AddressBook::m_RegistryHandle;
    using AddressBook::m_sKeyName;
    using AddressBook::m_sRegistryName;
    using AddressBook::SetStringValue;
};

TEST(AddressBookRegistry, WritesAndReadsStringValuesOfOneKey)
{
    const char* path = "Software\\Ostrel Software\\AddressBookRegistryTest";
    ASSERT_EQ(RegistryProbe::Connect2Registry(), 1);
    EXPECT_EQ(RegistryProbe::m_RegistryHandle, HKEY_CURRENT_USER);
    EXPECT_STREQ(RegistryProbe::m_sRegistryName, "HKEY_CURRENT_USER");
    ASSERT_EQ(RegistryProbe::CreateKey(path), 1);
    EXPECT_STREQ(RegistryProbe::m_sKeyName, path);

    EXPECT_EQ(RegistryProbe::SetStringValue("Greeting", "hello there"), 0);
    const std::string longText(300, 'x');
    EXPECT_EQ(RegistryProbe::SetStringValue("Long", longText.c_str()), 0);
    DWORD number = 7;
    ::RegSetValueExA(RegistryProbe::m_KeyHandle, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                     sizeof number);

    struct Case {
        const char* name;
        bool read;
        const char* value;
    } const cases[] = {
        {"Greeting", true, "hello there"},
        {"Missing", false, "default"},
        {"Long", false, "default"},    // longer than the 255 bytes read: the default
        {"Number", false, "default"},  // not a string
    };
    for (const Case& c : cases) {
        CString value = "stale";
        const int result = RegistryProbe::GetStringValue(c.name, value, "default");
        EXPECT_EQ(result == 0, c.read) << c.name << ": " << result;
        EXPECT_STREQ(value, c.value) << c.name;
    }

    CString value = "kept";
    EXPECT_EQ(RegistryProbe::GetStringValue(nullptr, value, "default"), 0);
    EXPECT_EQ(RegistryProbe::m_ErrorCode, 87);
    EXPECT_STREQ(value, "kept");
    EXPECT_EQ(RegistryProbe::SetStringValue(nullptr, "x"), 0);
    EXPECT_EQ(RegistryProbe::m_ErrorCode, 87);

    // Connecting again while connected starts afresh.
    EXPECT_EQ(RegistryProbe::Connect2Registry(), 1);
    EXPECT_EQ(RegistryProbe::DisconnectFromRegistry(), 1);
    EXPECT_EQ(RegistryProbe::m_RegistryHandle, nullptr);
    EXPECT_EQ(RegistryProbe::DisconnectFromRegistry(), 1) << "nothing held: nothing to do";
    EXPECT_EQ(::RegDeleteKeyA(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
}

TEST(AddressBookRegistry, SystemErrorTextsHaveNoLineEnds)
{
    const std::string notFound = static_cast<LPCTSTR>(GetSystemErrorText(ERROR_FILE_NOT_FOUND));
    ASSERT_FALSE(notFound.empty());
    EXPECT_NE(notFound.back(), '\n');
    EXPECT_NE(notFound.back(), '\r');
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(std::string(static_cast<LPCTSTR>(GetSystemErrorText())), notFound) << "-1 is the last error";
    EXPECT_NE(std::string(static_cast<LPCTSTR>(GetSystemErrorText(ERROR_ACCESS_DENIED))), notFound);
    EXPECT_TRUE(GetSystemErrorText(0x2FFFFFF0u).IsEmpty());
}
#endif
