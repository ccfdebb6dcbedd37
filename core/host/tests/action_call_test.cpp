// One try of one action row: label and word tests, the series of SetUserInfo
// codes, the path without a parse and the catch-all, over stand-in exports.
#include "plugin_table.h"

#include "assistant_settings.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Recorder {
    std::vector<int> codes;
    std::vector<std::string> values;  // texts of the CString codes, "" otherwise
    std::vector<const void*> pointers;
    struct Call {
        std::string requester;
        int index;
        int fifo;
    };
    std::vector<Call> calls;
    int result = 1;
    int throwAtIndex = -2;
};
Recorder* g_rec = nullptr;

void RecordInfo(const void* value, int code)
{
    g_rec->codes.push_back(code);
    g_rec->pointers.push_back(value);
    switch (code) {
    case 0: case 1: case 2: case 6: case 7: case 8: case 9: case 10: case 11: case 13:
        g_rec->values.push_back(value ? std::string(*static_cast<const CString*>(value)) : "(null)");
        break;
    case 14: case 15: case 16:
        g_rec->values.push_back(static_cast<const char*>(value));
        break;
    default:
        g_rec->values.push_back("");
    }
}

int RecordAction(CString* requester, int index, std::vector<WordLinkage>*, int fifo)
{
    g_rec->calls.push_back({std::string(*requester), index, fifo});
    if (index == g_rec->throwAtIndex)
        throw std::runtime_error("action failed");
    return g_rec->result;
}

struct ActionCallTest : ::testing::Test {
    Recorder rec;
    std::vector<WordLinkage> links;
    CStringList words;
    void SetUp() override
    {
        g_rec = &rec;
        g_strLog.Empty();
        g_Settings.SetUNM("4A 4B ");
        g_Settings.SetUPM("50 57 ");
        g_Settings.SetMyName("Vindalex");
        g_Settings.SetZipPassword("5A ");
        g_Settings.SetUnZipPassword("55 ");
        g_Settings.SetInstDir("C:\\Vindalex\\");
        g_Settings.SetCheckFIFO(1);
    }
    void TearDown() override { g_rec = nullptr; }
    void Link(const char* left, const char* label, const char* right)
    {
        int n = static_cast<int>(links.size());
        links.emplace_back(left, label, right, n, n + 1);
    }
    int Run(const char* word, const char* label, int pass, bool parsed = true, int direct = 0,
            const char* requester = "jane@example.org")
    {
        CPluginActionCall call(word, label, requester, "Jane", "message text", "sentence text", "subject", direct,
                               RecordAction, RecordInfo, nullptr, &links, parsed ? &words : nullptr, -1,
                               MODE_DESKTOP);
        return call.Run(pass);
    }
};

} // namespace

TEST(TriggerWord, IsCutBeforeItsFirstPoint)
{
    EXPECT_STREQ(CutTriggerWord("send.v"), "send");
    EXPECT_STREQ(CutTriggerWord("execute.v.x"), "execute");
    EXPECT_STREQ(CutTriggerWord("show"), "show");
    EXPECT_STREQ(CutTriggerWord("**"), "**");
}

TEST(LabelTest, CutToTheRowLabelWithAStarOnTheTentativePass)
{
    struct Case { const char* row; const char* link; int pass; bool match; } cases[] = {
        {"Op", "Opn", 0, true},  {"Op", "Opn", 1, false}, {"Op", "Ops", 0, true},
        {"*Op", "Opn", 0, false}, {"*Op", "Opn", 1, false},
        {"*Op", "Op", 1, true},  {"*Op", "Op", 0, false},
        {"*Os", "Os", 1, true},  {"*Os", "Osn", 1, false},
        {"O*n", "O*n", 0, true}, {"O*n", "On", 0, false}, {"O", "Os", 0, true},
        {"MV", "mv", 0, false},  // case-sensitive
        {"Opn", "Op", 0, false}, // a shorter link label is taken whole
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPluginActionCall::LabelMatches(c.row, c.link, c.pass), c.match)
            << c.row << " / " << c.link << " pass " << c.pass;
}

TEST(WordTest, ALeadingPartOfTheTriggerWordOrAWordBeginningWithIt)
{
    struct Case { const char* trigger; const char* word; bool match; } cases[] = {
        {"send.v", "send.v", true}, {"send.v", "Send.v", true}, {"send.v", "send.vx", true},
        {"send.v", "send", true},   {"send.v", "", true},        {"send.v", "sends.v", false},
        {"send.v", "send.n", false}, {"show", "SHOWN", true},    {"show", "sh", true},
        {"Show", "show", false},     // the trigger word is not lower-cased
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPluginActionCall::WordMatches(c.trigger, c.word), c.match) << c.trigger << " / " << c.word;
}

