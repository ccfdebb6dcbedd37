// The phrasing table's rows of the plug-ins that answer with summaries,
// listings, files and programs, offered the way the host offers a request
// line: plug-ins in load order, every row whose trigger word occurs in the
// line, a fresh parse, the linkage the engine takes, link by link (label cut
// to the row's length, word test); the first reading wins. Relvane reads
// beside them, since its requests are their nearest neighbours.
#include "request_reading.h"

#include "forward_reading.h"
#include "file_reading.h"
#include "listing_reading.h"
#include "run_reading.h"
#include "summary_reading.h"

#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const RequestRow kForwardRows[] = {
    {"send.v", "O*n"}, {"send.v", "Opn"}, {"send.v", "Op"}, {"show", "O*n"},  {"show", "Opn"},  {"show", "Op"},
    {"what", "O*n"},   {"what", "Opn"},   {"what", "Op"},   {"which", "O*n"}, {"which", "Opn"}, {"which", "Op"},
};

bool ReadForward(int, int linkIndex, const std::vector<WordLinkage>* links, RequestReading& reading)
{
    const char* triggers[12];
    for (int i = 0; i < 12; ++i)
        triggers[i] = kForwardRows[i].word;
    ForwardReading forward;
    if (!ReadForwardRequest(triggers, 12, linkIndex, links, 1, 1, forward))
        return false;
    reading.m_strReading.Format("%d", forward.Number());
    reading.m_strFilters = forward.m_strSenderFilter;
    reading.m_strRecipient = forward.m_strRecipient;
    return true;
}

const PluginRequestReader kForwardReader = {"Relvane", kForwardRows, 12, ReadForward};

// In the order the host loads the plug-ins (their files' names).
const PluginRequestReader* const kReaders[] = {&kListavoReader, &kParcavoReader, &kForwardReader, &kSkrivoReader,
                                               &kSumvaneReader};
// The sections of the table these readers answer for.
const std::set<std::string> kSections = {"Sumvane", "Skrivo", "Listavo", "Parcavo"};

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

bool LabelMatches(const std::string& rowLabel, const std::string& linkLabel)
{
    return linkLabel.substr(0, rowLabel.size()) == rowLabel;
}

bool WordMatches(const std::string& trigger, const std::string& word)
{
    std::string w = Lower(word.substr(0, trigger.size()));
    return trigger.compare(0, w.size(), w) == 0;
}

struct Offered {
    std::string plugin = "-";
    RequestReading reading;
    std::string trace;
};

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

    std::vector<WordLinkage> Parse(const std::string& line)
    {
        std::vector<WordLinkage> result;
        CSentence sentence(line.c_str(), m_dict.get());
        int n = 0;
        try {
            n = sentence.Parse(m_options);
        } catch (...) {
            n = 0;
        }
        if (n > 0) {
            CLinkage linkage(1, &sentence, m_options);
            std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
            result = *links;
        }
        return result;
    }

    Offered Offer(const std::string& line)
    {
        Offered offered;
        std::string lower = Lower(line);
        for (const PluginRequestReader* reader : kReaders) {
            for (int row = 0; row < reader->rowCount; ++row) {
                std::string trigger = reader->rows[row].word;
                if (lower.find(trigger.substr(0, trigger.find('.'))) == std::string::npos)
                    continue;
                std::vector<WordLinkage> links = Parse(line);
                offered.trace = (const char*)PrintLinkages(&links);
                for (size_t i = 0; i < links.size(); ++i) {
                    const WordLinkage& link = links[i];
                    if (!LabelMatches(reader->rows[row].label, (const char*)link.m_strLinkLabel))
                        continue;
                    if (!WordMatches(trigger, (const char*)link.m_strLeftWord) &&
                        !WordMatches(trigger, (const char*)link.m_strRightWord))
                        continue;
                    RequestReading reading;
                    if (reader->read(row, static_cast<int>(i), &links, reading)) {
                        offered.plugin = reader->name;
                        offered.reading = reading;
                        return offered;
                    }
                }
            }
        }
        return offered;
    }

private:
    std::unique_ptr<CGrammarDictionary> m_dict;
    ParseOptions* m_options;
};

struct TableRow {
    std::string section;
    std::string sentence, plugin, reading, filters, recipient;
};

std::vector<TableRow> LoadRows()
{
    std::vector<TableRow> rows;
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

RequestGrammar& Grammar()
{
    static RequestGrammar grammar;
    return grammar;
}

// A row naming a plug-in none of these readers stands for only needs none of
// those that load before it to take the line.
bool Known(const std::string& plugin)
{
    for (const PluginRequestReader* reader : kReaders)
        if (plugin == reader->name)
            return true;
    return plugin == "-";
}

TEST(ActionPhrasing, EveryRowReachesItsPlugInWithItsReading)
{
    ASSERT_TRUE(Grammar().Loaded());
    int passed = 0, total = 0;
    for (const TableRow& row : LoadRows()) {
        if (!kSections.count(row.section))
            continue;
        ++total;
        Offered got = Grammar().Offer(row.sentence);
        bool ok;
        if (Known(row.plugin))
            ok = got.plugin == row.plugin &&
                 (row.plugin == "-" || (row.reading == (const char*)got.reading.m_strReading &&
                                        row.filters == (const char*)got.reading.m_strFilters &&
                                        row.recipient == (const char*)got.reading.m_strRecipient));
        else
            ok = got.plugin == "-";
        if (ok)
            ++passed;
        EXPECT_TRUE(ok) << "[" << row.section << "] " << row.sentence << "\n  want " << row.plugin << " '"
                        << row.reading << "' '" << row.filters << "' '" << row.recipient << "'\n  got  " << got.plugin
                        << " '" << (const char*)got.reading.m_strReading << "' '"
                        << (const char*)got.reading.m_strFilters << "' '" << (const char*)got.reading.m_strRecipient
                        << "'\n" << got.trace;
    }
    std::printf("action phrasings: %d of %d reach their plug-in with their reading\n", passed, total);
}

// Lines that are no request of these plug-ins give no reading and nothing
// crashes on odd input.
TEST(ActionPhrasing, OddLinesGiveNoReading)
{
    for (const char* line : {"", "   ", "send send send", "\"unterminated quote", "run (", "show ))))",
                             "send me a list of", "run \"\"", "send me the file \"\""}) {
        Offered got = Grammar().Offer(line);
        EXPECT_EQ(got.plugin, "-") << line << "\n" << got.trace;
    }
}

} // namespace
