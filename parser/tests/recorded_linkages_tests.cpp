// Whole parses of request lines (with the fixture grammar and its rule file)
// against a record of their results: counts, null count, and every post-processed
// linkage in its sorted place with its links and record. The long lines here
// are the expensive ones (null words, conjunctions); any change to how the
// parser gets its answers must leave these answers exactly as they are.
// Set VX_WRITE_RECORDED_LINKAGES=<file> to write the current results instead.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sampling.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

const char* const kLines[] = {
    "send me new mail",
    "show the mail from john in the inbox folder",
    "please run the batch file right now.",
    "delete all old messages in my inbox folder now",
    "show me the new unread messages from alice about the weather in paris today",
    "send the report and the files to bob",
    "show the new mail and delete the old messages",
    // Thirty words that do not parse.
    "xyzzy plugh the the foo bar send send to to from from in mail mail the a an all "
    "quux frob nitz wibble wobble zork the of to in on",
    // Thirty words with a conjunction: parses only with several null words.
    "send me the new mail from john in the inbox folder and show him all old messages "
    "about the weather in paris today please find my big report now",
    "-- John Smith | Senior Manager | Example Corp. | +1 555 0100 | john.smith@example.com | www.example.com",
    "> On Mon, 7 Dec 2026 at 10:15, Alice <alice@example.com> wrote: please send me the new report "
    "about the weather in paris today and the old files from the inbox folder",
};

// Everything a caller can read from one parse, one line per linkage.
std::string Describe(const char* text, CGrammarDictionary& dict, ParseOptions* opts)
{
    std::ostringstream out;
    out << "line: " << text << "\n";
    CSentence s(text, &dict);
    int valid = -1;
    try {
        valid = s.Parse(opts);
    } catch (const ParserLimitException&) {
        out << "limit\n";
    }
    out << "found " << s.numLinkagesFound << " alloced " << s.numLinkagesAlloced << " postprocessed "
        << s.numLinkagesPostProcessed << " valid " << valid << " nulls " << s.nullCount << "\n";
    for (int i = 0; i < s.numLinkagesPostProcessed; ++i) {
        CLinkage l(i, &s, opts);
        const LinkageInfo& info = l.GetInfo();
        out << i << ": index " << info.index << " fat " << int(info.fat) << " canonical " << int(info.canonical)
            << " improper " << int(info.improperFat) << " violations " << info.violations << " nulls "
            << info.nullWords << " cost " << info.disjunctCost << " and " << info.andCost << " length "
            << info.linkLength << "\n";
        for (int sub = 0; sub < l.GetNumSublinkages(); ++sub) {
            l.SetCurrent(sub);
            out << "  " << sub << ":";
            for (int k = 0; k < l.GetNumLinks(); ++k)
                out << " " << l.GetLinkLeftWord(k) << "-" << l.GetLinkRightWord(k) << ":" << l.GetLinkLabel(k) << "("
                    << l.GetLinkLeftConnector(k) << "," << l.GetLinkRightConnector(k) << ")";
            const char* violation = l.GetViolationName();
            out << " | " << (violation ? violation : "") << "\n";
        }
    }
    return out.str();
}

} // namespace

TEST(RecordedLinkages, LongLinesKeepTheirResults)
{
    // The word files are found from the current folder.
    fixture::ScopedCurrentDir cd(testsupport::SourcePath("parser/tests/fixtures"));
    CGrammarDictionary dict("fixture.dict", "fixture.rules", nullptr, 0, nullptr);
    ASSERT_TRUE(dict.IsLoaded()) << LastGrammarErrorText();
    ASSERT_NE(dict.postProcessor, nullptr);
    std::unique_ptr<ParseOptions, int (*)(ParseOptions*)> opts(CreateParseOptions(), DeleteParseOptions);

    std::string actual;
    for (const char* line : kLines)
        actual += Describe(line, dict, opts.get());
    if (const char* out = std::getenv("VX_WRITE_RECORDED_LINKAGES")) {
        ASSERT_TRUE(testsupport::WriteFile(out, actual));
        GTEST_SKIP() << "written to " << out;
    }

    std::string expected = testsupport::ReadFile(testsupport::SourcePath("parser/tests/fixtures/recorded_linkages.txt"));
    ASSERT_FALSE(expected.empty());
    // Compared line by line so that a difference names its sentence and linkage.
    std::istringstream a(actual), e(expected);
    std::string al, el, sentence;
    for (int n = 1;; ++n) {
        bool more = static_cast<bool>(std::getline(e, el));
        bool moreActual = static_cast<bool>(std::getline(a, al));
        if (!more && !moreActual)
            break;
        if (more && el.rfind("line: ", 0) == 0)
            sentence = el;
        ASSERT_EQ(moreActual ? al : "<end>", more ? el : "<end>") << "record line " << n << ", " << sentence;
    }
}

TEST(RecordedLinkages, ReadingsReadAgainGiveTheSameResults)
{
    // The second pass over a long line reuses the first pass's readings of
    // conjunction linkages only while they are small together; reading them
    // again must give exactly the same answers.
    fixture::ScopedCurrentDir cd(testsupport::SourcePath("parser/tests/fixtures"));
    CGrammarDictionary dict("fixture.dict", "fixture.rules", nullptr, 0, nullptr);
    ASSERT_TRUE(dict.IsLoaded()) << LastGrammarErrorText();
    std::unique_ptr<ParseOptions, int (*)(ParseOptions*)> opts(CreateParseOptions(), DeleteParseOptions);
    for (const char* line : kLines) {
        std::string kept = Describe(line, dict, opts.get());
        SetKeptReadingLinks(1);
        std::string readAgain = Describe(line, dict, opts.get());
        SetKeptReadingLinks(0);
        EXPECT_EQ(readAgain, kept);
    }
}