TEST_F(ActionCallTest, FirstLinkWhoseLabelAndWordsMatchIsOffered)
{
    Link("please", "Wi", "send.v");
    Link("send.v", "Opn", "messages.n");  // label matches, word on the left
    Link("me", "Op", "send.v");           // would match too, but the first one answered
    EXPECT_EQ(Run("send.v", "Op", 0), 1);
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0].requester, "jane@example.org");
    EXPECT_EQ(rec.calls[0].index, 1);
    EXPECT_EQ(rec.calls[0].fifo, 1);
    // The whole series of codes, in order, before the action.
    std::vector<int> series = {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(rec.codes, series);
    std::vector<std::string> values = {"4A 4B ", "50 57 ", "Vindalex", "", "", "message text", "sentence text",
                                       "subject", "5A ", "55 ", "C:\\Vindalex\\", "", "Jane", "1", "-1", "0"};
    EXPECT_EQ(rec.values, values);
    EXPECT_EQ(rec.pointers[3], &g_strLog);
    EXPECT_EQ(rec.pointers[4], &words);
    EXPECT_EQ(rec.pointers[11], nullptr);  // no attachments given
}

TEST_F(ActionCallTest, LabelMatchWithFailingWordsStillSendsTheCodes)
{
    Link("show", "Op", "files");
    EXPECT_EQ(Run("send.v", "Op", 0), 0);
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_EQ(rec.codes.size(), 16u);
    // A declined offer goes on with the next link.
    rec.codes.clear();
    Link("send", "Op", "files");
    Link("files", "Op", "send");
    rec.result = 0;
    EXPECT_EQ(Run("send.v", "Op", 0), 0);
    EXPECT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.codes.size(), 48u);
}

TEST_F(ActionCallTest, ThrownExceptionIsLoggedAndTheNextLinkTried)
{
    Link("send", "Op", "mail");
    Link("send", "Op", "files");
    rec.throwAtIndex = 0;
    EXPECT_EQ(Run("send.v", "Op", 0), 1);
    EXPECT_STREQ(g_strLog, "Plugin- Catch(...)\r\n");
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.calls[1].index, 1);
}

TEST_F(ActionCallTest, DirectCallAnswersWithTheFirstLabelMatchWhateverItsWords)
{
    Link("alpha", "Wd", "beta");
    Link("gamma", "Op", "delta");
    Link("send", "Op", "files");
    rec.result = 0;
    EXPECT_EQ(Run("send.v", "Op", 0, true, 1), 0);
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0].index, 1);
}

TEST_F(ActionCallTest, WithoutAParseOnlyTheRowsMarkedForThePassRun)
{
    struct Case { const char* label; int pass; bool runs; } cases[] = {
        {"*", 0, true}, {"*", 1, false}, {"**", 1, true}, {"**", 0, false}, {"Op", 0, false}, {"*Op", 1, false},
    };
    for (const Case& c : cases) {
        rec.calls.clear();
        rec.codes.clear();
        rec.result = 5;
        EXPECT_EQ(Run("**", c.label, c.pass, false), c.runs ? 5 : 0) << c.label << " pass " << c.pass;
        ASSERT_EQ(rec.calls.size(), c.runs ? 1u : 0u);
        if (!c.runs)
            continue;
        EXPECT_EQ(rec.calls[0].index, -1);
        ASSERT_EQ(rec.codes.size(), 16u);
        EXPECT_EQ(rec.pointers[4], nullptr);  // no word list
        EXPECT_EQ(rec.values[6], "");          // no sentence
    }
    // Not wrapped: the exception reaches the caller.
    rec.throwAtIndex = -1;
    EXPECT_THROW(Run("**", "*", 0, false), std::runtime_error);
    EXPECT_TRUE(g_strLog.IsEmpty());
}

TEST_F(ActionCallTest, EmptyLinksAndMissingEntriesAreNotHandled)
{
    EXPECT_EQ(Run("send.v", "Op", 0), 0);
    EXPECT_TRUE(rec.codes.empty());
    Link("send", "Op", "files");
    CPluginActionCall noAction("send.v", "Op", "a", "b", "c", "d", "e", 0, nullptr, RecordInfo, nullptr, &links,
                               &words, -1, MODE_EMAIL);
    EXPECT_EQ(noAction.Run(0), 0);
    CPluginActionCall noInfo("send.v", "Op", "a", "b", "c", "d", "e", 0, RecordAction, nullptr, nullptr, &links,
                             &words, -1, MODE_EMAIL);
    EXPECT_EQ(noInfo.Run(0), 1);
}
