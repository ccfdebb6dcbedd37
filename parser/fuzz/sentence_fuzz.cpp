// Fuzzes the tokenizer and the parse of one request line, of any length the
// tokenizer takes, with the fixture grammar.
#include "parser/core/parser_error.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/render/render.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "word_linkage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CGrammarDictionary* dict = [] {
        auto* d = new CGrammarDictionary(VX_FIXTURE_DIR "/fixture.dict", nullptr, nullptr, 0, nullptr);
        if (!d->IsLoaded())
            std::abort();
        return d;
    }();
    static ParseOptions* opts = [] {
        ParseOptions* o = CreateParseOptions();
        ParseOptionsSetTimeLimit(o, 1);
        return o;
    }();
    std::string text(reinterpret_cast<const char*>(data), size);
    CSentence s(text.c_str(), dict);
    // Every line the tokenizer takes, up to its word limit: the engine parses
    // whole long lines too.
    if (!s.IsValid())
        return 0;
    try {
        ResetResources(opts->resources);
        if (s.Parse(opts) > 0) {
            CLinkage l(0, &s, opts);
            std::unique_ptr<std::vector<WordLinkage>> links(l.GetWordLinkages());
            (void)PrintLinkages(links.get());
            (void)PrintDiagram(l);
            (void)PrintLinksAndDomains(l);
        }
    } catch (const ParserLimitException&) {
    }
    return 0;
}
