// Loads the tests' fixture grammar, packed as the program receives it.
#pragma once
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/pack/grammar_pack.h"
#include "testsupport/testsupport.h"

#include <filesystem>
#include <memory>
#include <string>

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

} // namespace fixture
