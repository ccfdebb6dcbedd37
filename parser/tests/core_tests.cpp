// Parser memory, string sets, the random sampler, parse options and limits.
#include "parser/core/parser_error.h"
#include "parser/core/parser_memory.h"
#include "parser/core/random_table.h"
#include "parser/core/string_set.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage_info.h"

#include <gtest/gtest.h>

#include <string>

TEST(StringSet, GrowsAtThreeQuartersAndInternsOnce)
{
    StringSet* set = CreateStringSet();
    EXPECT_EQ(set->size, 101);
    const char* first = Intern(set, "word0");
    EXPECT_EQ(Intern(set, "word0"), first);
    EXPECT_EQ(set->count, 1);
    for (int i = 1; i < 75; ++i)
        Intern(set, ("word" + std::to_string(i)).c_str());
    EXPECT_EQ(set->size, 101);
    Intern(set, "word75"); // the 76th text
    EXPECT_EQ(set->size, 211);
    for (int i = 0; i < 76; ++i) {
        std::string w = "word" + std::to_string(i);
        const char* found = FindInterned(set, w.c_str());
        ASSERT_NE(found, nullptr) << w;
        EXPECT_EQ(std::string(found), w);
    }
    EXPECT_EQ(FindInterned(set, "absent"), nullptr);
    EXPECT_EQ(FindInterned(set, "word0"), first); // texts survive growth in place
    EXPECT_THROW(Intern(set, nullptr), ParserLimitException);
    DeleteStringSet(set);
    DeleteStringSet(nullptr);
}

TEST(ParserMemory, CountsInUseAndKeepsThePeak)
{
    ParserMemoryCounters before = GetParserMemoryCounters();
    void* p = ParserAlloc(1000);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(GetParserMemoryCounters().inUse, before.inUse + 1000);
    ParserFree(p, 1000);
    ParserMemoryCounters after = GetParserMemoryCounters();
    EXPECT_EQ(after.inUse, before.inUse);
    EXPECT_GE(after.maxInUse, before.inUse + 1000);
    void* zero = ParserAlloc(0);
    EXPECT_NE(zero, nullptr) << "a zero-byte request is not a failure";
    ParserFree(zero, 0);

    void* e = ExternalAlloc(40);
    EXPECT_EQ(GetParserMemoryCounters().externalInUse, before.externalInUse + 40);
    ExternalFree(e, 40);
    EXPECT_EQ(GetParserMemoryCounters().externalInUse, before.externalInUse);
}

TEST(RandomTable, IsTheSameEveryRun)
{
    const uint32_t* r = RandomTable();
    // The table comes from a generator spelled out in the parser, seed 10.
    EXPECT_EQ(r[0], 71u);
    EXPECT_EQ(r[1], 16899u);
    for (int i = 0; i < 256; ++i)
        EXPECT_LT(r[i], 32768u);
}

TEST(RandomSampler, SequenceRefusesNestingAndRecoversAfterAThrow)
{
    RandomSampler s;
    s.Seed(-7);
    int32_t a = s.Next();
    int32_t b = s.Next();
    EXPECT_THROW(s.Seed(1), ParserLimitException);
    s.End();
    EXPECT_THROW(s.End(), ParserLimitException);
    s.Seed(7); // |s| is taken: the same sequence as -7
    EXPECT_EQ(s.Next(), a);
    EXPECT_EQ(s.Next(), b);
    s.End();
    // x = 7 mod 3 = 1, y = 7 mod 5 = 2, c = 8 after the step.
    EXPECT_EQ(a, (3 * 1 + 8 + 104729) % 179424673 + (7 * 2 + 8 + 48611) % 86028121);

    // A failure between seeding and ending must not leave the sampler in use.
    try {
        SamplerScope scope(s, 5);
        throw ParserLimitException{"test"};
    } catch (const ParserLimitException&) {
    }
    EXPECT_FALSE(s.InUse());
    EXPECT_NO_THROW(s.Seed(5));
    s.End();
}

namespace {
double g_fakeNow = 0;
double FakeClock() { return g_fakeNow; }
} // namespace

TEST(Resources, TimeAndMemoryLimits)
{
    SetParserClock(FakeClock);
    g_fakeNow = 1000.0;
    ParseOptions* o = CreateParseOptions();
    ParserResources* r = o->resources;
    EXPECT_EQ(r->timeLimit, -1);
    EXPECT_EQ(r->memoryLimit, kNoMemoryLimit);
    g_fakeNow = 1e9;
    EXPECT_FALSE(ResourcesExhausted(r)) << "no time limit";

    ParseOptionsSetTimeLimit(o, 0);
    ResetResources(r);
    EXPECT_FALSE(TimerExpired(r)) << "equal time is not expiry";
    g_fakeNow += 0.001;
    EXPECT_TRUE(ResourcesExhausted(r));
    g_fakeNow -= 10; // the flag holds without reading the clock again
    EXPECT_TRUE(ResourcesExhausted(r));
    ResetResources(r);
    EXPECT_FALSE(ResourcesExhausted(r));
    ParseOptionsSetTimeLimit(o, -1);

    int64_t inUse = GetParserMemoryCounters().inUse;
    void* big = ParserAlloc(128000000 - static_cast<size_t>(inUse) + 10);
    ASSERT_NE(big, nullptr);
    EXPECT_FALSE(MemoryExhausted(r)) << "128,000,000 means no limit";
    ParseOptionsSetMemoryLimit(o, 127999999);
    EXPECT_TRUE(ResourcesExhausted(r));
    ParserFree(big, 128000000 - static_cast<size_t>(inUse) + 10);
    EXPECT_TRUE(ResourcesExhausted(r)) << "stays set until reset";
    ResetResources(r);
    EXPECT_FALSE(ResourcesExhausted(r));
    DeleteParseOptions(o);
    SetParserClock(nullptr);
}

TEST(ParseOptions, DefaultsAndLinkageOrder)
{
    ParseOptions* o = CreateParseOptions();
    EXPECT_EQ(o->minNullCount, 0);
    EXPECT_EQ(o->maxNullCount, 6);
    EXPECT_EQ(o->linkageLimit, 100);
    EXPECT_EQ(o->disjunctCost, 10000);
    EXPECT_EQ(o->shortLength, 6);
    EXPECT_EQ(o->screenWidth, 79);
    EXPECT_EQ(o->linkageCompare, &CompareLinkages);
    EXPECT_EQ(DeleteParseOptions(nullptr), 0);

    // violations, null words, disjunct cost, and-cost, link length; unused-word cost ignored
    LinkageInfo a{}, b{};
    a.violations = 0; a.nullWords = 5; a.disjunctCost = 9;
    b.violations = 1; b.nullWords = 0; b.disjunctCost = 0;
    EXPECT_LT(CompareLinkages(&a, &b), 0);
    b.violations = 0;
    EXPECT_GT(CompareLinkages(&a, &b), 0);
    a = b;
    a.unusedWordCost = 4;
    EXPECT_EQ(CompareLinkages(&a, &b), 0);
    a.linkLength = 3;
    EXPECT_EQ(CompareLinkages(&a, &b), 3);

    SetLinkageCompare(o, [](const void*, const void*) { return 0; });
    o->costModel = 2;
    SetLinkageCompare(o, nullptr);
    EXPECT_EQ(o->linkageCompare, &CompareLinkages);
    EXPECT_EQ(o->costModel, 0);
    DeleteParseOptions(o);
}
