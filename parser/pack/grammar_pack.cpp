#include "parser/pack/grammar_pack.h"

#include "parser/dict/container.h"
#include "zlcomp_core.h"

namespace {
const char kHeaderLead[] = "VXGRAMMAR"; // the 9 characters before the signature

std::string Compress(const std::string& bytes)
{
    zlcomp::Bytes out =
        zlcomp::Compress(zlcomp::ByteView(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    return std::string(reinterpret_cast<const char*>(out.data()), out.size());
}
} // namespace

std::string PackGrammarFile(const std::string& text) { return Compress(text); }

bool PackDictionaryBlock(const std::string& text, const std::string& signature, std::string& block)
{
    std::string header = std::string(kHeaderLead) + signature;
    if (header.find('^') != std::string::npos || header.size() + 1 > kContainerHeaderLimit)
        return false;
    header.push_back('^');
    std::string plain;
    plain.reserve(header.size() + text.size());
    for (char c : header)
        plain.push_back(static_cast<char>(~static_cast<unsigned char>(c)));
    plain += text;
    block = Compress(plain);
    return true;
}
