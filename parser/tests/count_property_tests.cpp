// Counting and extraction against an independent brute-force enumeration on the
// fixture grammar: every linkage read out by index is distinct and valid, and
// the set of them is exactly the set the enumeration finds.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/count/match.h"
#include "parser/count/parse_set.h"
#include "parser/count/region.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using fixture::Dictionary;

namespace {

struct FoundLink {
    int l, r;
    const Connector* lc;
    const Connector* rc;
    bool operator<(const FoundLink& o) const
    {
        return std::tie(l, r, lc, rc) < std::tie(o.l, o.r, o.lc, o.rc);
    }
};

// A linkage as a comparable text: each word's disjunct and every link with the
// two connectors it uses.
std::string Describe(const std::vector<const Disjunct*>& chosen, std::vector<FoundLink> links)
{
    std::sort(links.begin(), links.end());
    std::ostringstream out;
    for (const Disjunct* d : chosen)
        out << static_cast<const void*>(d) << ' ';
    out << '|';
    for (const FoundLink& l : links)
        out << ' ' << l.l << '-' << l.r << ':' << static_cast<const void*>(l.lc) << '/'
            << static_cast<const void*>(l.rc);
    return out.str();
}

// Enumerates every linkage of the sentence's current disjuncts, word by word:
// the right connectors still waiting for a partner form a stack (links may not
// cross), each word's left connectors take partners from its top, nearest first.
class BruteForce {
public:
    explicit BruteForce(const CSentence& s) : m_s(s), m_n(s.numWords), m_chosen(static_cast<size_t>(m_n), nullptr) {}

    // linkages by null count (null words + islands - 1)
    std::map<int, std::multiset<std::string>> Run()
    {
        Word(0);
        return m_found;
    }

private:
    struct Pending {
        const Connector* c;
        int word;
    };

    void Word(int w)
    {
        if (w == m_n) {
            if (m_stack.empty())
                Record();
            return;
        }
        m_chosen[static_cast<size_t>(w)] = nullptr;
        Word(w + 1);
        for (const Disjunct* d = m_s.words[w].d; d; d = d->next) {
            m_chosen[static_cast<size_t>(w)] = d;
            std::vector<const Connector*> left;
            for (const Connector* c = d->left; c; c = c->next)
                left.push_back(c);
            Left(w, d, left, static_cast<int>(left.size()) - 1, w, false);
        }
        m_chosen[static_cast<size_t>(w)] = nullptr;
    }

    void Finish(int w, const Disjunct* d)
    {
        size_t mark = m_stack.size();
        for (const Connector* c = d->right; c; c = c->next)
            m_stack.push_back({c, w});
        Word(w + 1);
        m_stack.resize(mark);
    }

    void Left(int w, const Disjunct* d, const std::vector<const Connector*>& left, int idx, int last, bool linked)
    {
        if (idx < 0) {
            Finish(w, d);
            return;
        }
        const Connector* c = left[static_cast<size_t>(idx)];
        if (linked)
            Left(w, d, left, idx - 1, last, false);
        if (m_stack.empty())
            return;
        Pending e = m_stack.back();
        if (e.word >= last || !MatchConnectors(e.c, c, e.word, w, &m_s))
            return;
        m_links.push_back({e.word, w, e.c, c});
        m_stack.pop_back();
        if (c->multi)
            Left(w, d, left, idx, e.word, true);
        else
            Left(w, d, left, idx - 1, e.word, false);
        m_stack.push_back(e);
        // A multi connector may stay for partners further right; then nothing of
        // this word may link beyond it.
        if (e.c->multi && idx == 0)
            Finish(w, d);
        m_links.pop_back();
    }

    void Record()
    {
        std::vector<int> parent(static_cast<size_t>(m_n));
        std::iota(parent.begin(), parent.end(), 0);
        auto find = [&](int x) {
            while (parent[static_cast<size_t>(x)] != x)
                x = parent[static_cast<size_t>(x)];
            return x;
        };
        for (const FoundLink& l : m_links)
            parent[static_cast<size_t>(find(l.l))] = find(l.r);
        int nulls = 0, islands = 0;
        for (int w = 0; w < m_n; ++w) {
            if (!m_chosen[static_cast<size_t>(w)])
                ++nulls;
            else if (find(w) == w)
                ++islands;
        }
        m_found[nulls + islands - 1].insert(Describe(m_chosen, m_links));
        for (const Disjunct* d : m_chosen)
            if (d)
                m_used[nulls + islands - 1].insert(d);
    }

public:
    // The disjuncts that take part in some linkage, by null count (after Run).
    const std::set<const Disjunct*>& Used(int nulls) { return m_used[nulls]; }

private:
    std::map<int, std::set<const Disjunct*>> m_used;

