// The date and time, picture and sound plug-ins' sections of the phrasing
// table, each line offered the way the host offers it: plug-ins in load order,
// a row only when its trigger word occurs in the line, a fresh parse with the
// dictionary the host uses for that plug-in, the offered linkage link by link
// (label cut to the row's length, trigger word at either end); the first
// reader that takes the line wins.
#include "time_reading.h"
#include "picture_reading.h"
#include "sound_reading.h"

#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string BuildPath(const char* dir, const std::string& name)
{
#ifdef _WIN32
    return std::string("Z:") + dir + "/" + name;
#else
    return std::string(dir) + "/" + name;
#endif
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Horolux's escapes: the texts its module hands the host for "^1^" and "^2^".
const char* HoroluxEscape(int row, int code)
{
    if (code != 11)
        return nullptr;
    if (row == -1)
        return "% Horolux Macro Expand Test 1 %";
    if (row == -2)
        return "% Horolux Macro Expand Test 2 %";
    return nullptr;
}

struct LoadedReader {
    const PluginRequestReader* reader;
    const char* block;  // the plug-in's own grammar block, or null for the assistant's
    GrammarEscapeCallback escapes;
};

// In the order the host loads them (its folder listing, by name).
const LoadedReader kReaders[] = {
    {&kHoroluxReader, "Horolux.block", HoroluxEscape},
    {&kOcavioReader, nullptr, nullptr},
    {&kRuveloReader, nullptr, nullptr},
};

class Grammars {
public:
    Grammars() : m_options(CreateParseOptions())
    {
        m_main = std::make_unique<CGrammarDictionary>(BuildPath(VX_GRAMMAR_DIR, "VindalexW.Vqt").c_str(),
                                                      BuildPath(VX_GRAMMAR_DIR, "VindalexR.Vqt").c_str(), nullptr,
                                                      0, nullptr);
        for (const LoadedReader& r : kReaders) {
            if (!r.block)
                continue;
            m_blocks[r.reader] = testsupport::ReadFile(BuildPath(VX_BLOCK_DIR, r.block));
            const std::string& bytes = m_blocks[r.reader];
            m_own[r.reader] = std::make_unique<CGrammarDictionary>(
                "", BuildPath(VX_GRAMMAR_DIR, "VindalexR.Vqt").c_str(), bytes.data(),
                static_cast<unsigned>(bytes.size()), r.escapes);
        }
    }
    ~Grammars() { DeleteParseOptions(m_options); }

    bool Loaded() const
    {
        if (!m_main->IsLoaded())
            return false;
        for (const auto& own : m_own)
            if (!own.second->IsLoaded())
                return false;
        return true;
    }

    std::vector<WordLinkage> Parse(const LoadedReader& r, const std::string& line)
    {
        auto own = m_own.find(r.reader);
        CGrammarDictionary* dict = own != m_own.end() ? own->second.get() : m_main.get();
        std::vector<WordLinkage> result;
        CSentence sentence(line.c_str(), dict);
        int n = 0;
        try {
            n = sentence.Parse(m_options);
        } catch (...) {
            n = 0;
        }
        if (n > 0) {
            CLinkage linkage(0, &sentence, m_options);
            std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
            result = *links;
        }
        return result;
    }

    // The name of the plug-in that takes the line ("-" for none) and its reading.
    std::string Offer(const std::string& line, RequestReading& reading, std::string& trace)
    {
        std::string lower = Lower(line);
        for (const LoadedReader& r : kReaders) {
            for (int row = 0; row < r.reader->rowCount; ++row) {
                std::string trigger = r.reader->rows[row].word;
                std::string label = r.reader->rows[row].label;
                if (lower.find(trigger.substr(0, trigger.find('.'))) == std::string::npos)
                    continue;
                std::vector<WordLinkage> links = Parse(r, line);
                trace += std::string(r.reader->name) + ":\n" + (const char*)PrintLinkages(&links);
                for (size_t i = 0; i < links.size(); ++i) {
                    const WordLinkage& link = links[i];
                    std::string linkLabel = (const char*)link.m_strLinkLabel;
                    if (linkLabel.substr(0, label.size()) != label)
                        continue;
                    if (!WordMatches(trigger, (const char*)link.m_strLeftWord) &&
                        !WordMatches(trigger, (const char*)link.m_strRightWord))
                        continue;
                    RequestReading candidate;
                    if (r.reader->read(row, static_cast<int>(i), &links, candidate)) {
                        reading = candidate;
                        return r.reader->name;
                    }
                }
            }
        }
        return "-";
    }

private:
    // The host's word test: the word, cut to the trigger's length, begins the trigger.
    static bool WordMatches(const std::string& trigger, const std::string& word)
    {
        std::string w = Lower(word.substr(0, trigger.size()));
        return trigger.compare(0, w.size(), w) == 0;
    }

    std::unique_ptr<CGrammarDictionary> m_main;
    std::map<const PluginRequestReader*, std::string> m_blocks;
    std::map<const PluginRequestReader*, std::unique_ptr<CGrammarDictionary>> m_own;
    ParseOptions* m_options;
};

Grammars& TheGrammars()
{
    static Grammars grammars;
    return grammars;
}

struct Row {
    std::string section;
    std::string sentence, plugIn, reading, filters, recipient;
};

std::vector<Row> LoadSections()
{
    std::vector<Row> rows;
    std::istringstream in(testsupport::ReadFile(testsupport::SourcePath("plugins/tests/phrasing_table.tsv")));
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("# == ", 0) == 0) {
            section = line.substr(5);
            continue;
        }
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
        rows.push_back({section, f[0], f[1], f[2], f[3], f[4]});
    }
    return rows;
}

