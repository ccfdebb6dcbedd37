// Fuzzes the dictionary reader: the input is the text of a plug-in dictionary
// block (with escapes); a loaded dictionary then parses a few sentences.
#include "parser/core/parser_error.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "word_linkage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {
const char* Escape(int row, int) { return row == -1 ? "word" : row == -2 ? "A+" : nullptr; }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string block;
    for (char c : std::string("VXGRAMMARfuzz^"))
        block.push_back(static_cast<char>(~static_cast<unsigned char>(c)));
    block.append(reinterpret_cast<const char*>(data), size);
    CGrammarDictionary dict("", nullptr, block.data(), static_cast<unsigned>(block.size()), Escape);
    if (!dict.IsLoaded())
        return 0;
    ParseOptions* opts = CreateParseOptions();
    ParseOptionsSetTimeLimit(opts, 1);
    ParseOptionsSetMemoryLimit(opts, 64 * 1024 * 1024);
    for (const char* text : {"a b c", "word word", "The x, y and z.", "1 2-3 Q"}) {
        try {
            ResetResources(opts->resources);
            CSentence s(text, &dict);
            if (s.Parse(opts) > 0) {
                CLinkage l(0, &s, opts);
                delete l.GetWordLinkages();
            }
        } catch (const ParserLimitException&) {
        }
    }
    DeleteParseOptions(opts);
    return 0;
}