    const CSentence& m_s;
    int m_n;
    std::vector<const Disjunct*> m_chosen;
    std::vector<Pending> m_stack;
    std::vector<FoundLink> m_links;
    std::map<int, std::multiset<std::string>> m_found;
};

// Planar, each connector list used in order (multi connectors at least once,
// others exactly once), every link a match within its length limit, no pair of
// words linked twice.
::testing::AssertionResult ValidLinkage(const CSentence& s, const ParseInfo& pi)
{
    std::set<std::pair<int, int>> pairs;
    for (int i = 0; i < pi.N_links; ++i) {
        const Link& a = pi.links[i];
        if (!(a.l < a.r))
            return ::testing::AssertionFailure() << "link " << a.l << "-" << a.r << " not left to right";
        if (!pairs.insert({a.l, a.r}).second)
            return ::testing::AssertionFailure() << "words " << a.l << " and " << a.r << " linked twice";
        if (!MatchConnectors(a.lc, a.rc, a.l, a.r, &s))
            return ::testing::AssertionFailure() << "connectors " << a.lc->text << " and " << a.rc->text
                                                 << " do not match at " << a.l << "-" << a.r;
        for (int j = 0; j < pi.N_links; ++j) {
            const Link& b = pi.links[j];
            if (a.l < b.l && b.l < a.r && a.r < b.r)
                return ::testing::AssertionFailure() << "links cross: " << a.l << "-" << a.r << " and " << b.l << "-"
                                                     << b.r;
        }
    }
    for (int w = 0; w < s.numWords; ++w) {
        const Disjunct* d = pi.chosenDisjuncts[static_cast<size_t>(w)];
        if (!d)
            continue;
        for (int side = 0; side < 2; ++side) {
            // partners ordered farthest first, as the connector lists are
            std::vector<std::pair<int, const Connector*>> used;
            for (int i = 0; i < pi.N_links; ++i) {
                const Link& l = pi.links[i];
                if (side == 0 && l.r == w)
                    used.push_back({w - l.l, l.rc});
                if (side == 1 && l.l == w)
                    used.push_back({l.r - w, l.lc});
            }
            std::sort(used.begin(), used.end(), [](auto& x, auto& y) { return x.first > y.first; });
            const Connector* c = side == 0 ? d->left : d->right;
            size_t k = 0;
            for (; c; c = c->next) {
                size_t uses = 0;
                while (k < used.size() && used[k].second == c) {
                    ++k;
                    ++uses;
                }
                if (uses == 0 || (uses > 1 && !c->multi))
                    return ::testing::AssertionFailure() << "word " << w << " uses connector " << c->text << " "
                                                         << uses << " times";
            }
            if (k != used.size())
                return ::testing::AssertionFailure() << "word " << w << " links out of order";
        }
    }
    return ::testing::AssertionSuccess();
}

const char* const kSentences[] = {
    "send me new mail",
    "show the mail from john in the inbox folder",
    "show the new unread messages from alice",
    "please run the batch file right now.",
    "what is the weather in paris?",
    "list 3 files",
    "check the follow-up messages",
    "send it to bob",
    "the mail is new",
    "Send me a lot",
    "tell him about the report today",
    "find my old letter in the big folder",
    "xyzzy foo bar send",
    "mail the the",
    "send send send",
    "show the old new unread report",
    "send me the new mail from alice today",
    "please just run the batch file report",
    "delete all old messages in my inbox folder now",
};

} // namespace

