// The address lookup's answer from a real export file (written by Python's
// csv module) and a second book, and the request reading it answers.
#include "lookup_answer.h"
#include "lookup_reading.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CString BookPath()
{
#ifdef _WIN32
    return CString("Z:") + VX_LOOKUP_BOOK;
#else
    return CString(VX_LOOKUP_BOOK);
#endif
}

LookupReading Reading(const char* name, void (*set)(LookupReading&))
{
    LookupReading r;
    r.m_strName = name;
    set(r);
    return r;
}

std::string Text(const LookupReading& r, const std::vector<AddressBook*>& books, bool* found = nullptr)
{
    CString text;
    bool any = BuildLookupText(r, books, text);
    if (found)
        *found = any;
    std::string s = (const char*)text;
    for (size_t at = s.find("\r\n"); at != std::string::npos; at = s.find("\r\n", at))
        s.replace(at, 2, "\n");
    return s;
}

TEST(LookupAnswer, EachKindShowsItsFieldForEveryMatch)
{
    CDF_OE_AddressBook book;
    CString path = BookPath();
    ASSERT_TRUE(book.Load(path)) << (const char*)book.GetErrorText();
    std::vector<AddressBook*> books = {&book};
    struct Case {
        const char* name;
        void (*set)(LookupReading&);
        const char* text;
    } cases[] = {
        {"Fox", [](LookupReading& r) { r.m_bSingleField = r.m_bPager = true; },
         "Pager number entries matching \"Fox\":\nFox Mulder - 555-0123"},
        // "office phone" is the business telephone.
        {"fox mulder", [](LookupReading& r) { r.m_bSingleField = r.m_bBusiness = true; },
         "Business number entries matching \"fox mulder\":\nFox Mulder - 555-0120"},
        // The plain phone number is the export file's home phone (its copy).
        {"Skinner", [](LookupReading& r) { r.m_bSingleField = true; },
         "Phone number entries matching \"Skinner\":\nWalter Skinner -  "},
        {"Fox", [](LookupReading& r) { r.m_bSingleField = r.m_bEmail = true; },
         "Email address entries matching \"Fox\":\nFox Mulder - fox@fbi.example"},
        // "Dana" begins two names' words: both entries, apart.
        {"Dana", [](LookupReading& r) { r.m_bSingleField = r.m_bMobile = true; },
         "Mobile number entries matching \"Dana\":\nDana Scully - 555-0112\n-------------------\nDanaher Quinn -  "},
        {"Scully", [](LookupReading& r) { r.m_bAddress = true; },
         "Phone number entries matching \"Scully\":\nDana Scully, Agent\nX-Files\nFBI\n935 Pennsylvania Ave\n"
         "Washington, DC\nUSA\n20535\n"},
        {"Scully", [](LookupReading& r) { r.m_bSummary = true; },
         "Phone number entries matching \"Scully\":\nDana Scully, Agent\nX-Files\nFBI\n935 Pennsylvania Ave\n"
         "Washington, DC\nUSA\n20535\n\nEmail: dana@fbi.example Bus: 555-0110 Fax: 555-0114\n"
         "Mobile: 555-0112 Pager: 555-0113 Home: 555-0111"},
    };
    for (const Case& c : cases) {
        bool found = false;
        EXPECT_EQ(Text(Reading(c.name, c.set), books, &found), c.text) << c.name;
        EXPECT_TRUE(found) << c.name;
    }
}

