// Time to parse one request line with the fixture grammar and its rule file, the
// way the assistant does it: build the sentence, parse, build linkage 1, read
// its links. Each line is timed with the pruning passes and, for comparison,
// without them; the worst case with pruning is the figure that counts.
// Then long lines (40 to 200 words) with the program's own grammar, each parsed
// once without a time or memory limit (cut off after --uncapped seconds) and
// once with the budget the assistant gives a request line, and the parser
// memory that a 200-word line takes.
//   parser_bench [fixture folder] [repetitions] [--uncapped seconds] [--only TEXT]
// (--only: just the long lines whose name holds TEXT, e.g. "200 words, random").
#include "parser/core/parser_error.h"
#include "parser/core/parser_memory.h"
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
#include <cstring>
#include <memory>
#include <random>
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

// Noun phrases joined by "and", "or" and "but", the way a long request lists things.
std::string Conjunctions(int words)
{
    const char* const phrases[] = {"the new mail from john", "the old files", "my big report", "all the pictures",
                                   "the messages from alice", "the summary of today", "your latest reports"};
    const char* const joins[] = {"and", "or", "but", "and"};
    std::string line = "please send me";
    int n = 3;
    for (int i = 0; n < words; ++i) {
        std::string phrase = phrases[i % 7];
        line += " " + phrase;
        n += 1 + static_cast<int>(std::count(phrase.begin(), phrase.end(), ' '));
        if (n < words) {
            line += std::string(" ") + joins[i % 4];
            ++n;
        }
    }
    return line;
}

// The grammar's own words in random order (the same order every run).
std::string RandomVocabulary(int words, unsigned seed)
{
    const char* const vocabulary[] = {
        "send", "show", "give", "forward", "me", "him", "us", "the", "a", "all", "my", "your", "new", "old",
        "last", "urgent", "mail", "messages", "files", "report", "reports", "pictures", "summary", "list",
        "from", "to", "with", "of", "by", "please", "now", "today", "and", "or", "is", "are", "what", "it",
        "that", "could", "you", "attachment", "john", "alice", ",", "."};
    std::mt19937 random(seed);
    std::string line;
    for (int i = 0; i < words; ++i)
        line += std::string(i ? " " : "") + vocabulary[random() % (sizeof vocabulary / sizeof *vocabulary)];
    return line;
}

// Quoted names and addresses between ordinary words.
std::string QuotedNames(int words)
{
    const char* const parts[] = {"alert me when new mail arrives from", "\"John Smith\"", "or", "(Ann Lee)",
                                 "and", "\"bob@example.com\"", "about", "\"the weather in Paris\"", "or"};
    std::string line;
    int n = 0;
    for (int i = 0; n < words; ++i) {
        std::string part = parts[i % 9];
        line += (line.empty() ? "" : " ") + part;
        n += 1 + static_cast<int>(std::count(part.begin(), part.end(), ' '));
    }
    return line;
}