namespace {
// A grammar built to reach every branch of the recursion: multi connectors on
// both ends of a link, long and short connectors, costs and subscripts.
const char kDenseGrammar[] =
    "a: @X+ & {@Y+};\n"
    "b: (@X- & {Ya+}) | (X- & @Z+);\n"
    "c: ({@Z-} & Y*-) | [@Y-];\n"
    "d: {X-} & {@Z-} & Y+ & {@X+};\n"
    "CCoupledWord: X+ | X-;\n";

void CheckAgainstBruteForce(const std::string& text, CGrammarDictionary& dict, ParseOptions* o)
{
    CSentence s(text.c_str(), &dict);
    ASSERT_TRUE(s.IsValid()) << text;
    s.Parse(o);
    std::map<int, std::multiset<std::string>> brute = BruteForce(s).Run();
    for (int lower = o->minNullCount; lower < s.nullCount; ++lower)
        ASSERT_EQ(brute[lower].size(), 0u) << text << ": null count " << lower;
    const std::multiset<std::string>& expected = brute[s.nullCount];
    ASSERT_EQ(static_cast<size_t>(s.numLinkagesFound), expected.size()) << text;
    std::set<std::string> extracted;
    ParseInfo& pi = *s.parseInfo;
    for (int i = 0; i < s.numLinkagesFound; ++i) {
        pi.ExtractLinks(i, s.sampler);
        ASSERT_TRUE(ValidLinkage(s, pi)) << text << ": linkage " << i;
        std::vector<FoundLink> links;
        for (int j = 0; j < pi.N_links; ++j)
            links.push_back({pi.links[j].l, pi.links[j].r, pi.links[j].lc, pi.links[j].rc});
        extracted.insert(Describe(std::vector<const Disjunct*>(pi.chosenDisjuncts.begin(), pi.chosenDisjuncts.end()), links));
    }
    ASSERT_EQ(extracted, std::set<std::string>(expected.begin(), expected.end())) << text;
}
} // namespace

TEST(CountProperty, EverySentenceOfADenseGrammar)
{
    std::unique_ptr<CGrammarDictionary> dict = fixture::LoadDictionaryText(kDenseGrammar);
    ASSERT_TRUE(dict->IsLoaded()) << LastGrammarErrorText();
    fixture::Options o;
    o.p->shortLength = 2; // Y and Z may span at most two words
    size_t sentences = fixture::ForEachSentence({"a", "b", "c", "d"}, 5, [&](const std::string& text) {
        CheckAgainstBruteForce(text, *dict, o.p);
        return !HasFatalFailure();
    });
    if (HasFatalFailure())
        return;
    EXPECT_EQ(sentences, 4u + 16u + 64u + 256u + 1024u);
}

class CountProperty : public ::testing::TestWithParam<const char*> {};

TEST_P(CountProperty, IndexedLinkagesAreDistinctValidAndComplete)
{
    fixture::Options o;
    CSentence s(GetParam(), &Dictionary());
    ASSERT_TRUE(s.IsValid());
    s.Parse(o.p);
    ASSERT_TRUE(s.parseInfo);
    std::map<int, std::multiset<std::string>> brute = BruteForce(s).Run();

    int k = s.nullCount;
    for (int lower = o.p->minNullCount; lower < k; ++lower)
        EXPECT_EQ(brute[lower].size(), 0u) << "the parse passed over null count " << lower;
    const std::multiset<std::string>& expected = brute[k];
    ASSERT_EQ(static_cast<size_t>(s.numLinkagesFound), expected.size()) << "null count " << k;
    EXPECT_EQ(std::set<std::string>(expected.begin(), expected.end()).size(), expected.size());

    std::set<std::string> extracted;
    ParseInfo& pi = *s.parseInfo;
    for (int i = 0; i < s.numLinkagesFound; ++i) {
        pi.ExtractLinks(i, s.sampler);
        ASSERT_TRUE(ValidLinkage(s, pi)) << "linkage " << i;
        std::vector<FoundLink> links;
        for (int j = 0; j < pi.N_links; ++j)
            links.push_back({pi.links[j].l, pi.links[j].r, pi.links[j].lc, pi.links[j].rc});
        std::vector<const Disjunct*> chosen(pi.chosenDisjuncts.begin(), pi.chosenDisjuncts.end());
        EXPECT_TRUE(extracted.insert(Describe(chosen, links)).second) << "linkage " << i << " repeats an earlier one";
    }
    EXPECT_EQ(extracted, std::set<std::string>(expected.begin(), expected.end()));

    // Enumerating by the cursors visits the same linkages.
    std::set<std::string> walked;
    if (pi.root) {
        do {
            pi.BuildCurrentLinkage();
            std::vector<FoundLink> links;
            for (int j = 0; j < pi.N_links; ++j)
                links.push_back({pi.links[j].l, pi.links[j].r, pi.links[j].lc, pi.links[j].rc});
            walked.insert(Describe(std::vector<const Disjunct*>(pi.chosenDisjuncts.begin(), pi.chosenDisjuncts.end()), links));
        } while (!pi.AdvanceParseSet() && walked.size() <= expected.size());
    }
    EXPECT_EQ(walked, extracted);
}