bool Linked(const std::string& name)
{
    if (name == "-")
        return true;
    for (const LoadedReader& r : kReaders)
        if (name == r.reader->name)
            return true;
    return false;
}

class PhrasingSection : public ::testing::TestWithParam<const char*> {};

TEST_P(PhrasingSection, EveryRowGivesItsPlugInAndReading)
{
    ASSERT_TRUE(TheGrammars().Loaded());
    std::string section = GetParam();
    bool any = false;
    int passed = 0, offered = 0;
    for (const Row& row : LoadSections()) {
        if (row.section != section)
            continue;
        any = true;
        if (!Linked(row.plugIn)) {
            std::printf("skipped (no reader of %s here): %s\n", row.plugIn.c_str(), row.sentence.c_str());
            continue;
        }
        RequestReading reading;
        std::string trace;
        std::string taker = TheGrammars().Offer(row.sentence, reading, trace);
        ++offered;
        bool ok = taker == row.plugIn &&
                  (taker == "-" || (row.reading == (const char*)reading.m_strReading &&
                                    row.filters == (const char*)reading.m_strFilters &&
                                    row.recipient == (const char*)reading.m_strRecipient));
        passed += ok ? 1 : 0;
        if (!ok)
            std::printf("row not met: %s -> %s '%s' '%s'\n", row.sentence.c_str(), taker.c_str(),
                        (const char*)reading.m_strReading, (const char*)reading.m_strRecipient);
        EXPECT_EQ(taker, row.plugIn) << row.sentence << "\n" << trace;
        if (taker != row.plugIn || taker == "-")
            continue;
        EXPECT_EQ((const char*)reading.m_strReading, row.reading) << row.sentence;
        EXPECT_EQ((const char*)reading.m_strFilters, row.filters) << row.sentence;
        EXPECT_EQ((const char*)reading.m_strRecipient, row.recipient) << row.sentence << "\n" << trace;
    }
    std::printf("%s: %d of %d rows give their plug-in and reading\n", section.c_str(), passed, offered);
    EXPECT_TRUE(any) << "no section " << section << " in the table";
}

INSTANTIATE_TEST_SUITE_P(ShowingPlugIns, PhrasingSection, ::testing::Values("Horolux", "Ocavio", "Ruvelo"));

// Lines that are no request of the grammar give no reading, and nothing
// crashes on odd input.
TEST(PhrasingRows, OddLinesGoToNoPlugIn)
{
    ASSERT_TRUE(TheGrammars().Loaded());
    for (const char* line : {"", "   ", "show show show show", "((((", "what", "\"see the house",
                             "time calendar clock date day month", "hear hear hear hear hear"}) {
        RequestReading reading;
        std::string trace;
        EXPECT_EQ(TheGrammars().Offer(line, reading, trace), "-") << line << "\n" << trace;
    }
}

// A link list without the reader's link, or none at all, reads as nothing.
TEST(PhrasingRows, ReadersRefuseEmptyAndForeignLinks)
{
    std::vector<WordLinkage> foreign = {WordLinkage("show.v", "Os", "garden.n", 1, 3),
                                        WordLinkage("hear.v", "Op", "garden.n", 1, 3)};
    for (const LoadedReader& r : kReaders) {
        RequestReading reading;
        EXPECT_FALSE(r.reader->read(0, 0, nullptr, reading)) << r.reader->name;
        EXPECT_FALSE(r.reader->read(0, 0, &foreign, reading)) << r.reader->name;
    }
    EXPECT_EQ(FindTimeObject(nullptr), -1);
}

} // namespace