// A paragraph pasted into a request mail: ordinary prose, mostly unknown words.
std::string Paragraph(int words)
{
    const char* const text =
        "Hi all, as discussed in yesterday's meeting we will move the quarterly review to next Thursday "
        "afternoon, so please send me your updated figures and the old reports from the shared folder by "
        "Wednesday evening. If anything is missing, forward the messages from John and Alice to the team, "
        "and show the new pictures of the office to everyone who could not attend; the summary of today "
        "and the list of open questions will follow in a separate mail, together with the minutes and a "
        "short note about the budget, the travel plans and the new printers for the second floor. Thanks "
        "again for your patience while we sort out the details with the landlord and the cleaning company.";
    std::vector<std::string> all;
    for (const char* p = text; *p;) {
        const char* e = std::strchr(p, ' ');
        size_t len = e ? static_cast<size_t>(e - p) : std::strlen(p);
        all.emplace_back(p, len);
        p += len;
        while (*p == ' ')
            ++p;
    }
    std::string line;
    for (int i = 0; i < words; ++i)
        line += (i ? " " : "") + all[static_cast<size_t>(i) % all.size()];
    return line;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Timed {
    double ms = 0;
    int valid = 0;
    int nulls = 0;
    bool cut = false;
    int64_t peakBytes = 0;
};

// One parse of the line the way the engine does it: the sentence, the parse,
// the linkage it offers with its links.
Timed ParseLine(const std::string& line, CGrammarDictionary& dict, ParseOptions* opts)
{
    Timed t;
    ResetParserMemoryPeak();
    int64_t before = GetParserMemoryCounters().inUse;
    auto start = std::chrono::steady_clock::now();
    if (ParseOptionsGetMemoryLimit(opts) != kNoMemoryLimit)
        ParseOptionsStartRequestLineBudget(opts); // the budget
    else
        ParseOptionsResetResources(opts);
    {
        CSentence s(line.c_str(), &dict);
        try {
            t.valid = s.Parse(opts);
            t.nulls = s.nullCount;
            if (t.valid > 0) {
                CLinkage l(0, &s, opts);
                delete l.GetWordLinkages();
            }
        } catch (const ParserLimitException&) {
            t.valid = -1;
        }
        t.cut = ParseOptionsResourcesExhausted(opts);
    }
    t.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    t.peakBytes = GetParserMemoryCounters().maxInUse - before;
    return t;
}

void LongLines(int uncappedSeconds, const char* only)
{
#ifdef VX_GRAMMAR_DIR
    std::string dir = VX_GRAMMAR_DIR;
    CGrammarDictionary dict((dir + "/VindalexW.Vqt").c_str(), (dir + "/VindalexR.Vqt").c_str(), nullptr, 0, nullptr);
    if (!dict.IsLoaded()) {
        std::fprintf(stderr, "cannot load the grammar from %s: %s\n", dir.c_str(), LastGrammarErrorText().c_str());
        return;
    }
    struct Line {
        std::string name, text;
    };
    std::vector<Line> lines;
    lines.push_back({"20 words, an ordinary request",
                     "please send me the new mail from john and the latest report with all the pictures of today right now"});
    for (int n : {20, 40, 60, 100, 200}) {
        lines.push_back({std::to_string(n) + " words, conjunctions", Conjunctions(n)});
        lines.push_back({std::to_string(n) + " words, random vocabulary", RandomVocabulary(n, static_cast<unsigned>(n))});
        lines.push_back({std::to_string(n) + " words, quoted names", QuotedNames(n)});
        lines.push_back({std::to_string(n) + " words, pasted paragraph", Paragraph(n)});
    }
    ParseOptions* budget = CreateParseOptions();
    ParseOptionsStartRequestLineBudget(budget);
    ParseOptions* none = CreateParseOptions();
    ParseOptionsSetTimeLimit(none, uncappedSeconds);
    if (!only) {
        Timed m = ParseLine(Conjunctions(200), dict, none);
        std::printf("\nparser memory of a 200-word line with conjunctions, no budget: %.1f MB%s\n",
                    static_cast<double>(m.peakBytes) / 1e6, m.cut ? " (cut off)" : "");
        Timed mb = ParseLine(Conjunctions(200), dict, budget);
        std::printf("the same line within the request budget: %.1f MB\n", static_cast<double>(mb.peakBytes) / 1e6);
    }

    std::printf("\n%-36s %14s %8s %14s %8s\n", "long line (program grammar)", "no budget ms", "valid", "budget ms",
                "valid");
    for (const Line& l : lines) {
        if (only && l.name.find(only) == std::string::npos)
            continue;
        // Quick lines are timed as the median of several parses, the first of
        // which pays for touching fresh memory.
        auto timed = [&](ParseOptions* o) {
            Timed t = ParseLine(l.text, dict, o);
            if (t.ms >= 50)
                return t;
            std::vector<double> ms{t.ms};
            for (int r = 0; r < 20; ++r)
                ms.push_back(ParseLine(l.text, dict, o).ms);
            t.ms = Median(ms);
            return t;
        };
        Timed before = timed(none);
        Timed after = timed(budget);
        char b[32];
        std::snprintf(b, sizeof b, before.cut ? ">%.0f (cut)" : "%.1f", before.ms);
        std::printf("%-36s %14s %8d %14.1f %8d%s\n", l.name.c_str(), b, before.valid, after.ms, after.valid,
                    after.cut ? " (budget spent)" : "");
    }
    DeleteParseOptions(none);
    DeleteParseOptions(budget);
#else
    (void)uncappedSeconds;
    (void)only;
#endif
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
    int uncapped = 60;
    const char* only = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--uncapped") == 0)
            uncapped = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--only") == 0)
            only = argv[i + 1];
    }
    if (only) {
        LongLines(uncapped, only);
        return 0;
    }
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
    LongLines(uncapped, nullptr);
    return 0;
}