INSTANTIATE_TEST_SUITE_P(Fixture, CountProperty, ::testing::ValuesIn(kSentences));

TEST(CountProperty, ManyNullWords)
{
    // Counts for eight null counts share one record; lines that need more
    // null words than that read across records.
    struct Case {
        const char* text;
        int nulls;
    } cases[] = {
        {"the the the the the the the the", 9},
        {"send me new mail the the the the the the the the", 8},
        {"send the the the the the the the the the me new mail", 9},
    };
    for (const Case& c : cases) {
        fixture::Options o;
        o.p->maxNullCount = 12;
        CheckAgainstBruteForce(c.text, Dictionary(), o.p);
        CSentence s(c.text, &Dictionary());
        s.Parse(o.p);
        EXPECT_EQ(s.nullCount, c.nulls) << c.text;
        EXPECT_GT(s.numLinkagesFound, 0) << c.text;
    }
}

TEST(CountProperty, NullBlocksWithoutIslands)
{
    // The two trailing words cannot link. With islands allowed each costs one
    // null; without, a stretch of m unlinked words costs ceil(m / B).
    struct Case {
        int islands, block, nulls;
    } cases[] = {{1, 1, 2}, {0, 1, 2}, {0, 3, 1}, {0, 2, 1}};
    for (const Case& c : cases) {
        fixture::Options o;
        o.p->islandsOk = c.islands;
        o.p->nullBlock = c.block;
        CSentence s("send me new mail the the", &Dictionary());
        ASSERT_TRUE(s.IsValid());
        EXPECT_GE(s.Parse(o.p), 1);
        EXPECT_EQ(s.nullCount, c.nulls) << "islands " << c.islands << " block " << c.block;
    }
}

TEST(CountProperty, BruteForceSeesAmbiguity)
{
    // Guards the property test itself: some fixture sentences must have several
    // linkages, and some must need nulls.
    fixture::Options o;
    size_t most = 0;
    int mostNulls = 0;
    for (const char* text : kSentences) {
        CSentence s(text, &Dictionary());
        s.Parse(o.p);
        most = std::max(most, static_cast<size_t>(s.numLinkagesFound));
        mostNulls = std::max(mostNulls, s.nullCount);
    }
    EXPECT_GE(most, 5u);
    EXPECT_GE(mostNulls, 2);
}

namespace {
std::string Repeated(const char* words, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += std::string(words) + " ";
    return text;
}
} // namespace

TEST(Sampling, OneLinkageFromEachStretchOfTheRange)
{
    std::unique_ptr<CGrammarDictionary> dict = fixture::LoadDictionaryText(kDenseGrammar);
    fixture::Options o;
    std::string text = Repeated("a b d c", 3);
    CSentence s(text.c_str(), dict.get());
    ASSERT_GE(s.Parse(o.p), 1);
    const int n = s.numLinkagesFound;
    const int k = o.p->linkageLimit;
    ASSERT_GT(n, 10 * k) << "the sentence must have many more linkages than the limit";
    ASSERT_EQ(s.numLinkagesAlloced, k);
    ASSERT_EQ(s.linkageInfo.size(), static_cast<size_t>(k));
    std::vector<int> perStretch(static_cast<size_t>(k), 0);
    for (const LinkageInfo& li : s.linkageInfo) {
        ASSERT_GE(li.index, 0);
        ASSERT_LT(li.index, n);
        int stretch = static_cast<int>(static_cast<int64_t>(li.index) * k / n);
        // floor(i*N/K) <= index < floor((i+1)*N/K) for exactly one i
        while (static_cast<int64_t>(stretch + 1) * n / k <= li.index)
            ++stretch;
        while (static_cast<int64_t>(stretch) * n / k > li.index)
            --stretch;
        perStretch[static_cast<size_t>(stretch)]++;
    }
    for (int i = 0; i < k; ++i)
        EXPECT_EQ(perStretch[static_cast<size_t>(i)], 1) << "stretch " << i;

    CSentence again(text.c_str(), dict.get());
    again.Parse(o.p);
    ASSERT_EQ(again.linkageInfo.size(), s.linkageInfo.size());
    for (size_t i = 0; i < s.linkageInfo.size(); ++i)
        EXPECT_EQ(again.linkageInfo[i].index, s.linkageInfo[i].index) << "the same sample, the same order";
}

