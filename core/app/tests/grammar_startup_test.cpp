// The start-up dictionary from the program folder's grammar files: a missing,
// unreadable or damaged word or rule file ends in the boxes the user is shown
// and no dictionary, never in an exception out of start-up.
#include "grammar_startup.h"

#include "parser/dict/dictionary.h"
#include "parser/pack/grammar_pack.h"
#include "testsupport/testsupport.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char kNotFound[] = "Dictionary Test Failed: \"Not found, please reinstall.\" (57005)\r\n";

std::string Fixture(const char* name)
{
    return PackGrammarFile(testsupport::ReadFile(testsupport::SourcePath(std::string("parser/tests/fixtures/") + name)));
}

}  // namespace

TEST(StartupDictionary, BadGrammarFilesEndInTheirBoxes)
{
    const std::string words = Fixture("fixture.dict");
    const std::string rules = Fixture("fixture.rules");
    const std::string nouns = Fixture("fixture-nouns.words");
    ASSERT_GT(rules.size(), 40u);
    const std::string missing = "\x01";  // no file at all
    const std::string folder = "\x02";   // a folder where the file should be

    struct Case {
        const char* what;
        std::string words;
        std::string rules;
        std::vector<std::string> boxes;
    } cases[] = {
        {"rule file missing", words, missing, {kNotFound, STARTUP_TEXT_GRAMMAR_FAILED}},
        {"word file missing", missing, rules, {kNotFound, STARTUP_TEXT_GRAMMAR_FAILED}},
        {"rule file unreadable", words, folder, {kNotFound, STARTUP_TEXT_GRAMMAR_FAILED}},
        {"rule file truncated", words, rules.substr(0, rules.size() / 2), {STARTUP_TEXT_GRAMMAR_FAILED}},
        {"rule file corrupt", words, rules.substr(0, 7) + std::string(300, 'Z'), {STARTUP_TEXT_GRAMMAR_FAILED}},
        {"word file truncated", words.substr(0, words.size() / 2), rules, {STARTUP_TEXT_GRAMMAR_FAILED}},
        {"word file not a grammar", "send me : (mail;", rules, {STARTUP_TEXT_GRAMMAR_FAILED}},
        // Last: the failures before it left nothing that keeps a good folder from loading.
        {"both files sound", words, rules, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        ASSERT_TRUE(testsupport::WriteFile(dir.file("fixture-nouns.words"), nouns));
        for (const auto& [name, bytes] : {std::pair<const char*, const std::string&>{"VindalexW.Vqt", c.words},
                                          std::pair<const char*, const std::string&>{"VindalexR.Vqt", c.rules}}) {
            if (bytes == folder) {
                ASSERT_TRUE(::CreateDirectoryA(dir.file(name).c_str(), nullptr));
            } else if (bytes != missing) {
                ASSERT_TRUE(testsupport::WriteFile(dir.file(name), bytes));
            }
        }
        fxtest::MessageBoxRecorder recorder;
        std::unique_ptr<CGrammarDictionary> dictionary(LoadStartupDictionary(dir.path().c_str()));
        std::vector<std::string> texts;
        for (const auto& box : recorder.boxes) {
            texts.push_back(box.text);
            EXPECT_EQ(box.type & MB_TYPEMASK, static_cast<UINT>(MB_OK)) << box.text;
        }
        EXPECT_EQ(texts, c.boxes);
        EXPECT_EQ(dictionary != nullptr, c.boxes.empty());
        if (dictionary) {
            EXPECT_TRUE(dictionary->IsLoaded());
            EXPECT_NE(dictionary->postProcessor, nullptr);
        }
    }
}
