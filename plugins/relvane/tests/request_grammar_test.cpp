// Forward requests in many phrasings, parsed with the packed request grammar and
// offered to the plug-in's rows the way the host offers them; each must give
// the reading of its table row.
#include "forward_reading.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Row {
    const char* word;
    const char* label;
};
// The plug-in's twelve action rows.
const Row kRows[] = {{"send.v", "O*n"}, {"send.v", "Opn"}, {"send.v", "Op"}, {"show", "O*n"},
                     {"show", "Opn"},   {"show", "Op"},    {"what", "O*n"},   {"what", "Opn"},
                     {"what", "Op"},    {"which", "O*n"},  {"which", "Opn"},  {"which", "Op"}};
const char* const kTriggers[] = {"send.v", "send.v", "send.v", "show",  "show",  "show",
                                 "what",   "what",   "what",   "which", "which", "which"};

std::string GrammarPath(const char* name)
{
#ifdef _WIN32
    return std::string("Z:") + VX_GRAMMAR_DIR + "/" + name;
#else
    return std::string(VX_GRAMMAR_DIR) + "/" + name;
#endif
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The host's label test: the link's label cut to the row's length.
bool LabelMatches(const std::string& rowLabel, const std::string& linkLabel)
{
    return linkLabel.substr(0, rowLabel.size()) == rowLabel;
}

// The host's word test: the word (cut to the trigger's length) begins the trigger.
bool WordMatches(const std::string& trigger, const std::string& word)
{
    std::string w = Lower(word.substr(0, trigger.size()));
    return trigger.compare(0, w.size(), w) == 0;
}

class RequestGrammar {
public:
    RequestGrammar()
        : m_dict(std::make_unique<CGrammarDictionary>(GrammarPath("VindalexW.Vqt").c_str(),
                                                      GrammarPath("VindalexR.Vqt").c_str(), nullptr, 0, nullptr)),
          m_options(CreateParseOptions())
    {
    }
    ~RequestGrammar() { DeleteParseOptions(m_options); }
    bool Loaded() const { return m_dict->stringSet != nullptr; }

    // The links of linkage 1 (the last when there is only one); empty when the
    // line does not parse.
    std::vector<WordLinkage> Parse(const std::string& line, int* linkages = nullptr)
    {
        std::vector<WordLinkage> result;
        CSentence sentence(line.c_str(), m_dict.get());
        int n = 0;
        try {
            n = sentence.Parse(m_options);
        } catch (...) {
            n = 0;
        }
        if (linkages)
            *linkages = n;
        if (n > 0) {
            CLinkage linkage(1, &sentence, m_options);
            std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
            result = *links;
        }
        return result;
    }

    // What the host does with the line for this plug-in: every row whose
    // trigger word occurs, on a fresh parse, link by link; the first reading
    // that is the plug-in's wins.
    bool Offer(const std::string& line, ForwardReading& reading, std::string& trace)
    {
        std::string lower = Lower(line);
        for (const Row& row : kRows) {
            std::string trigger = row.word;
            std::string cut = trigger.substr(0, trigger.find('.'));
            if (lower.find(cut) == std::string::npos)
                continue;
            std::vector<WordLinkage> links = Parse(line);
            trace = (const char*)PrintLinkages(&links);
            for (size_t i = 0; i < links.size(); ++i) {
                const WordLinkage& link = links[i];
                if (!LabelMatches(row.label, (const char*)link.m_strLinkLabel))
                    continue;
                if (!WordMatches(trigger, (const char*)link.m_strLeftWord) &&
                    !WordMatches(trigger, (const char*)link.m_strRightWord))
                    continue;
                if (ReadForwardRequest(kTriggers, 12, static_cast<int>(i), &links, 1, 1, reading))
                    return true;
            }
        }
        return false;
    }

private:
    std::unique_ptr<CGrammarDictionary> m_dict;
    ParseOptions* m_options;
};

struct Case {
    std::string sentence;
    bool handled;
    int reading;
    std::string filter;
    std::string recipient;
};

std::vector<Case> LoadCases()
{
    std::vector<Case> cases;
    std::istringstream in(testsupport::ReadFile(testsupport::SourcePath("plugins/relvane/tests/forward_requests.tsv")));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> f;
        size_t start = 0;
        for (;;) {
            size_t tab = line.find('\t', start);
            f.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        f.resize(5);
        cases.push_back({f[0], f[1] == "1", std::atoi(f[2].c_str()), f[3], f[4]});
    }
    return cases;
}

RequestGrammar& Grammar()
{
    static RequestGrammar grammar;
    return grammar;
}

TEST(RequestGrammar, PackedContainersLoad)
{
    ASSERT_TRUE(Grammar().Loaded());
}

TEST(RequestGrammar, EveryForwardPhrasingGivesItsReading)
{
    ASSERT_TRUE(Grammar().Loaded());
    std::vector<Case> cases = LoadCases();
    ASSERT_GE(cases.size(), 20u);
    int passed = 0;
    for (const Case& c : cases) {
        ForwardReading reading;
        std::string trace;
        bool handled = Grammar().Offer(c.sentence, reading, trace);
        bool ok = handled == c.handled;
        if (ok && handled)
            ok = reading.Number() == c.reading && c.filter == (const char*)reading.m_strSenderFilter &&
                 c.recipient == (const char*)reading.m_strRecipient;
        if (ok)
            ++passed;
        EXPECT_TRUE(ok) << c.sentence << "\n  got handled=" << handled << " reading=" << reading.Number()
                        << " filter='" << (const char*)reading.m_strSenderFilter << "' recipient='"
                        << (const char*)reading.m_strRecipient << "' object='" << (const char*)reading.m_strObject
                        << "'\n" << trace;
    }
    std::printf("forward phrasings: %d of %d give their reading\n", passed, static_cast<int>(cases.size()));
}

// The plug-in's test sentence reaches one of its rows and reads as 7.
TEST(RequestGrammar, TestSentenceReadsSeven)
{
    ForwardReading reading;
    std::string trace;
    ASSERT_TRUE(Grammar().Offer("Please send me new messages without attachments.", reading, trace)) << trace;
    EXPECT_EQ(reading.Number(), 7) << trace;
}

// A line that is no sentence of the grammar parses to nothing rather than to
// a reading, and nothing crashes on odd input.
TEST(RequestGrammar, OddLinesGiveNoReading)
{
    for (const char* line : {"", "   ", "messages messages messages", "((((", "send", "\"unterminated quote",
                             "what which what which what which what which"}) {
        ForwardReading reading;
        std::string trace;
        EXPECT_FALSE(Grammar().Offer(line, reading, trace)) << line << "\n" << trace;
    }
}

} // namespace
