// Conjunctions: a line with "and", "or", a comma list or a paired conjunction is
// read as one plain sublinkage per conjunct, each a valid linkage of its own.
#include "fixture_grammar.h"
#include "parser/conjunction/and_tables.h"
#include "parser/conjunction/fat_analysis.h"
#include "parser/core/parser_error.h"
#include "parser/count/match.h"
#include "parser/prepare/pruning.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

using fixture::Dictionary;

namespace {

using Links = std::set<std::string>;

// The links of the current sublinkage as "left-label-right" (walls shown as
// "/////"), leaving out the wall-to-wall link.
Links LinksOf(const CLinkage& l)
{
    Links out;
    for (int i = 0; i < l.GetNumLinks(); ++i) {
        if (l.GetLinkLeftWord(i) < 0 || std::string(l.GetLinkLabel(i)) == "RW")
            continue;
        out.insert(std::string(l.GetWord(l.GetLinkLeftWord(i))) + "-" + l.GetLinkLabel(i) + "-" +
                   l.GetWord(l.GetLinkRightWord(i)));
    }
    return out;
}

// A plain linkage: its links do not cross, both connectors of every link meet,
// no connector of a conjunction's machinery is left, and its words hang together.
void ExpectPlainLinkage(const CLinkage& l, const std::string& what)
{
    int n = l.GetNumLinks();
    std::vector<int> parent(static_cast<size_t>(l.GetNumWords()));
    for (size_t i = 0; i < parent.size(); ++i)
        parent[i] = static_cast<int>(i);
    auto find = [&](int x) {
        while (parent[static_cast<size_t>(x)] != x)
            x = parent[static_cast<size_t>(x)] = parent[static_cast<size_t>(parent[static_cast<size_t>(x)])];
        return x;
    };
    std::set<int> words;
    for (int i = 0; i < n; ++i) {
        int a = l.GetLinkLeftWord(i), b = l.GetLinkRightWord(i);
        if (a < 0)
            continue;
        EXPECT_LT(a, b) << what;
        // The tie between paired words ("either" ... "or") spans the first
        // conjunct whatever the choice; the other links never cross.
        auto paired = [&](int k) { return !*l.GetLinkLeftConnector(k) && !*l.GetLinkRightConnector(k); };
        for (int j = 0; j < n && !paired(i); ++j) {
            int c = l.GetLinkLeftWord(j), d = l.GetLinkRightWord(j);
            if (c >= 0 && !paired(j))
                EXPECT_FALSE(a < c && c < b && b < d) << what << ": links cross";
        }
        Connector lc{}, rc{};
        lc.label = rc.label = -1;
        lc.lengthLimit = rc.lengthLimit = kUnlimitedLength;
        lc.text = l.GetLinkLeftConnector(i);
        rc.text = l.GetLinkRightConnector(i);
        if (*lc.text || *rc.text) { // the paired words' own links have no text
            EXPECT_TRUE(PruneMatch(&lc, &rc, 0, 0, nullptr)) << what << ": " << lc.text << " / " << rc.text;
            EXPECT_TRUE(IsUpper(lc.text[0]) && IsUpper(rc.text[0])) << what << ": a fat connector is left";
            words.insert(a);
            words.insert(b);
            parent[static_cast<size_t>(find(a))] = find(b);
        }
    }
    std::set<int> roots;
    for (int w : words)
        roots.insert(find(w));
    EXPECT_LE(roots.size(), 1u) << what << ": the sublinkage falls apart";
}

struct Case {
    const char* line;
    std::vector<Links> sublinkages;
};

const Case kCases[] = {
    {"send mail and files",
     {{"/////-Wi-send.v", "send.v-Osn-mail.n"}, {"/////-Wi-send.v", "send.v-Opn-files.n"}}},
    {"send me new mail and files",
     {{"/////-Wi-send.v", "send.v-Y-me", "send.v-Osn-mail.n", "new-A-mail.n"},
      {"/////-Wi-send.v", "send.v-Y-me", "send.v-Opn-files.n", "new-A-files.n"}}},
    {"send mail, files or messages",
     {{"/////-Wi-send.v", "send.v-Osn-mail.n"},
      {"/////-Wi-send.v", "send.v-Opn-files.n"},
      {"/////-Wi-send.v", "send.v-Opn-messages.n"}}},
    {"the mail and the files are new",
     {{"/////-Wd-mail.n", "the-Ds-mail.n", "mail.n-Sp-are", "are-Pa-new"},
      {"/////-Wd-files.n", "the-Dp-files.n", "files.n-Sp-are", "are-Pa-new"}}},
    {"show either the mail or the files",
     {{"/////-Wi-show.v", "show.v-Osn-mail.n", "the-Ds-mail.n", "either--or"},
      {"/////-Wi-show.v", "show.v-Opn-files.n", "the-Dp-files.n", "either--or"}}},
    {"show neither the mail nor the files",
     {{"/////-Wi-show.v", "show.v-Osn-mail.n", "the-Ds-mail.n", "neither--nor"},
      {"/////-Wi-show.v", "show.v-Opn-files.n", "the-Dp-files.n", "neither--nor"}}},
    {"show not only the mail but the files",
     {{"/////-Wi-show.v", "show.v-Osn-mail.n", "the-Ds-mail.n", "not--but", "not--only"},
      {"/////-Wi-show.v", "show.v-Opn-files.n", "the-Dp-files.n", "not--but", "not--only"}}},
    {"show both the mail and the files",
     {{"/////-Wi-show.v", "show.v-Osn-mail.n", "the-Ds-mail.n", "both--and"},
      {"/////-Wi-show.v", "show.v-Opn-files.n", "the-Dp-files.n", "both--and"}}},
    {"send the mail to john and alice",
     {{"/////-Wi-send.v", "send.v-Osn-mail.n", "the-Ds-mail.n", "mail.n-M-to", "to-Js-john"},
      {"/////-Wi-send.v", "send.v-Osn-mail.n", "the-Ds-mail.n", "mail.n-M-to", "to-Js-alice"}}},
};

TEST(Conjunctions, SublinkagesOfTheConjuncts)
{
    fixture::Options o;
    for (const Case& c : kCases) {
        CSentence s(c.line, &Dictionary());
        ASSERT_GE(s.Parse(o.p), 1) << c.line;
        EXPECT_EQ(s.nullCount, 0) << c.line;
        bool found = false;
        for (int k = 0; k < s.numLinkagesPostProcessed; ++k) {
            CLinkage l(k, &s, o.p);
            EXPECT_EQ(l.GetInfo().fat, 1) << c.line;
            EXPECT_EQ(l.GetInfo().improperFat, 0) << c.line;
            std::vector<Links> subs;
            for (int i = 0; i < l.GetNumSublinkages(); ++i) {
                ASSERT_TRUE(l.SetCurrent(i));
                subs.push_back(LinksOf(l));
            }
            if (subs == c.sublinkages) {
                found = true;
                for (int i = 0; i < l.GetNumSublinkages(); ++i) {
                    l.SetCurrent(i);
                    ExpectPlainLinkage(l, std::string(c.line) + " #" + std::to_string(i));
                    std::unique_ptr<std::vector<WordLinkage>> wl(l.GetWordLinkages());
                    EXPECT_EQ(wl->size(), static_cast<size_t>(l.GetNumLinks())) << c.line;
                }
            }
        }
        EXPECT_TRUE(found) << c.line << ": no linkage reads as the expected conjuncts";
    }
}

TEST(Conjunctions, OrAndNorTakeTheNumberOfTheNearerSubject)
{
    fixture::Options o;
    o.p->maxNullCount = 0;
    struct Number {
        const char* line;
        bool parses;
    } cases[] = {
        {"the mail and the files are new", true},  {"the mail and the files is new", false},
        {"the mail or the files is new", true},    {"the files or the mail are new", true},
        {"the mail and the report are new", true}, {"the mail and the report is new", false},
    };
    for (const Number& c : cases) {
        CSentence s(c.line, &Dictionary());
        EXPECT_EQ(s.Parse(o.p) > 0, c.parses) << c.line;
    }
}

TEST(Conjunctions, SpecialWordsTieToTheirPartner)
{
    fixture::Options o;
    o.p->maxNullCount = 0;
    // "either" without its "or", and a comma with no conjunction after it, are
    // left without a linkage; "or" without "either" still joins.
    const std::pair<const char*, bool> cases[] = {
        {"show either the mail and the files", false},
        {"show the mail or the files", true},
        {"show neither the mail or the files", false},
        {"send mail, files", false},
        {"send mail and files ,", false},
    };
    for (const auto& [line, parses] : cases) {
        CSentence s(line, &Dictionary());
        EXPECT_EQ(s.Parse(o.p) > 0, parses) << line;
    }

    // The special disjuncts themselves.
    CSentence s("show not only the mail but the files", &Dictionary());
    s.Parse(o.p);
    auto labelsOn = [&](int w, bool right) {
        std::set<std::vector<int>> out;
        for (const Disjunct* d = s.words[w].d; d; d = d->next) {
            std::vector<int> labels;
            for (const Connector* c = right ? d->right : d->left; c; c = c->next)
                labels.push_back(c->label);
            if (!labels.empty() && labels.front() < -1)
                out.insert(labels);
        }
        return out;
    };
    EXPECT_TRUE(labelsOn(2, true).count({kNotButLabel})) << "not";
    EXPECT_TRUE(labelsOn(2, true).count({kNotButLabel, kNotOnlyLabel})) << "not, with only after it";
    EXPECT_TRUE(labelsOn(3, false).count({kNotOnlyLabel})) << "only";
}

TEST(Conjunctions, LinkagesWithoutConjunctionsAreUntouched)
{
    fixture::Options o;
    CSentence s("send me new mail", &Dictionary());
    ASSERT_EQ(s.Parse(o.p), 1);
    EXPECT_EQ(s.andTables, nullptr);
    CLinkage l(0, &s, o.p);
    EXPECT_EQ(l.GetNumSublinkages(), 1);
    EXPECT_EQ(l.GetInfo().fat, 0);
}

TEST(Conjunctions, IntersectionOfSubscripts)
{
    CSentence s("send mail and files", &Dictionary());
    struct Case {
        const char* a;
        const char* b;
        const char* out;
    } cases[] = {{"sn", "pn", "^n"}, {"s", "s", "s"}, {"*n", "sn", "sn"}, {"s", "sn", "sn"}, {"", "p", "p"}};
    for (const Case& c : cases)
        EXPECT_STREQ(IntersectTexts(&s, c.a, c.b), c.out) << c.a << " " << c.b;
}

TEST(Conjunctions, CommaListsOfAnyLength)
{
    fixture::Options o;
    const char* nouns[] = {"files", "reports", "folders", "letters", "songs", "pictures"};
    for (int conjuncts = 2; conjuncts <= 14; ++conjuncts) {
        std::string line = "send mail";
        for (int i = 1; i < conjuncts - 1; ++i)
            line += std::string(", ") + nouns[i % 6];
        line += " and messages";
        CSentence s(line.c_str(), &Dictionary());
        ASSERT_GE(s.Parse(o.p), 1) << line;
        CLinkage l(0, &s, o.p);
        ASSERT_EQ(l.GetNumSublinkages(), conjuncts) << line;
        for (int i = 0; i < conjuncts; ++i) {
            l.SetCurrent(i);
            ExpectPlainLinkage(l, line);
        }
    }
}

} // namespace