TEST(Sampling, OverflowedCountsDrawAtRandom)
{
    std::unique_ptr<CGrammarDictionary> dict = fixture::LoadDictionaryText(kDenseGrammar);
    fixture::Options o;
    std::string text = Repeated("a b d c", 8);
    CSentence s(text.c_str(), dict.get());
    ASSERT_EQ(s.Parse(o.p), o.p->linkageLimit);
    EXPECT_EQ(s.nullCount, 0);
    ASSERT_TRUE(s.parseInfo->ParseSetOverflowed());
    std::set<int> indices;
    for (const LinkageInfo& li : s.linkageInfo)
        indices.insert(li.index);
    EXPECT_EQ(indices.size(), static_cast<size_t>(o.p->linkageLimit));
    EXPECT_EQ(*indices.begin(), -o.p->linkageLimit);
    EXPECT_EQ(*indices.rbegin(), -1);
    for (int index : indices) {
        s.parseInfo->ExtractLinks(index, s.sampler);
        ASSERT_TRUE(ValidLinkage(s, *s.parseInfo)) << "draw " << index;
        EXPECT_FALSE(s.sampler.InUse());
    }
    // The same draw gives the same linkage.
    s.parseInfo->ExtractLinks(-7, s.sampler);
    std::vector<std::pair<int, int>> first;
    for (int j = 0; j < s.parseInfo->N_links; ++j)
        first.push_back({s.parseInfo->links[j].l, s.parseInfo->links[j].r});
    s.parseInfo->ExtractLinks(-7, s.sampler);
    std::vector<std::pair<int, int>> second;
    for (int j = 0; j < s.parseInfo->N_links; ++j)
        second.push_back({s.parseInfo->links[j].l, s.parseInfo->links[j].r});
    EXPECT_EQ(first, second);
}

namespace {
// Marks from the left end as conjunction pruning does and compares the marked
// disjuncts with those of the complete linkages the enumeration finds.
void CheckRegionMarks(const std::string& text, CGrammarDictionary& dict, ParseOptions* o)
{
    CSentence s(text.c_str(), &dict);
    ASSERT_TRUE(s.IsValid()) << text;
    s.Parse(o);
    BruteForce brute(s);
    brute.Run();
    for (int w = 0; w < s.numWords; ++w)
        for (Disjunct* d = s.words[w].d; d; d = d->next)
            d->marked = 0;
    RegionMarker marker(&s, o, [](const Connector* a, const Connector* b, int lw, int rw, const CSentence* sentence) {
        return MatchConnectors(a, b, lw, rw, sentence);
    });
    bool any = false;
    for (Disjunct* d = s.words[0].d; d; d = d->next) {
        if (!d->left && marker.RegionValid(0, s.numWords, d->right, nullptr)) {
            any = true;
            d->marked = 1;
            marker.MarkRegion(0, s.numWords, d->right, nullptr);
        }
    }
    std::set<const Disjunct*> marked;
    for (int w = 0; w < s.numWords; ++w)
        for (Disjunct* d = s.words[w].d; d; d = d->next)
            if (d->marked)
                marked.insert(d);
    EXPECT_EQ(marked, brute.Used(0)) << text;
    EXPECT_EQ(any, !brute.Used(0).empty()) << text;
}
} // namespace

TEST(RegionMarking, MarksExactlyTheDisjunctsOfCompleteLinkages)
{
    fixture::Options o;
    for (const char* text : kSentences)
        CheckRegionMarks(text, Dictionary(), o.p);
    std::unique_ptr<CGrammarDictionary> dict = fixture::LoadDictionaryText(kDenseGrammar);
    o.p->shortLength = 2;
    fixture::ForEachSentence({"a", "b", "c", "d"}, 5, [&](const std::string& text) {
        CheckRegionMarks(text, *dict, o.p);
        return !HasFailure();
    });
}
