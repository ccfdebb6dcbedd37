// vx_grammar_pack: turns grammar text into the containers the parser reads.
//   vx_grammar_pack <in.txt> <out>                       a grammar file
//   vx_grammar_pack --block <signature> <in.txt> <out>   a plug-in dictionary block
#include "parser/pack/grammar_pack.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {
bool ReadAll(const char* path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteAll(const char* path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
} // namespace

int main(int argc, char** argv)
{
    bool blockForm = argc == 5 && std::strcmp(argv[1], "--block") == 0;
    if (!blockForm && argc != 3) {
        std::fprintf(stderr, "usage: vx_grammar_pack [--block <signature>] <in> <out>\n");
        return 2;
    }
    const char* inPath = argv[argc - 2];
    const char* outPath = argv[argc - 1];
    std::string text;
    if (!ReadAll(inPath, text)) {
        std::fprintf(stderr, "vx_grammar_pack: cannot read %s\n", inPath);
        return 1;
    }
    std::string packed;
    if (blockForm) {
        if (!PackDictionaryBlock(text, argv[2], packed)) {
            std::fprintf(stderr, "vx_grammar_pack: bad signature\n");
            return 1;
        }
    } else {
        packed = PackGrammarFile(text);
    }
    if (!WriteAll(outPath, packed)) {
        std::fprintf(stderr, "vx_grammar_pack: cannot write %s\n", outPath);
        return 1;
    }
    return 0;
}
