// Time to parse one request line with the fixture grammar, the way the
// assistant does it: build the sentence, parse, build linkage 1, read its links.
//   parser_bench [fixture folder] [repetitions]
#include "parser/core/parser_error.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
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
    CGrammarDictionary dict((dir + "/fixture.dict").c_str(), nullptr, nullptr, 0, nullptr);
    if (!dict.IsLoaded()) {
        std::fprintf(stderr, "cannot load %s/fixture.dict: %s\n", dir.c_str(), LastGrammarErrorText().c_str());
        return 1;
    }
    ParseOptions* opts = CreateParseOptions();
    std::vector<double> all;
    double worst = 0;
    std::printf("%-60s %8s %10s %10s %6s\n", "line", "linkages", "median ms", "worst ms", "nulls");
    for (const char* line : kLines) {
        std::vector<double> times;
        int valid = 0, nulls = 0;
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
        std::printf("%-60s %8d %10.3f %10.3f %6d\n", shown.c_str(), valid, Median(times),
                    *std::max_element(times.begin(), times.end()), nulls);
    }
    std::printf("all lines: median %.3f ms, worst %.3f ms (%d repetitions each)\n", Median(all), worst, reps);
    DeleteParseOptions(opts);
    return 0;
}
