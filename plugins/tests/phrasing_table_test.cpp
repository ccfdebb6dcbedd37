// The one phrasing table of the plug-ins: every request line of
// phrasing_table.tsv goes through the engine's own path - the rows of the
// plug-ins in the order the host loads them, a row tried only when its trigger
// word occurs in the line, a fresh parse with the row's dictionary (the
// plug-in's own grammar block when it carries one), the linkage the engine
// offers, link by link with the host's label and word tests - and the first
// plug-in whose reading takes it must be the row's, with the row's reading.
#include "phrasing_readers.h"

#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The engine offers the best linkage: the parser's first.
const int kLinkageOffered = 0;

std::string HostPath(const std::string& path)
{
#ifdef _WIN32
    return "Z:" + path;
#else
    return path;
#endif
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The host's wake test: the trigger word up to its subscript occurs in the
// lower-cased line; "**" rows take whole mail, never a line.
bool TriggerWakes(const std::string& trigger, const std::string& lowerLine)
{
    if (trigger == "**")
        return false;
    std::string t = Lower(trigger.substr(0, trigger.find('.')));
    if (!t.empty() && t[0] == '*')
        return true;
    return lowerLine.find(t) != std::string::npos;
}

// The host's label test: the link's label cut to the row's length.
bool LabelMatches(const std::string& rowLabel, const std::string& linkLabel)
{
    return linkLabel.substr(0, rowLabel.size()) == rowLabel;
}

// The host's word test: the word, cut to the trigger's length and
// lower-cased, begins the trigger.
bool WordMatches(const std::string& trigger, const std::string& word)
{
    std::string w = Lower(word.substr(0, trigger.size()));
    return trigger.compare(0, w.size(), w) == 0;
}

std::vector<char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Engine {
public:
    Engine()
        : m_base(std::make_unique<CGrammarDictionary>(HostPath(VX_GRAMMAR_DIR "/VindalexW.Vqt").c_str(),
                                                      Rules().c_str(), nullptr, 0, nullptr)),
          m_options(CreateParseOptions())
    {
    }
    ~Engine() { DeleteParseOptions(m_options); }
    bool Loaded() const { return m_base->IsLoaded(); }

    static std::string Rules() { return HostPath(VX_GRAMMAR_DIR "/VindalexR.Vqt"); }

    // The plug-in's own dictionary when it carries a grammar block, else the
    // start-up one.
    CGrammarDictionary* DictionaryOf(const std::string& plugin)
    {
        auto found = m_own.find(plugin);
        if (found == m_own.end()) {
            std::unique_ptr<CGrammarDictionary> own;
            m_blocks[plugin] = ReadBytes(HostPath(VX_PLUGIN_BLOCK_DIR "/" + plugin + ".block"));
            const std::vector<char>& block = m_blocks[plugin];
            if (!block.empty()) {
                own = std::make_unique<CGrammarDictionary>("", Rules().c_str(), block.data(),
                                                           static_cast<unsigned>(block.size()), nullptr);
                if (!own->IsLoaded())
                    ADD_FAILURE() << plugin << "'s grammar block does not load";
            }
            found = m_own.emplace(plugin, std::move(own)).first;
        }
        return found->second && found->second->IsLoaded() ? found->second.get() : m_base.get();
    }

    // The links of the offered linkage; empty when the line does not parse.
    std::vector<WordLinkage> Parse(const std::string& line, CGrammarDictionary* dictionary)
    {
        std::vector<WordLinkage> result;
        CSentence sentence(line.c_str(), dictionary);
        int n = 0;
        try {
            n = sentence.Parse(m_options);
        } catch (...) {
            n = 0;
        }
        if (n > 0) {
            CLinkage linkage(kLinkageOffered, &sentence, m_options);
            std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
            result = *links;
        }
        return result;
    }

    // The plug-in that takes the line, "-" for none; its reading; and the
    // parses tried, for the failure message.
    std::string Offer(const std::string& line, RequestReading& reading, std::string& trace)
    {
        std::string lower = Lower(line);
        for (const PluginRequestReader* reader : PhrasingReaders()) {
            for (int row = 0; row < reader->rowCount; ++row) {
                const std::string trigger = reader->rows[row].word;
                const std::string label = reader->rows[row].label;
                if (!TriggerWakes(trigger, lower))
                    continue;
                std::vector<WordLinkage> links = Parse(line, DictionaryOf(reader->name));
                trace += std::string(reader->name) + " " + trigger + "/" + label + ":\n" +
                         (const char*)PrintLinkages(&links);
                for (size_t i = 0; i < links.size(); ++i) {
                    const WordLinkage& link = links[i];
                    if (!LabelMatches(label, (const char*)link.m_strLinkLabel))
                        continue;
                    if (!WordMatches(trigger, (const char*)link.m_strLeftWord) &&
                        !WordMatches(trigger, (const char*)link.m_strRightWord))
                        continue;
                    reading = RequestReading();
                    if (reader->read(row, static_cast<int>(i), &links, reading))
                        return reader->name;
                }
            }
        }
        reading = RequestReading();
        return "-";
    }

private:
    std::unique_ptr<CGrammarDictionary> m_base;
    std::map<std::string, std::vector<char>> m_blocks;  // the dictionaries read from them keep pointers
    std::map<std::string, std::unique_ptr<CGrammarDictionary>> m_own;
    ParseOptions* m_options;
};

Engine& TheEngine()
{
    static Engine engine;
    return engine;
}

struct Row {
    int line;
    std::string sentence, plugin, reading, filters, recipient;
};

struct Section {
    std::string plugin;  // the "# == <Plugin>" heading
    std::vector<Row> rows;
};

std::vector<Section> LoadSections()
{
    std::vector<Section> sections;
    std::istringstream in(testsupport::ReadFile(testsupport::SourcePath("plugins/tests/phrasing_table.tsv")));
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.rfind("# == ", 0) == 0) {
            sections.push_back({text.substr(5), {}});
            continue;
        }
        if (text.empty() || text[0] == '#')
            continue;
        std::vector<std::string> f;
        for (size_t start = 0;;) {
            size_t tab = text.find('\t', start);
            f.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        f.resize(5);
        if (sections.empty())
            sections.push_back({"", {}});
        sections.back().rows.push_back({number, f[0], f[1], f[2], f[3], f[4]});
    }
    return sections;
}

