#include "parser/dict/container.h"

#include "parser/core/parser_error.h"
#include "zlcomp_core.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
GrammarNotFoundHandler g_notFound = nullptr;

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes.clear();
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

[[noreturn]] void NotFound()
{
    char message[256];
    std::snprintf(message, sizeof message, "Dictionary Test Failed: \"%s\" (%d)\r\n",
                  "Not found, please reinstall.", 57005);
    if (g_notFound)
        g_notFound(message);
    ThrowParserLimit("grammar file not found");
}
} // namespace

void SetGrammarNotFoundHandler(GrammarNotFoundHandler handler) { g_notFound = handler; }

bool DecodeGrammarStream(const std::string& packed, std::string& plain)
{
    zlcomp::Bytes out;
    bool ok = zlcomp::Decompress(
        zlcomp::ByteView(reinterpret_cast<const uint8_t*>(packed.data()), packed.size()), out,
        kGrammarTextLimit);
    plain.assign(reinterpret_cast<const char*>(out.data()), out.size());
    return ok;
}

std::unique_ptr<GrammarSource> ReadGrammarContainer(int, const void* block, unsigned length,
                                                    GrammarEscapeCallback callback)
{
    if (!block || length == 0)
        ThrowParserLimit("empty dictionary block");
    std::string packed(static_cast<const char*>(block), length);
    std::string work;
    if (!DecodeGrammarStream(packed, work))
        ThrowParserLimit("dictionary block does not decode");

    // Header: stored inverted, ends with the byte that inverts to "^". The
    // signature it carries is not checked here.
    size_t pos = 0;
    bool headerEnded = false;
    while (pos < work.size() && pos < kContainerHeaderLimit) {
        char c = static_cast<char>(~static_cast<unsigned char>(work[pos++]));
        if (c == '^') {
            headerEnded = true;
            break;
        }
    }
    if (!headerEnded)
        ThrowParserLimit("dictionary block without a header");

    std::string text;
    text.reserve(work.size() - pos);
    while (pos < work.size()) {
        char c = work[pos++];
        if (c != '^' || !callback) {
            text.push_back(c);
            continue;
        }
        std::string digits;
        bool closed = false;
        while (pos < work.size()) {
            char d = work[pos++];
            if (d == '^') {
                closed = true;
                break;
            }
            digits.push_back(d);
            if (digits.size() + 1 > kContainerEscapeLimit)
                ThrowParserLimit("dictionary block escape too long");
        }
        (void)closed; // an escape cut by the end of the data takes the digits read so far
        // Only an escape of a number from 1 has a text: "^0^", a sign or any
        // other character would ask the plug-in for a row that is no escape.
        bool number = !digits.empty() && digits.size() <= 6 &&
                      digits.find_first_not_of("0123456789") == std::string::npos;
        int n = number ? std::atoi(digits.c_str()) : 0;
        const char* replacement = n > 0 ? callback(-n, 11) : nullptr;
        if (replacement)
            text.append(replacement);
    }
    return std::make_unique<GrammarSource>(std::move(text));
}

std::unique_ptr<GrammarSource> OpenGrammarFile(const char* dictionaryName, const char* fileName,
                                               unsigned)
{
    if (!fileName)
        NotFound();
    std::string searchPath;
    bool haveSearch = false;
    if (dictionaryName) {
        std::string copy(dictionaryName, strnlen(dictionaryName, 200));
        // The folder part ends at the last "/" or, in a Windows path, "\".
        size_t slash = copy.find_last_of("/\\");
        if (slash != std::string::npos) {
            searchPath = copy.substr(0, slash);
            haveSearch = true;
        }
    }
    std::string packed;
    bool opened = ReadWholeFile(fileName, packed);
    if (!opened && haveSearch) {
        size_t start = 0;
        while (!opened) {
            size_t colon = searchPath.find(':', start);
            // A ":" right after a one-letter drive name belongs to the folder
            // ("C:\grammar"), it does not separate two of them.
            if (colon == start + 1 && std::isalpha(static_cast<unsigned char>(searchPath[start])) &&
                colon + 1 < searchPath.size() && (searchPath[colon + 1] == '\\' || searchPath[colon + 1] == '/'))
                colon = searchPath.find(':', colon + 1);
            std::string dir = searchPath.substr(start, colon == std::string::npos ? std::string::npos
                                                                                  : colon - start);
            opened = ReadWholeFile(dir + "/" + fileName, packed);
            if (colon == std::string::npos)
                break;
            start = colon + 1;
        }
    }
    if (!opened)
        NotFound();
    std::string text;
    if (!DecodeGrammarStream(packed, text))
        ThrowParserLimit("grammar file does not decode");
    return std::make_unique<GrammarSource>(std::move(text));
}
