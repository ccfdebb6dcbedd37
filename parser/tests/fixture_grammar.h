// Loads the tests' fixture grammar, packed as the program receives it.
#pragma once
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/pack/grammar_pack.h"
#include "testsupport/testsupport.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fixture {

// Makes the current folder `dir` for the life of the object (word files are
// found beside the dictionary).
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::string& dir) : m_old(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~ScopedCurrentDir() { std::filesystem::current_path(m_old); }

private:
    std::filesystem::path m_old;
};

inline std::string FixtureText(const std::string& name)
{
    return testsupport::ReadFile(testsupport::SourcePath("parser/tests/fixtures/" + name));
}

// Packs `text` (and the fixture's word file) into a temporary folder and loads it.
inline std::unique_ptr<CGrammarDictionary> LoadDictionaryText(const std::string& text)
{
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("fixture.dict"), PackGrammarFile(text));
    testsupport::WriteFile(dir.file("fixture-nouns.words"), PackGrammarFile(FixtureText("fixture-nouns.words")));
    ScopedCurrentDir cd(dir.path());
    return std::make_unique<CGrammarDictionary>("fixture.dict", nullptr, nullptr, 0, nullptr);
}

inline CGrammarDictionary& Dictionary()
{
    static std::unique_ptr<CGrammarDictionary> dict = LoadDictionaryText(FixtureText("fixture.dict"));
    return *dict;
}

struct Options {
    Options() : p(CreateParseOptions()) {}
    ~Options() { DeleteParseOptions(p); }
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
    ParseOptions* p;
};

// Every sentence of 1 to maxLength words over the alphabet, shortest first;
// stops early when visit returns false. Returns the number visited.
inline size_t ForEachSentence(const std::vector<const char*>& alphabet, int maxLength,
                              const std::function<bool(const std::string&)>& visit)
{
    size_t visited = 0;
    for (int length = 1; length <= maxLength; ++length) {
        std::vector<size_t> pick(static_cast<size_t>(length), 0);
        for (;;) {
            std::string text;
            for (size_t p : pick)
                text += std::string(text.empty() ? "" : " ") + alphabet[p];
            ++visited;
            if (!visit(text))
                return visited;
            size_t i = 0;
            while (i < pick.size() && ++pick[i] == alphabet.size())
                pick[i++] = 0;
            if (i == pick.size())
                break;
        }
    }
    return visited;
}

} // namespace fixture
