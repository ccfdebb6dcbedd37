// The plug-in state behind GetActionsName and SetUserInfo, over a stand-in module.
#include "plugin_glue.h"
#include "answered_request.h"
#include "request_trust.h"

#include <gtest/gtest.h>

#include <climits>

#include <map>
#include <stdexcept>
#include <string>

namespace {

struct FakeServices : CPlugInServices {
    std::map<unsigned, std::string> strings;
    int loads = 0, saves = 0, dialogs = 0, logoffs = 0, dictionaryCopies = 0;
    int active = 1;
    std::string dictionary;  // empty: no resource
    CString LoadString(void* hModule, unsigned id) override
    {
        if (!hModule)
            return PLUGIN_LOAD_ERROR_TEXT;
        auto it = strings.find(id);
        return it == strings.end() ? CString() : CString(it->second.c_str());
    }
    void LoadSettings() override { ++loads; }
    void SaveSettings() override { ++saves; }
    int IsActive() override { return active; }
    void ShowDialog() override { ++dialogs; }
    bool CopyDictionary(void*, std::vector<char>& copy) override
    {
        ++dictionaryCopies;
        if (dictionary.empty())
            return false;
        copy.assign(dictionary.begin(), dictionary.end());
        return true;
    }
    void LogOff() override { ++logoffs; }
};

const PlugInActionRow kRows[] = {{"send.v", "O*n", "SendMeNewMail"}, {"show", "Op", "SendMeNewMail"}};
const unsigned kTests[] = {9, 10};
const char* const kMacros[] = {"macro one", "macro two"};

PlugInDescription Describe(int infoRows, bool dictionary = false)
{
    PlugInDescription d{};
    d.name = "Tester";
    d.rows = kRows;
    d.rowCount = 2;
    d.infoRows = infoRows;
    d.testSentenceIds = kTests;
    d.testSentenceCount = 2;
    d.macros = kMacros;
    d.macroCount = dictionary ? 2 : 0;
    d.hasDictionary = dictionary;
    d.takesSenderName = true;
    return d;
}

void* const kModule = reinterpret_cast<void*>(0x10000);

struct PlugInFixture : ::testing::Test {
    FakeServices services;
    void Fill()
    {
        services.strings = {{2, "Send e-mail upon request"}, {3, "long"}, {4, "Maker"}, {5, "(c)"},
                            {6, "Please send me new messages."}, {7, "3.0"}, {8, "2"}, {9, "first test"},
                            {10, "second test"}};
    }
};

} // namespace

TEST_F(PlugInFixture, RowsAndTheTwoRowTestsOfNegativeRows)
{
    PlugInDescription all = Describe(PLUGIN_INFO_ROWS_ALL_NEGATIVE);
    PlugInDescription one = Describe(PLUGIN_INFO_ROWS_MINUS_ONE);
    CPlugIn a(all, services), b(one, services);
    Fill();
    a.SetUserInfo(kModule, USERINFO_MODULE);
    b.SetUserInfo(kModule, USERINFO_MODULE);
    EXPECT_EQ(a.GetNumberOfActions(), 2);
    EXPECT_STREQ(a.GetActionsName(0, 0), "send.v");
    EXPECT_STREQ(a.GetActionsName(0, 1), "O*n");
    EXPECT_STREQ(a.GetActionsName(1, 2), "SendMeNewMail");
    EXPECT_EQ(a.GetActionsName(2, 0), nullptr);   // past the table
    EXPECT_EQ(a.GetActionsName(0, 3), nullptr);   // no such item
    EXPECT_EQ(a.GetActionsName(0, -1), nullptr);
    // Row -2 is an information request in one design and no row in the other.
    EXPECT_STREQ(a.GetActionsName(-2, PLUGIN_INFO_DESCRIPTION), "Send e-mail upon request");
    EXPECT_EQ(b.GetActionsName(-2, PLUGIN_INFO_DESCRIPTION), nullptr);
    EXPECT_STREQ(b.GetActionsName(-1, PLUGIN_INFO_DESCRIPTION), "Send e-mail upon request");
}