namespace {

// Hand-made linkages over the words of a sentence: connectors by kind, links
// between word positions.
class HandLinkage {
public:
    explicit HandLinkage(const std::string& text) : sentence(text.c_str(), &fixture::Dictionary()) {}
    // kind: 'p' plain, 'u' up, 'd' down.
    void Add(int l, char lkind, int r, char rkind)
    {
        links.push_back(Link{l, r, Make(lkind), Make(rkind), "X"});
    }
    CSentence sentence;
    std::vector<Link> links;
    std::vector<Disjunct*> chosen;
    // Position of the first word with this text (the walls come first).
    int At(const char* text) const
    {
        for (int w = 0; w < sentence.numWords; ++w)
            if (sentence.words[w].text == text)
                return w;
        return -1;
    }

private:
    Connector* Make(char kind)
    {
        Connector c{};
        c.label = kind == 'p' ? -1 : 0;
        c.priority = kind == 'p' ? 0 : kind == 'u' ? 1 : 2;
        c.lengthLimit = kUnlimitedLength;
        c.text = "X";
        m_connectors.push_back(std::make_unique<Connector>(c));
        return m_connectors.back().get();
    }
    std::vector<std::unique_ptr<Connector>> m_connectors;
};

} // namespace

TEST(Conjunctions, AWordTiedToBothConjunctsMakesTheLinkageImproper)
{
    // Words send, mail, and, files (the walls around them are left alone).
    struct Case {
        const char* name;
        bool sendToConjuncts; // "send" also has plain links to "mail" and to "files"
        bool improper;
        int choices;
    };
    const Case cases[] = {
        // send -plain- and; and -down/up- mail, files: a tree with two choices.
        {"proper", false, false, 2},
        // "send" is reached from "and" first (it is the highest word), so each
        // conjunct meets it through a plain link as a word of another tree.
        {"tied to both conjuncts", true, true, 1},
    };
    for (const Case& c : cases) {
        HandLinkage h("send mail and files");
        ASSERT_TRUE(h.sentence.IsValid());
        int s = h.At("send"), m = h.At("mail"), a = h.At("and"), f = h.At("files");
        ASSERT_TRUE(s >= 0 && m == s + 1 && a == s + 2 && f == s + 3);
        if (c.sendToConjuncts)
            h.Add(s, 'p', m, 'p');
        h.Add(s, 'p', a, 'p');
        if (c.sendToConjuncts)
            h.Add(s, 'p', f, 'p');
        h.Add(m, 'u', a, 'd');
        h.Add(a, 'd', f, 'u');
        h.chosen.assign(static_cast<size_t>(h.sentence.numWords), nullptr);
        FatLinkage fat(&h.sentence, h.links.data(), static_cast<int>(h.links.size()), h.chosen);
        EXPECT_EQ(fat.Improper(), c.improper) << c.name;
        EXPECT_EQ(fat.NumChoices(), c.choices) << c.name;
    }
}

