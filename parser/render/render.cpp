#include "parser/render/render.h"

#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

void OutString::Append(const char* format, ...)
{
    char piece[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(piece, sizeof piece, format, args);
    va_end(args);
    size_t len = std::strlen(piece);
    if (m_capacity <= m_text.size() + len)
        m_capacity = len + 2 * m_capacity + 1;
    m_text.append(piece, len);
}

namespace {

std::string Field(const char* text, size_t n, char pad)
{
    std::string out;
    size_t len = std::strlen(text);
    for (size_t i = 0; i < n; ++i)
        out.push_back(i < len ? text[i] : pad);
    return out;
}

} // namespace

std::string PrintLinksAndDomains(const CLinkage& linkage)
{
    OutString out;
    const CGrammarDictionary* dict = linkage.sentence->dictionary;
    int n = linkage.GetNumLinks();
    int maxDomains = 0;
    for (int i = 0; i < n; ++i)
        if (linkage.GetLinkLeftWord(i) != -1 && linkage.GetLinkNumDomains(i) > maxDomains)
            maxDomains = linkage.GetLinkNumDomains(i);
    for (int i = 0; i < n; ++i) {
        int l = linkage.GetLinkLeftWord(i);
        if (l == -1)
            continue;
        std::vector<const char*> domains = linkage.GetLinkDomainNames(i);
        for (const char* d : domains)
            out.Append(" (%s)", d);
        for (int j = static_cast<int>(domains.size()); j < maxDomains; ++j)
            out.Append("    ");
        out.Append("   ");
        const char* left = (l == 0 && dict->leftWallDefined) ? "/////" : linkage.GetWord(l);
        out.Append("%s", Field(left, 15, ' ').c_str());
        out.Append("%s", Field(linkage.GetLinkLeftConnector(i), 5, ' ').c_str());
        out.Append("   <---");
        out.Append("%s", Field(linkage.GetLinkLabel(i), 5, '-').c_str());
        out.Append("->  ");
        out.Append("%s", Field(linkage.GetLinkRightConnector(i), 5, ' ').c_str());
        out.Append("     %s\r\n", linkage.GetWord(linkage.GetLinkRightWord(i)));
    }
    out.Append("\r\n");
    return out.Text();
}

std::string PrintDiagram(const CLinkage& linkage)
{
    const ParseOptions* opts = linkage.options;
    const CGrammarDictionary* dict = linkage.sentence->dictionary;
    int numWords = linkage.GetNumWords();
    int numLinks = linkage.GetNumLinks();
    if (numWords == 0)
        return std::string();

    bool hideLeft = false, hideRight = false;
    if (dict->leftWallDefined && !opts->showWalls) {
        int count = 0;
        bool wd = false;
        for (int i = 0; i < numLinks; ++i) {
            if (linkage.GetLinkLeftWord(i) == 0 && linkage.GetLinkRightWord(i) != numWords - 1) {
                ++count;
                wd = wd || std::strcmp(linkage.GetLinkLabel(i), "Wd") == 0;
            }
        }
        hideLeft = wd ? count < 2 : count == 0;
    }
    if (dict->rightWallDefined && !opts->showWalls) {
        int count = 0;
        bool eos = false;
        for (int i = 0; i < numLinks; ++i) {
            if (linkage.GetLinkRightWord(i) == numWords - 1) {
                ++count;
                eos = eos || std::strcmp(linkage.GetLinkLabel(i), "EOS") == 0;
            }
        }
        hideRight = eos ? count < 2 : count == 0;
    }

    int first = hideLeft ? 1 : 0;
    int last = hideRight ? numWords - 2 : numWords - 1;
    if (last < first)
        return std::string();
    std::vector<int> centre(static_cast<size_t>(numWords), 0);
    std::vector<int> start(static_cast<size_t>(numWords), 0);
    int pos = 0;
    for (int w = first; w <= last; ++w) {
        int len = static_cast<int>(std::strlen(linkage.GetWord(w)));
        start[w] = pos;
        centre[w] = pos + len / 2;
        pos += len + 1;
    }
    int lineLength = centre[last] + 1;
    constexpr int kRows = 30;
    constexpr int kMaxHeight = 14;
    std::vector<std::string> picture(kRows, std::string(static_cast<size_t>(lineLength), ' '));
    int top = -1;
    for (int length = 1; length <= last - first; ++length) {
        for (int i = 0; i < numLinks; ++i) {
            int l = linkage.GetLinkLeftWord(i), r = linkage.GetLinkRightWord(i);
            if (l == -1 || r - l != length || l < first || r > last)
                continue;
            int lc = centre[l], rc = centre[r];
            int row = 0;
            for (; row < kRows; ++row) {
                bool clear = true;
                for (int c = lc + 1; c < rc && clear; ++c)
                    clear = picture[row][c] == ' ';
                if (clear)
                    break;
            }
            if (row >= kMaxHeight)
                return std::string();
            if (row > top)
                top = row;
            std::string& line = picture[row];
            line[lc] = '+';
            line[rc] = '+';
            for (int c = lc + 1; c < rc; ++c)
                line[c] = '-';
            std::string name = linkage.GetLinkLabel(i);
            if (name.size() > 399)
                name.resize(399);
            if (opts->showFullLinkNames) {
                if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0])))
                    name.clear();
            } else {
                size_t k = 0;
                while (k < name.size() && std::isupper(static_cast<unsigned char>(name[k])))
                    ++k;
                name.resize(k);
            }
            int at = (lc + rc - static_cast<int>(name.size())) / 2 + 1;
            if (at < lc + 1)
                at = lc + 1;
            for (size_t k = 0; k < name.size(); ++k) {
                int c = at + static_cast<int>(k);
                if (c < lineLength && line[c] == '-')
                    line[c] = name[k];
            }
            for (int below = 0; below < row; ++below) {
                if (picture[below][lc] == ' ')
                    picture[below][lc] = '|';
                if (picture[below][rc] == ' ')
                    picture[below][rc] = '|';
            }
        }
    }

    std::vector<std::string> display;
    std::string words;
    for (int w = first; w <= last; ++w) {
        if (w > first)
            words.push_back(' ');
        words += linkage.GetWord(w);
    }
    display.push_back(words);
    auto bars = [](const std::string& row) {
        std::string out(row.size(), ' ');
        for (size_t c = 0; c < row.size(); ++c)
            if (row[c] == '+' || row[c] == '|')
                out[c] = '|';
        return out;
    };
    if (opts->displayOn) {
        display.push_back(bars(picture[0]));
        for (int r = 0; r <= top; ++r)
            display.push_back(picture[r]);
    } else {
        for (int r = 0; r <= top; ++r) {
            display.push_back(bars(picture[r]));
            display.push_back(picture[r]);
        }
    }

    OutString out;
    int w = first;
    while (w <= last) {
        int blockStart = start[w];
        int width = 0;
        int taken = 0;
        while (w <= last) {
            int len = static_cast<int>(std::strlen(linkage.GetWord(w)));
            if (taken > 0 && width + len + 1 >= opts->screenWidth)
                break;
            width += len + 1;
            ++taken;
            ++w;
        }
        out.Append("\r\n");
        for (size_t r = display.size(); r-- > 0;) {
            const std::string& row = display[r];
            std::string part;
            for (int c = blockStart; c < blockStart + width && c < static_cast<int>(row.size()); ++c)
                part.push_back(row[static_cast<size_t>(c)]);
            if (part.find_first_not_of(' ') == std::string::npos)
                continue;
            out.Append("%s\r\n", part.c_str());
        }
        out.Append("\r\n");
    }
    return out.Text();
}

std::string DiagramHeader(int mode) { return mode == 1 ? "\r\n" : ""; }
std::string DiagramTrailer(int mode) { return mode == 1 ? "diagram\r\n\r\n%%EndDocument\r\n" : ""; }

void PrintDisjunctCounts(const CSentence& sentence)
{
    for (const SentenceWord& w : sentence.words)
        std::printf("%s(%d) ", w.text.c_str(), CountDisjuncts(w.d));
    std::printf("\r\n\r\n");
}

void PrintExpressionSizes(const CSentence& sentence)
{
    for (const SentenceWord& w : sentence.words) {
        int n = 0;
        for (const XNode* x = w.x; x; x = x->next)
            n += CountConnectors(x->exp);
        std::printf("%s[%d] ", w.text.c_str(), n);
    }
    std::printf("\r\n\r\n");
}