TEST_F(PlugInFixture, InformationItemsAndTheBufferOfUnservedItems)
{
    PlugInDescription d = Describe(PLUGIN_INFO_ROWS_MINUS_ONE);
    CPlugIn p(d, services);
    // Before the host gave the module handle, strings cannot be loaded.
    EXPECT_STREQ(p.GetActionsName(-1, PLUGIN_INFO_COMPANY), "Error loading KVX.");
    Fill();
    p.SetUserInfo(kModule, USERINFO_MODULE);
    struct Case { int item; const char* answer; } cases[] = {
        {PLUGIN_INFO_DESCRIPTION, "Send e-mail upon request"}, {PLUGIN_INFO_LONG_DESCRIPTION, "long"},
        {PLUGIN_INFO_COMPANY, "Maker"}, {PLUGIN_INFO_COPYRIGHT, "(c)"},
        {PLUGIN_INFO_EXAMPLE, "Please send me new messages."}, {PLUGIN_INFO_VERSION, "3.0"},
        {PLUGIN_INFO_ACTIVE, "Yes"},
        // Unserved items answer the previous answer.
        {PLUGIN_INFO_DICTIONARY, "Yes"}, {PLUGIN_INFO_MACRO, "Yes"}, {12, "Yes"}, {-5, "Yes"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(p.GetActionsName(-1, c.item), c.answer) << "item " << c.item;
    services.active = 0;
    EXPECT_STREQ(p.GetActionsName(-1, PLUGIN_INFO_ACTIVE), "No");
    services.strings.erase(5);
    EXPECT_STREQ(p.GetActionsName(-1, PLUGIN_INFO_COPYRIGHT), "");  // id the table lacks
}

TEST_F(PlugInFixture, TestModeOpensTheGateOfAnInactivePlugIn)
{
    PlugInDescription d = Describe(PLUGIN_INFO_ROWS_ALL_NEGATIVE);
    CPlugIn p(d, services);
    Fill();
    p.SetUserInfo(kModule, USERINFO_MODULE);
    services.active = 0;
    EXPECT_FALSE(p.ActionGateOpen());
    EXPECT_STREQ(p.GetActionsName(-1, PLUGIN_INFO_TEST_COUNT), "2");
    EXPECT_TRUE(p.m_bTestMode);
    EXPECT_TRUE(p.ActionGateOpen());
    EXPECT_STREQ(p.GetActionsName(-2, PLUGIN_INFO_TEST_SENTENCE), "second test");
    EXPECT_EQ(p.m_nTestIndex, 1);
    EXPECT_STREQ(p.GetActionsName(-1, PLUGIN_INFO_TEST_SENTENCE), "first test");
    EXPECT_EQ(p.m_nTestIndex, 0);
    // Past the list: an empty text, never a read beyond it.
    EXPECT_STREQ(p.GetActionsName(-3, PLUGIN_INFO_TEST_SENTENCE), "");
    EXPECT_STREQ(p.GetActionsName(-1, PLUGIN_INFO_TEST_END), "");
    EXPECT_FALSE(p.m_bTestMode);
    EXPECT_FALSE(p.ActionGateOpen());
}

TEST_F(PlugInFixture, DictionaryCopyAndMacros)
{
    PlugInDescription d = Describe(PLUGIN_INFO_ROWS_ALL_NEGATIVE, true);
    CPlugIn p(d, services);
    EXPECT_STREQ(p.GetActionsName(-1, PLUGIN_INFO_DICTIONARY), "Error loading KVX.");
    p.SetUserInfo(kModule, USERINFO_MODULE);
    services.dictionary = std::string("ZLComp\x42\0abc", 11);
    const char* copy = p.GetActionsName(-1, PLUGIN_INFO_DICTIONARY);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::string(copy, 11), services.dictionary);
    EXPECT_STREQ(p.GetActionsName(-2, PLUGIN_INFO_DICTIONARY), "11");
    EXPECT_EQ(p.GetActionsName(-1, PLUGIN_INFO_DICTIONARY), copy);  // made once
    EXPECT_EQ(services.dictionaryCopies, 1);
    EXPECT_STREQ(p.GetActionsName(-2, PLUGIN_INFO_MACRO), "macro two");
    EXPECT_STREQ(p.GetActionsName(-1, PLUGIN_INFO_MACRO), "macro one");
    EXPECT_STREQ(p.GetActionsName(-3, PLUGIN_INFO_MACRO), "macro one");  // none: previous answer
    EXPECT_STREQ(p.GetActionsName(INT_MIN, PLUGIN_INFO_MACRO), "macro one");
    EXPECT_EQ(p.GetActionsName(0, PLUGIN_INFO_MACRO), nullptr);  // "^0^": a table row, no item 11
    // Unload frees the copy; a later request copies again.
    p.SetUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
    EXPECT_FALSE(p.HasDictionaryCopy());
    services.dictionary.clear();
    EXPECT_EQ(p.GetActionsName(-1, PLUGIN_INFO_DICTIONARY), nullptr);  // no resource
    EXPECT_STREQ(p.GetActionsName(-2, PLUGIN_INFO_DICTIONARY), "0");
}

TEST_F(PlugInFixture, SetUserInfoKeepsCopiesPointersAndNumbers)
{
    PlugInDescription d = Describe(PLUGIN_INFO_ROWS_ALL_NEGATIVE);
    CPlugIn p(d, services);
    CString log, name("Vindalex"), temp("user");
    p.SetUserInfo(&temp, USERINFO_MAIL_USER);
    temp = "changed after the call";
    EXPECT_STREQ(p.m_strMailUser, "user");
    EXPECT_TRUE(p.m_bLogonNameSet);
    EXPECT_FALSE(p.m_bPasswordSet);
    p.SetUserInfo(&name, USERINFO_MY_NAME);
    EXPECT_STREQ(p.m_strMyName, "Vindalex");
    EXPECT_TRUE(p.m_bPasswordSet);  // the name sets the password flag too
    p.SetUserInfo(&log, USERINFO_LOG);
    p.Log("line\r\n");
    EXPECT_STREQ(log, "line\r\n");  // kept by pointer
    CStringList words;
    p.SetUserInfo(&words, USERINFO_WORD_LIST);
    EXPECT_EQ(p.m_pWordList, &words);
    p.SetUserInfo(nullptr, USERINFO_WORD_LIST);
    EXPECT_EQ(p.m_pWordList, nullptr);
    struct Text { int code; CString CPlugIn::*member; } texts[] = {
        {USERINFO_MAIL_PASSWORD, &CPlugIn::m_strMailPassword}, {USERINFO_REQUEST_TEXT, &CPlugIn::m_strRequestText},
        {USERINFO_SENTENCE_TEXT, &CPlugIn::m_strSentenceText}, {USERINFO_SUBJECT, &CPlugIn::m_strSubject},
        {USERINFO_ZIP_PASSWORD, &CPlugIn::m_strZipPassword}, {USERINFO_UNZIP_PASSWORD, &CPlugIn::m_strUnZipPassword},
        {USERINFO_INSTALL_DIR, &CPlugIn::m_strInstallDir}, {USERINFO_SENDER_NAME, &CPlugIn::m_strSenderName},
    };
    for (const Text& t : texts) {
        CString value;
        value.Format("value %d", t.code);
        p.SetUserInfo(&value, t.code);
        EXPECT_STREQ(p.*t.member, value) << "code " << t.code;
        p.SetUserInfo(nullptr, t.code);  // a null text is an empty one
        EXPECT_STREQ(p.*t.member, "") << "code " << t.code;
    }
    p.SetUserInfo("2", USERINFO_INTERFACE_MODE);
    p.SetUserInfo("-1", USERINFO_SHORT_REPLY_LENGTH);
    p.SetUserInfo("0", USERINFO_ZERO);
    EXPECT_EQ(p.m_nInterfaceMode, MODE_WEB);
    EXPECT_EQ(p.m_nShortReplyLength, -1);
    EXPECT_EQ(p.m_nZero, 0);
    p.SetUserInfo(nullptr, USERINFO_SHOW_DIALOG);
    EXPECT_EQ(services.dialogs, 1);
    p.SetUserInfo(&name, 17);   // ignored
    p.SetUserInfo(&name, -2);   // ignored
    // Settings are loaded on entry of every call (the services load them once).
    EXPECT_GE(services.loads, 20);
    p.SetUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
    EXPECT_EQ(services.saves, 1);
    EXPECT_EQ(services.logoffs, 1);
}

TEST_F(PlugInFixture, PlugInsThatIgnoreAttachmentsAndSenderName)
{
    PlugInDescription d = Describe(PLUGIN_INFO_ROWS_MINUS_ONE);
    d.takesSenderName = false;
    d.keepsAttachments = false;
    CPlugIn p(d, services);
    CString sender("Jane");
    int attachments = 0;
    p.SetUserInfo(&attachments, USERINFO_ATTACHMENTS);
    p.SetUserInfo(&sender, USERINFO_SENDER_NAME);
    EXPECT_EQ(p.m_pAttachments, nullptr);
    EXPECT_STREQ(p.m_strSenderName, "");
    EXPECT_FALSE(p.m_bLogonNameSet);
    d.keepsAttachments = true;
    p.SetUserInfo(&attachments, USERINFO_ATTACHMENTS);
    EXPECT_EQ(p.m_pAttachments, &attachments);
}

namespace {
struct Request {
    static int built, destroyed;
    CString* requester;
    int index;
    Request(CPlugIn&, CString* r, int i, std::vector<WordLinkage>*, int) : requester(r), index(i) { ++built; }
    ~Request() { ++destroyed; }
    int Run()
    {
        if (index == 99)
            throw std::runtime_error("action failed");
        return index + 1;
    }
};
int Request::built = 0;
int Request::destroyed = 0;
} // namespace

TEST_F(PlugInFixture, ActionExportBodyGatesBuildsRunsAndDestroys)
{
    PlugInDescription d = Describe(PLUGIN_INFO_ROWS_MINUS_ONE);
    CPlugIn p(d, services);
    CString requester("Current User");
    services.active = 0;
    EXPECT_EQ(RunPlugInRequest<Request>(p, &requester, 4, nullptr, 0), 0);
    EXPECT_EQ(Request::built, 0);
    services.active = 1;
    EXPECT_EQ(RunPlugInRequest<Request>(p, &requester, 4, nullptr, 0), 5);
    EXPECT_THROW(RunPlugInRequest<Request>(p, &requester, 99, nullptr, 0), std::runtime_error);
    EXPECT_EQ(RunPlugInRequestCatchAll<Request>(p, &requester, 99, nullptr, 0), 0);
    EXPECT_EQ(Request::built, 3);
    EXPECT_EQ(Request::destroyed, 3);  // also when the run throws
}

// The host's note names the mail being answered by its first word; whatever
// follows (subject, sender) is not part of the identifier.
TEST(AnsweredRequest, IdentifierIsTheNotesFirstWord)
{
    struct Case {
        const char* note;
        const char* id;
    };
    const Case cases[] = {
        {"1700000000.M1P1.host:2,S \"Vindi, send\" from a@example.org", "1700000000.M1P1.host:2,S"},
        {"  1700.M2P2.x\r\n", "1700.M2P2.x"},
        {"1700.M3P3.x", "1700.M3P3.x"},
        {"", ""},
        {" \r\n", ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ((const char*)RequestIDFromNote(c.note), c.id) << c.note;
}

// A mail's sender may have programs run or files sent only from a non-empty
// accepted list that holds the address itself.
TEST(RequestTrust, OnlyAnAddressOnANonEmptyList)
{
    struct Case {
        std::vector<CString> list;
        const char* address;
        bool accepted;
    };
    const Case cases[] = {
        {{}, "boss@example.com", false},
        {{"boss@example.com"}, "boss@example.com", true},
        {{"a@example.com", "boss@example.com"}, "boss@example.com", true},
        {{"boss@example.com"}, "BOSS@example.com", false},
        {{"boss@example.com"}, "stranger@example.com", false},
        {{"boss@example.com"}, "", false},
        {{""}, "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsOnAcceptedList(c.list, c.address), c.accepted) << c.address << " among " << c.list.size();
}

// A mail's requester with the accepted list empty: only the owner's own
// address, however the mail writes it; a non-empty list decides alone.
TEST(RequestTrust, EmptyListLeavesItToTheOwner)
{
    struct Case {
        std::vector<CString> list;
        const char* owner;
        const char* requester;
        bool trusted;
    };
    const Case cases[] = {
        {{}, "owner@example.com", "stranger@example.com", false},
        {{}, "owner@example.com", "owner@example.com", true},
        {{}, "owner@example.com", "Owner@EXAMPLE.com", true},
        {{}, "Me <owner@example.com>", "SMTP:owner@example.com", true},
        {{}, "owner@example.com", "The Owner <owner@example.com>", true},
        {{}, "owner@example.com", "owner@example.com.evil", false},
        {{}, "owner@example.com", "", false},
        {{}, "", "", false},
        {{}, "", "stranger@example.com", false},
        {{"boss@example.com"}, "owner@example.com", "boss@example.com", true},
        {{"boss@example.com"}, "owner@example.com", "stranger@example.com", false},
        {{"boss@example.com"}, "owner@example.com", "owner@example.com", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsTrustedRequester(c.list, c.owner, c.requester), c.trusted)
            << c.requester << " (owner " << c.owner << ", " << c.list.size() << " listed)";
}
