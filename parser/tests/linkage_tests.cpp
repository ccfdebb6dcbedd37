// Linkage objects: word labels, links, link records and the text renderings.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/render/render.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "word_linkage.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

using fixture::Dictionary;

namespace {

struct Record {
    std::string left, label, right;
    int l, r;
    bool operator==(const Record& o) const
    {
        return left == o.left && label == o.label && right == o.right && l == o.l && r == o.r;
    }
};

std::ostream& operator<<(std::ostream& os, const Record& r)
{
    return os << r.left << "(" << r.l << ") " << r.label << " " << r.right << "(" << r.r << ")";
}

std::vector<Record> Records(const CLinkage& l)
{
    std::unique_ptr<std::vector<WordLinkage>> list(l.GetWordLinkages());
    std::vector<Record> out;
    for (const WordLinkage& w : *list)
        out.push_back({std::string(w.m_strLeftWord), std::string(w.m_strLinkLabel), std::string(w.m_strRightWord),
                       w.m_nLeftIndex, w.m_nRightIndex});
    return out;
}

} // namespace

TEST(Linkage, WordLinkagesOfARequest)
{
    fixture::Options o;
    CSentence s("Please send me new mail right now.", &Dictionary());
    ASSERT_EQ(s.Parse(o.p), 1);
    CLinkage l(0, &s, o.p);
    EXPECT_EQ(l.GetNumWords(), 10);
    EXPECT_EQ(l.GetNumSublinkages(), 1);
    EXPECT_EQ(l.GetSentence(), &s);
    std::vector<Record> expected = {
        {"/////", "RW", "/////", 0, 9},
        {"/////", "Xp", ".", 0, 8},
        {"/////", "Wi", "send.v", 0, 2},
        {"please", "E", "send.v", 1, 2},
        {"send.v", "MV", "now", 2, 7},
        {"send.v", "Osn", "mail.n", 2, 5},
        {"send.v", "Y", "me", 2, 3},
        {"new", "A", "mail.n", 4, 5},
        {"right", "ID", "now", 6, 7},
    };
    std::vector<Record> got = Records(l);
    // The links come in the order the linkage was read out; compare as sets.
    ASSERT_EQ(got.size(), expected.size());
    for (const Record& r : expected)
        EXPECT_NE(std::find(got.begin(), got.end(), r), got.end()) << r;
    EXPECT_STREQ(l.GetWord(0), "/////");
    EXPECT_STREQ(l.GetWord(1), "please") << "the capitalised first word was lowered";
    EXPECT_STREQ(l.GetWord(6), "right") << "an idiom word shows without its number";

    std::unique_ptr<std::vector<WordLinkage>> list(l.GetWordLinkages());
    CString log = PrintLinkages(list.get());
    EXPECT_EQ(std::string(log).find("/////"), std::string::npos) << "wall links stay out of the log";
    EXPECT_NE(std::string(log).find("new (4) <- A -> (5) mail.n\r\n"), std::string::npos);
}

TEST(Linkage, LabelsOfNullWordsAndTypedWords)
{
    fixture::Options o;
    CSentence s("send me new mail the", &Dictionary());
    ASSERT_GE(s.Parse(o.p), 1);
    CLinkage l(0, &s, o.p);
    EXPECT_STREQ(l.GetWord(5), "[the]");
    EXPECT_STREQ(l.GetWord(4), "mail.n");
    o.p->showWordForms = 0;
    CLinkage typed(0, &s, o.p);
    EXPECT_STREQ(typed.GetWord(4), "mail");
    EXPECT_STREQ(typed.GetWord(5), "[the]");
}

TEST(Linkage, IndexAndPerLinkReads)
{
    fixture::Options o;
    CSentence s("send me new mail", &Dictionary());
    ASSERT_EQ(s.Parse(o.p), 1);
    ASSERT_EQ(s.numLinkagesPostProcessed, 1);
    CLinkage one(1, &s, o.p); // past the last record: the last one
    EXPECT_EQ(one.GetInfo().index, s.linkageInfo[0].index);
    EXPECT_THROW(CLinkage(2, &s, o.p), ParserLimitException);
    EXPECT_THROW(CLinkage(-1, &s, o.p), ParserLimitException);

    int n = one.GetNumLinks();
    ASSERT_GT(n, 0);
    for (int bad : {-1, n}) {
        errno = 0;
        EXPECT_EQ(one.GetLinkLeftWord(bad), -1);
        EXPECT_EQ(errno, -1);
        errno = 0;
        EXPECT_EQ(one.GetLinkRightWord(bad), -1);
        EXPECT_EQ(errno, -1);
        errno = 0;
        EXPECT_EQ(one.GetLinkLabel(bad), nullptr);
        EXPECT_EQ(errno, -1);
        EXPECT_EQ(one.GetLinkLeftConnector(bad), nullptr);
        EXPECT_EQ(one.GetLinkRightConnector(bad), nullptr);
        EXPECT_EQ(one.GetLinkNumDomains(bad), -1);
        EXPECT_TRUE(one.GetLinkDomainNames(bad).empty());
    }
    for (int i = 0; i < n; ++i) {
        EXPECT_LT(one.GetLinkLeftWord(i), one.GetLinkRightWord(i));
        EXPECT_EQ(one.GetLinkNumDomains(i), 0) << "no post-processor: no domains";
        ASSERT_NE(one.GetLinkLeftConnector(i), nullptr);
    }
}

TEST(Linkage, Renderings)
{
    fixture::Options o;
    CSentence s("send me new mail", &Dictionary());
    ASSERT_EQ(s.Parse(o.p), 1);
    CLinkage l(0, &s, o.p);
    std::string diagram = PrintDiagram(l);
    EXPECT_NE(diagram.find("///// send.v me new mail.n /////\r\n"), std::string::npos) << diagram;
    EXPECT_NE(diagram.find("+--A--+"), std::string::npos) << diagram;
    std::string list = PrintLinksAndDomains(l);
    EXPECT_NE(list.find("   new            A       <---A----->  A         mail.n\r\n"), std::string::npos) << list;
    EXPECT_EQ(list.substr(list.size() - 2), "\r\n");

    // A lone Wd from the left wall hides the wall.
    CSentence t("the mail is new", &Dictionary());
    ASSERT_EQ(t.Parse(o.p), 1);
    CLinkage m(0, &t, o.p);
    std::string d2 = PrintDiagram(m);
    EXPECT_NE(d2.find("\r\nthe mail.n is new /////\r\n"), std::string::npos) << d2;

    EXPECT_EQ(DiagramHeader(1), "\r\n");
    EXPECT_EQ(DiagramHeader(0), "");
    EXPECT_EQ(DiagramTrailer(1), "diagram\r\n\r\n%%EndDocument\r\n");
}

TEST(OutString, GrowsWhenThePieceDoesNotFit)
{
    OutString out;
    EXPECT_EQ(out.Capacity(), 1u);
    out.Append("%s", "abc"); // 1 <= 0 + 3: grows to 3 + 2 + 1
    EXPECT_EQ(out.Capacity(), 6u);
    out.Append("%s", "xy"); // 6 > 3 + 2: fits
    EXPECT_EQ(out.Capacity(), 6u);
    out.Append("%s", "z"); // 6 <= 5 + 1: exactly the spare capacity grows it
    EXPECT_EQ(out.Capacity(), 14u);
    EXPECT_EQ(out.Text(), "abcxyz");
}