TEST(Conjunctions, TooManySublinkagesAreReportedNotThrownByTheTest)
{
    // Units "x and y" joined by plain links between their conjunction words:
    // every unit doubles the choices. Ten give 1024, eleven 2048 (over 1988).
    for (int units : {10, 11}) {
        std::string text;
        for (int i = 0; i < units; ++i)
            text += std::string(i ? " " : "") + "mail and files";
        HandLinkage h(text);
        ASSERT_TRUE(h.sentence.IsValid());
        int base = h.At("mail");
        ASSERT_GE(base, 0);
        for (int i = 0; i < units; ++i) {
            int x = base + 3 * i, c = x + 1, y = x + 2;
            h.Add(x, 'u', c, 'd');
            h.Add(c, 'd', y, 'u');
            if (i + 1 < units)
                h.Add(c, 'p', c + 3, 'p');
        }
        h.chosen.assign(static_cast<size_t>(h.sentence.numWords), nullptr);
        FatLinkage fat(&h.sentence, h.links.data(), static_cast<int>(h.links.size()), h.chosen);
        ASSERT_FALSE(fat.Improper()) << units;
        if (units == 10) {
            EXPECT_FALSE(fat.TooManyChoices());
            EXPECT_EQ(fat.NumChoices(), 1024);
        } else {
            EXPECT_TRUE(fat.TooManyChoices());
            EXPECT_THROW(fat.NumChoices(), ParserLimitException);
        }
    }
}
