// Cutting a request sentence into the parser's words and giving each word its
// dictionary expressions.
#include "parser/core/parser_error.h"
#include "parser/core/string_set.h"
#include "parser/dict/dictionary.h"
#include "parser/sentence/sentence.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kLeftStrip[] = {"$", "``"};
const char* const kRightStrip[] = {"%", ",", ".", ":", ";", "?", "!", "''", "'", "'s"};
constexpr int kMaxStripped = 9;

bool IsUpperChar(char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; }

bool IsInitials(const std::string& s)
{
    if (s.empty() || s.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < s.size(); i += 2)
        if (!IsUpperChar(s[i]) || s[i + 1] != '.')
            return false;
    return true;
}

std::string LowerFirst(const std::string& s)
{
    std::string t = s;
    if (!t.empty())
        t[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(t[0])));
    return t;
}

bool EndsWith(const std::string& s, const char* suffix)
{
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

bool IsNumber(const std::string& s)
{
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s[0])))
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != ',' && c != ':')
            return false;
    return true;
}

bool IsHyphenated(const std::string& s)
{
    if (s.empty() || s.front() == '-' || s.back() == '-' || s.find('-') == std::string::npos)
        return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != ',' && c != '-')
            return false;
    return true;
}

// Expression list of the entries found for a word, in reverse lookup order; each
// entry shown as `display` when given, else under its own name.
XNode* BuildWordExpressions(CSentence* s, const char* word, const char* display = nullptr,
                            bool unknownWordForm = false)
{
    XNode* head = nullptr;
    for (const DictNode* n : s->dictionary->Lookup(word)) {
        XNode* x = s->expressionArena.New<XNode>();
        const char* name = n->string;
        if (unknownWordForm) {
            char buf[500];
            const char* dot = std::strchr(n->string, '.');
            if (dot && dot[1])
                std::snprintf(buf, sizeof buf, "%.475s.%.5s", display, dot + 1);
            else
                std::snprintf(buf, sizeof buf, "%.475s", display);
            name = Intern(s->stringSet, buf);
        } else if (display) {
            name = Intern(s->stringSet, display);
        }
        x->string = name;
        x->exp = CopyExpression(s->expressionArena, n->exp);
        x->next = head;
        head = x;
    }
    return head;
}

} // namespace

bool CSentence::IssueWord(const char* text, size_t length)
{
    if (length == 0)
        return true;
    if (length > static_cast<size_t>(kMaxWordLength) || numWords >= kMaxSentenceWords)
        return false;
    SentenceWord w;
    w.text.assign(text, length);
    words.push_back(std::move(w));
    ++numWords;
    return true;
}

bool CSentence::SplitToken(const char* token, size_t length, bool first)
{
    std::string text(token, length);
    bool stripped = true;
    while (stripped) {
        stripped = false;
        for (const char* entry : kLeftStrip) {
            size_t n = std::strlen(entry);
            if (text.size() >= n && text.compare(0, n, entry) == 0) {
                if (!IssueWord(entry, n))
                    return false;
                text.erase(0, n);
                stripped = true;
                break;
            }
        }
    }
    const char* removed[kMaxStripped];
    int numRemoved = 0;
    for (;;) {
        if (text.empty() || dictionary->BooleanLookup(text.c_str()) || IsInitials(text))
            break;
        if (first && IsUpperChar(text[0]) && dictionary->BooleanLookup(LowerFirst(text).c_str()))
            break;
        const char* fit = nullptr;
        for (const char* entry : kRightStrip) {
            if (EndsWith(text, entry)) {
                fit = entry;
                break;
            }
        }
        if (!fit)
            break;
        if (numRemoved == kMaxStripped)
            return false;
        removed[numRemoved++] = fit;
        text.erase(text.size() - std::strlen(fit));
    }
    if (!IssueWord(text.data(), text.size()))
        return false;
    for (int i = numRemoved; i-- > 0;)
        if (!IssueWord(removed[i], std::strlen(removed[i])))
            return false;
    return true;
}

bool CSentence::SeparateWords(const char* text)
{
    numWords = 0;
    words.clear();
    int walls = 0;
    if (dictionary->leftWallDefined) {
        if (!IssueWord("SENTENCE-START", 14))
            return false;
        ++walls;
    }
    const char* p = text;
    bool first = true;
    for (;;) {
        while (*p && std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        if (!*p)
            break;
        const char* start = p;
        if (*p == '(' || *p == '"') {
            char close = *p == '(' ? ')' : '"';
            const char* end = std::strchr(p + 1, close);
            p = end ? end + 1 : p + std::strlen(p);
        } else {
            while (*p && !std::isspace(static_cast<unsigned char>(*p)))
                ++p;
        }
        if (!SplitToken(start, static_cast<size_t>(p - start), first))
            return false;
        first = false;
    }
    if (dictionary->rightWallDefined) {
        if (!IssueWord("SENTENCE-END", 12))
            return false;
        ++walls;
    }
    return numWords > walls;
}

bool CSentence::BuildSentenceExpressions()
{
    CGrammarDictionary* dict = dictionary;
    int firstWord = dict->leftWallDefined ? 1 : 0;
    auto capitalisable = [&](int i) {
        return (i == firstWord || (i > 0 && words[i - 1].text == ":")) && !words[i].text.empty() &&
               IsUpperChar(words[i].text[0]) && dict->BooleanLookup(LowerFirst(words[i].text).c_str());
    };
    for (int i = 0; i < numWords; ++i) {
        SentenceWord& w = words[i];
        const std::string& s = w.text;
        const char* category = nullptr;
        if (dict->BooleanLookup(s.c_str())) {
            w.x = BuildWordExpressions(this, s.c_str());
            continue;
        }
        if (!s.empty() && IsUpperChar(s[0]) && dict->capitalizedWordsDefined)
            category = "WORDS-IN-CAPS";
        else if (IsNumber(s) && dict->numbersDefined)
            category = "NUMBERS";
        else if (IsHyphenated(s) && dict->hyphenatedWordsDefined)
            category = "WORDS-WITH-HYPH";
        if (category) {
            w.x = BuildWordExpressions(this, category, s.c_str());
            if (!w.x)
                return false;
            continue;
        }
        if (dict->unknownWordDefined && dict->useUnknownWord) {
            w.x = BuildWordExpressions(this, "UNKNOWN-WORD", s.c_str(), true);
            continue;
        }
        // A capitalised first word listed in lower case is settled below.
        if (capitalisable(i))
            continue;
        ThrowParserLimit("word not in the dictionary");
    }
    for (int i = 0; i < numWords; ++i) {
        if (!capitalisable(i))
            continue;
        SentenceWord& w = words[i];
        std::string lower = LowerFirst(w.text);
        if (dict->BooleanLookup(w.text.c_str())) {
            w.x = CatenateXNodes(w.x, BuildWordExpressions(this, lower.c_str()));
        } else {
            w.text = lower;
            w.x = BuildWordExpressions(this, lower.c_str());
        }
    }
    return true;
}
