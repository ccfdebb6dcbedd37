// Fuzzes the rule file's lexer and reader: the input is the text of a rule file;
// its knowledge then judges a few hand-made linkages.
#include "parser/core/parser_error.h"
#include "parser/disjunct/connector.h"
#include "parser/postprocess/pp_knowledge.h"
#include "parser/postprocess/rule_post_processor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto k = std::make_unique<PPKnowledge>();
    std::string error;
    if (!ReadKnowledge(std::string(reinterpret_cast<const char*>(data), size), *k, error))
        return 0;
    CRulePostProcessor pp(std::move(k));
    // Labels that the fuzzed names may match: walls, subjects, objects.
    const char* labels[] = {"Wd", "Ss", "Pa", "MV", "RW", "Osn", "A", "M", "Xp", "J"};
    static const int dummy = 0;
    const CSentence* sentence = reinterpret_cast<const CSentence*>(&dummy);
    for (int shape = 0; shape < 3; ++shape) {
        std::vector<Link> links;
        int words = 8;
        for (int i = 0; i < 10; ++i) {
            int l = (i * (shape + 1)) % (words - 1);
            int r = l + 1 + (i + shape) % (words - 1 - l);
            links.push_back(Link{l, r, nullptr, nullptr, labels[i]});
        }
        try {
            if (shape == 2)
                pp.FirstPass(PostProcessInput{sentence, words, links.data(), 5});
            pp.Process(PostProcessInput{sentence, words, links.data(), static_cast<int>(links.size())});
        } catch (const ParserLimitException&) {
        }
    }
    return 0;
}
