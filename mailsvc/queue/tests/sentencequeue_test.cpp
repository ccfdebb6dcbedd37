// The sentence queue: lines of a mail body in order, each with the mail's data.
#include "queue/sentencequeue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

CZLMMapiFile* fakeList() { return reinterpret_cast<CZLMMapiFile*>(static_cast<uintptr_t>(0x1234)); }

std::vector<std::string> drain(SentenceQueue& q)
{
    std::vector<std::string> out;
    while (!q.IsEmpty()) out.push_back(S(q.GetNextSentence().GetText()));
    return out;
}

TEST(SentenceQueue, SplitsBodiesIntoLines)
{
    struct Case {
        const char* body;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\n\r\nb\r\n", {"a", "b"}},
        {"", {}},
        {"\r\n\r\n\n\r", {}},
        {"\r\n  x  \r\n", {"  x  "}},
        {"one\ntwo\rthree", {"one", "two", "three"}},
        {"single", {"single"}},
    };
    for (const Case& c : cases) {
        SentenceQueue q;
        q.AddMessageBody(c.body, "a@b.c", "A", "to", 0, 5, "subj", nullptr);
        EXPECT_EQ(drain(q), c.lines) << c.body;
    }
}

TEST(SentenceQueue, EveryLineCarriesTheMailData)
{
    SentenceQueue q;
    CZLMMapiFile* files = fakeList();
    q.AddMessageBody("a\r\n\r\nb\r\n", "john@example.com", "John", "reply-to", 2, 321, "Subject", files);
    q.AddMessageBody("c", "x@y.z", "X", "", 1, -1, "Other", nullptr);
    const char* texts[] = {"a", "b"};
    for (const char* t : texts) {
        ASSERT_FALSE(q.IsEmpty());
        QueuedSentence s = q.GetNextSentence();
        EXPECT_EQ(S(s.GetText()), t);
        EXPECT_EQ(S(s.GetFromAddress()), "john@example.com");
        EXPECT_EQ(S(s.GetFromName()), "John");
        EXPECT_EQ(S(s.GetTo()), "reply-to");
        EXPECT_EQ(S(s.GetSubject()), "Subject");
        EXPECT_EQ(s.GetSourceMethod(), 2);
        EXPECT_EQ(s.GetSize(), 321);
        EXPECT_EQ(s.GetAttachments(), files);
    }
    QueuedSentence c = q.GetNextSentence();
    EXPECT_EQ(S(c.GetText()), "c");
    EXPECT_EQ(S(c.GetSubject()), "Other");
    EXPECT_EQ(c.GetSize(), -1);
    EXPECT_EQ(c.GetAttachments(), nullptr);
    EXPECT_TRUE(q.IsEmpty());
}

TEST(SentenceQueue, EmptyQueueGivesAnEmptyEntry)
{
    SentenceQueue q;
    EXPECT_NE(q.IsEmpty(), 0);
    QueuedSentence s = q.GetNextSentence();
    EXPECT_EQ(S(s.GetText()), "");
    EXPECT_EQ(S(s.GetSubject()), "");
    EXPECT_EQ(S(s.GetFromAddress()), "");
    EXPECT_EQ(S(s.GetFromName()), "");
    EXPECT_EQ(S(s.GetTo()), "");
    EXPECT_EQ(s.GetSourceMethod(), 0);
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.GetAttachments(), nullptr);
    EXPECT_NE(q.IsEmpty(), 0);
}

TEST(SentenceQueue, CopiesAreIndependent)
{
    SentenceQueue q;
    q.AddMessageBody("a\nb", "f", "n", "t", 0, 0, "s", nullptr);
    SentenceQueue copy = q;
    EXPECT_EQ(drain(q), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(drain(copy), (std::vector<std::string>{"a", "b"}));

    QueuedSentence e;
    e.SetText("x");
    QueuedSentence f = e;
    f.SetText("y");
    EXPECT_EQ(S(e.GetText()), "x");
    e = f;
    EXPECT_EQ(S(e.GetText()), "y");
}

TEST(SentenceQueue, ProcessWideQueueIsUsable)
{
    ASSERT_TRUE(queueSentence.IsEmpty());
    queueSentence.AddMessageBody("hello\r\nworld", "a@b.c", "A", "", 0, 0, "", nullptr);
    EXPECT_EQ(drain(queueSentence), (std::vector<std::string>{"hello", "world"}));
}

} // namespace