void PrintTo(const Section& section, std::ostream* out)
{
    *out << "the " << section.plugin << " section";
}

bool Linked(const std::string& plugin)
{
    if (plugin == "-")
        return true;
    for (const PluginRequestReader* reader : PhrasingReaders())
        if (plugin == reader->name)
            return true;
    return false;
}

class PhrasingTable : public ::testing::TestWithParam<Section> {};

TEST_P(PhrasingTable, EveryRowReachesItsPluginWithItsReading)
{
    const Section& section = GetParam();
    ASSERT_TRUE(TheEngine().Loaded());
    if (!Linked(section.plugin))
        GTEST_SKIP() << "no reader of " << section.plugin << " is linked into this build";
    int passed = 0, tried = 0;
    std::string skipped;
    for (const Row& row : section.rows) {
        if (!Linked(row.plugin)) {
            skipped += "  line " + std::to_string(row.line) + ": " + row.plugin + "\n";
            continue;
        }
        ++tried;
        RequestReading reading;
        std::string trace;
        std::string plugin = TheEngine().Offer(row.sentence, reading, trace);
        bool ok = plugin == row.plugin;
        if (ok && plugin != "-")
            ok = row.reading == (const char*)reading.m_strReading && row.filters == (const char*)reading.m_strFilters &&
                 row.recipient == (const char*)reading.m_strRecipient;
        passed += ok ? 1 : 0;
        // VX_PHRASING_TRACE=1 shows every row's parses, for tuning the grammar.
        if (ok && std::getenv("VX_PHRASING_TRACE"))
            std::printf("line %d: %s\n%s", row.line, row.sentence.c_str(), trace.c_str());
        EXPECT_TRUE(ok) << "line " << row.line << ": " << row.sentence << "\n  wanted " << row.plugin << " '"
                        << row.reading << "' '" << row.filters << "' '" << row.recipient << "'\n  got    " << plugin
                        << " '" << (const char*)reading.m_strReading << "' '" << (const char*)reading.m_strFilters
                        << "' '" << (const char*)reading.m_strRecipient << "'\n"
                        << trace;
    }
    std::printf("%s phrasings: %d of %d give their reading\n", section.plugin.c_str(), passed, tried);
    if (!skipped.empty())
        std::printf("%s rows skipped, their plug-in's reader is not linked:\n%s", section.plugin.c_str(),
                    skipped.c_str());
}

std::string SectionName(const ::testing::TestParamInfo<Section>& info)
{
    std::string name;
    for (char c : info.param.plugin)
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name.empty() ? "Unnamed" + std::to_string(info.index) : name + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Plugins, PhrasingTable, ::testing::ValuesIn(LoadSections()), SectionName);

// Lines that are no request of any plug-in, or no sentence at all, reach no
// plug-in and break nothing.
TEST(PhrasingEngine, OddLinesReachNoPlugin)
{
    ASSERT_TRUE(TheEngine().Loaded());
    for (const char* line : {"", "   ", "\"unterminated quote", "((((", "send show what which tell stop",
                             "what which what which what which what which", "'s 's 's"}) {
        RequestReading reading;
        std::string trace;
        EXPECT_EQ(TheEngine().Offer(line, reading, trace), "-") << line << "\n" << trace;
    }
}

} // namespace