TEST(LookupAnswer, BooksThatDidNotLoadAndUnknownNames)
{
    CDF_OE_AddressBook book;
    CString path = BookPath();
    ASSERT_TRUE(book.Load(path));
    AddressBook other;
    AddressEntry walter;
    walter.m_Fields[AddressEntry::NAME] = "Walter Bishop";
    walter.m_Fields[AddressEntry::PAGER] = "555-0199";
    other.Add(walter);
    auto pager = [](LookupReading& r) { r.m_bSingleField = r.m_bPager = true; };
    // Both books, a book that did not load left out.
    EXPECT_EQ(Text(Reading("Walter", pager), {nullptr, &other, &book}),
              "Pager number entries matching \"Walter\":\nWalter Bishop - 555-0199\n-------------------\n"
              "Walter Skinner -  ");

    bool found = true;
    Text(Reading("Krycek", pager), {&other, &book}, &found);
    EXPECT_FALSE(found);
    // No name would list every entry: never.
    Text(Reading("", pager), {&other, &book}, &found);
    EXPECT_FALSE(found);
    Text(Reading("Fox", pager), {nullptr, nullptr}, &found);
    EXPECT_FALSE(found);

    std::string text = (const char*)NotFoundText("Krycek", "the log line.\r\n");
    EXPECT_EQ(text, "An entry for that name could not be found in the address book. Did you enclose the name in \" \" "
                    "?  (Krycek)\r\n\r\nthe log line.\r\n");
}

WordLinkage L(const char* left, const char* label, const char* right, int l, int r)
{
    return WordLinkage(left, label, right, l, r);
}

TEST(LookupReading, KindNameAndRecipient)
{
    struct Case {
        const char* what;
        std::vector<WordLinkage> links;
        bool handled;
        int code;
        const char* name;
        const char* recipient;
    } cases[] = {
        {"home phone number for a quoted name",
         {L("/////", "Wi", "send.v", 0, 2), L("send.v", "Op", "phone.n", 2, 5), L("home.n", "A", "phone.n", 4, 5),
          L("phone.n", "Mp", "for", 5, 7), L("for", "Js", "\"Dana Scully\"", 7, 8)},
         true, 17, "Dana Scully", ""},
        {"a possessive name's pager, to a person",
         {L("/////", "Ws", "what", 0, 1), L("what", "Op", "'s", 1, 4), L("\"Fox\"", "YS", "'s", 3, 4),
          L("what", "Op", "pager.n", 1, 5), L("send.v", "MV", "to", 1, 7), L("to", "Ox", "(Walter).n", 7, 8)},
         true, 129, "Fox", "Walter"},
        {"email address",
         {L("what", "O*n", "address.n", 1, 5), L("email.n", "ID", "address.n", 4, 5), L("address.n", "Mp", "for", 5, 6),
          L("for", "Js", "(Fox)", 6, 7)},
         true, 5, "Fox", ""},
        // Whose address, after "of": the grammar takes a quoted name there as a
        // name or as a thing.
        {"address of a quoted company",
         {L("/////", "Wq", "what", 0, 1), L("what", "Op", "address.n", 1, 4), L("address.n", "M", "of", 4, 5),
          L("of", "FOL", "\"Acme Corp\"", 5, 6)},
         true, 3, "Acme Corp", ""},
        {"fax number of a bracketed company",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "Op", "fax.n", 1, 3), L("fax.n", "NM", "number.n", 3, 4),
          L("fax.n", "M", "of", 3, 5), L("of", "Js", "(Globex)", 5, 6)},
         true, 65, "Globex", ""},
        // An "of" that hangs from no kind of information names nobody.
        {"of after another word",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "Op", "phone.n", 1, 3), L("copy.n", "M", "of", 5, 6),
          L("of", "Js", "\"Fox\"", 6, 7)},
         false, 0, "", ""},
        // No name: the whole book would go out. Not this plug-in's.
        {"no name",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "Op", "phone.n", 1, 3), L("send.v", "MV", "to", 1, 4),
          L("to", "Ox", "me", 4, 5)},
         false, 0, "", ""},
        {"no kind of information",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "Op", "messages.n", 1, 3), L("messages.n", "Mp", "for", 3, 4),
          L("for", "Js", "(Fox)", 4, 5)},
         false, 0, "", ""},
    };
    for (const Case& c : cases) {
        LookupReading r;
        bool handled = ReadLookupRequest(&c.links, r);
        EXPECT_EQ(handled, c.handled) << c.what;
        if (!handled)
            continue;
        EXPECT_EQ(r.Code(), c.code) << c.what;
        EXPECT_STREQ(r.m_strName, c.name) << c.what;
        EXPECT_STREQ(r.m_strRecipient, c.recipient) << c.what;
    }
}

} // namespace
