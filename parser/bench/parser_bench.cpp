// Time to parse one request line with the fixture grammar and its rule file, the
// way the assistant does it: build the sentence, parse, build linkage 1, read
// its links. Each line is timed with the pruning passes and, for comparison,
// without them; the worst case with pruning is the figure that counts.
//   parser_bench [fixture folder] [repetitions]
#include "parser/core/parser_error.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/prepare/prepare.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "word_linkage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kLines[] = {
    "send me new mail",
    "Send me my new mail",
    "show the mail from john in the inbox folder",
    "please run the batch file right now.",
    "what is the weather in Paris?",
    "list 3 files",
    "check the follow-up messages",
    "delete all old messages in my inbox folder now",
    "tell him about the report today",
    "find my old letter in the big folder",
    "send the report to bob@example.com as soon as possible",
    "show me the new unread messages from alice about the weather in paris today",
    // A 30-word line that does not parse.
    ("xyzzy plugh the the foo bar send send to to from from in mail mail the a an all "
     "quux frob nitz wibble wobble zork the of to in on"),
    // Thirty words of the grammar's own vocabulary that do not make a sentence.
    ("send me the new mail from john in the inbox folder and show him all old messages "
     "about the weather in paris today please find my big report now"),
    // Lines that reach the parser from ordinary mail: a signature and a quoted reply.
    "-- John Smith | Senior Manager | Example Corp. | +1 555 0100 | john.smith@example.com | www.example.com",
    ("> On Mon, 7 Dec 2026 at 10:15, Alice <alice@example.com> wrote: please send me the new report "
     "about the weather in paris today and the old files from the inbox folder"),
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    std::string dir = argc > 1 ? argv[1] : "";
    if (dir.empty()) {
        const char* root = std::getenv("VX_SOURCE_ROOT");
        dir = std::string(root ? root : ".") + "/parser/tests/fixtures";
    }
    int reps = argc > 2 ? std::atoi(argv[2]) : 50;
    if (reps < 1)
        reps = 1;
    CGrammarDictionary dict((dir + "/fixture.dict").c_str(), "fixture.rules", nullptr, 0, nullptr);
    if (!dict.IsLoaded()) {
        std::fprintf(stderr, "cannot load %s/fixture.dict: %s\n", dir.c_str(), LastGrammarErrorText().c_str());
        return 1;
    }
    ParseOptions* opts = CreateParseOptions();
    std::vector<double> all;
    double worst = 0;
    std::printf("%-60s %8s %10s %10s %6s %12s\n", "line", "linkages", "median ms", "worst ms", "nulls",
                "unpruned ms");
    for (const char* line : kLines) {
        std::vector<double> times, unpruned;
        int valid = 0, nulls = 0;
        SetPruningPass(nullptr);
        SetExpressionPruning(nullptr);
        for (int r = 0; r < reps; ++r) {
            auto start = std::chrono::steady_clock::now();
            CSentence s(line, &dict);
            try {
                s.Parse(opts);
            } catch (const ParserLimitException&) {
            }
            unpruned.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        RestoreDefaultPruning();
        for (int r = 0; r < reps; ++r) {
            auto start = std::chrono::steady_clock::now();
            CSentence s(line, &dict);
            try {
                valid = s.Parse(opts);
                nulls = s.nullCount;
                if (s.numLinkagesPostProcessed > 0) {
                    CLinkage l(1, &s, opts);
                    delete l.GetWordLinkages();
                }
            } catch (const ParserLimitException&) {
                valid = -1;
            }
            double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            times.push_back(ms);
            all.push_back(ms);
            worst = std::max(worst, ms);
        }
        std::string shown(line);
        if (shown.size() > 58)
            shown = shown.substr(0, 55) + "...";
        std::printf("%-60s %8d %10.3f %10.3f %6d %12.3f\n", shown.c_str(), valid, Median(times),
                    *std::max_element(times.begin(), times.end()), nulls, Median(unpruned));
    }
    std::printf("all lines: median %.3f ms, worst %.3f ms (%d repetitions each)\n", Median(all), worst, reps);
    DeleteParseOptions(opts);
    return 0;
}
