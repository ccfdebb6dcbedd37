#include "parser/dict/dictionary.h"

#include "parser/core/parser_error.h"
#include "parser/core/random_table.h"
#include "parser/core/string_set.h"
#include "parser/dict/connector_set.h"
#include "parser/disjunct/connector.h"
#include "parser/postprocess/post_processor.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

int Weight(char c)
{
    if (c == 0)
        return 0;
    if (c == '.')
        return 1;
    return 2 * static_cast<unsigned char>(c);
}

// Compare used while looking up: "." counts as the end, "*" matches anything.
int DictMatch(const char* s, const char* t)
{
    while (*s && *s == *t) {
        ++s;
        ++t;
    }
    if (*s == '*' || *t == '*')
        return 0;
    int a = *s == '.' ? 0 : static_cast<unsigned char>(*s);
    int b = *t == '.' ? 0 : static_cast<unsigned char>(*t);
    return a - b;
}

// The subscript: the text after the last "." when a non-digit follows it.
const char* Subscript(const char* s)
{
    const char* dot = std::strrchr(s, '.');
    if (!dot || !dot[1] || std::isdigit(static_cast<unsigned char>(dot[1])))
        return nullptr;
    return dot;
}

bool SubscriptRuleHolds(const char* word, const char* dictWord)
{
    const char* ws = Subscript(word);
    const char* ds = Subscript(dictWord);
    if (ds && !ws)
        return std::strlen(word) == static_cast<size_t>(ds - dictWord) &&
               std::strncmp(word, dictWord, static_cast<size_t>(ds - dictWord)) == 0;
    if (ws && !ds)
        return std::strlen(dictWord) == static_cast<size_t>(ws - word) &&
               std::strncmp(word, dictWord, static_cast<size_t>(ws - word)) == 0;
    return std::strcmp(word, dictWord) == 0;
}

// In-order walk, pruned by the matching compare; iterative, as a tree built from
// entries in descending order can be as deep as the dictionary is long.
void CollectMatches(const DictNode* root, const char* word, std::vector<const DictNode*>& out)
{
    std::vector<std::pair<const DictNode*, int>> stack;
    const DictNode* n = root;
    while (n || !stack.empty()) {
        while (n) {
            int m = DictMatch(word, n->string);
            stack.emplace_back(n, m);
            n = m <= 0 ? n->left : nullptr;
        }
        auto [node, m] = stack.back();
        stack.pop_back();
        if (m == 0 && SubscriptRuleHolds(word, node->string))
            out.push_back(node);
        n = m >= 0 ? node->right : nullptr;
    }
}

bool IsSpecialChar(int c) { return c && std::strchr("(){};[]&|:", c) != nullptr; }

} // namespace

int DictTreeCompare(const char* s, const char* t)
{
    while (*s && *s == *t) {
        ++s;
        ++t;
    }
    return Weight(*s) - Weight(*t);
}

bool IsIdiomWord(const char* s)
{
    const char* p = std::strstr(s, ".I");
    while (p) {
        const char* q = p + 2;
        if (*q) {
            while (std::isdigit(static_cast<unsigned char>(*q)))
                ++q;
            if (!*q)
                return true;
        }
        p = std::strstr(p + 1, ".I");
    }
    return false;
}

CGrammarDictionary::CGrammarDictionary(const char* name_, const char* ruleName_, const void* block_,
                                       unsigned blockLength_, GrammarEscapeCallback callback)
    : block(block_), blockLength(block_ ? blockLength_ : 0xFFFFFFFFu), escapeCallback(block_ ? callback : nullptr)
{
    FillRandomTable();
    stringSet = CreateStringSet();
    name = Intern(stringSet, name_ ? name_ : "");
    if (ruleName_)
        ruleName = Intern(stringSet, ruleName_);

    if (!Open()) {
        GrammarError(1, "%s", name);
        Unload();
        return;
    }
    if (!Read()) {
        Unload();
        return;
    }
    leftWallDefined = BooleanLookup("SENTENCE-START");
    rightWallDefined = BooleanLookup("SENTENCE-END");
    // A rule file that cannot be opened or read leaves the dictionary unusable,
    // as a missing word file does: its caller reports that, not the exception.
    try {
        postProcessor = AcquirePostProcessor(name, ruleName, block, blockLength, escapeCallback);
    } catch (const ParserLimitException& e) {
        GrammarError(4, "%s (%s)", ruleName, e.reason ? e.reason : "");
        Unload();
        return;
    }
    capitalizedWordsDefined = BooleanLookup("WORDS-IN-CAPS");
    unknownWordDefined = BooleanLookup("UNKNOWN-WORD");
    useUnknownWord = 1;
    numbersDefined = BooleanLookup("NUMBERS");
    maxCost = 1000;
    std::vector<const DictNode*> found = Lookup("CSentenceParser");
    if (!found.empty())
        andableConnectors = new ConnectorSet(m_arena, found.front()->exp);
    found = Lookup("CCoupledWord");
    if (!found.empty())
        unlimitedConnectors = new ConnectorSet(m_arena, found.front()->exp);
    hyphenatedWordsDefined = BooleanLookup("WORDS-WITH-HYPH");
}

CGrammarDictionary::~CGrammarDictionary()
{
    if (stringSet) {
        ReleasePostProcessor(postProcessor);
        postProcessor = nullptr;
    }
    Unload();
}

void CGrammarDictionary::Unload()
{
    delete andableConnectors;
    andableConnectors = nullptr;
    delete unlimitedConnectors;
    unlimitedConnectors = nullptr;
    DeleteStringSet(stringSet);
    stringSet = nullptr;
    name = ruleName = nullptr;
    root = nullptr;
    wordFiles = nullptr;
    numEntries = 0;
    source.reset();
    m_arena.Reset();
}

bool CGrammarDictionary::Open()
{
    // A missing or unreadable container makes the dictionary unusable; it is not
    // an exception for the caller.
    try {
        if (name && *name)
            source = OpenGrammarFile(nullptr, name, 0);
        else
            source = ReadGrammarContainer(0, block, block ? blockLength : 0, escapeCallback);
    } catch (const ParserLimitException&) {
        source.reset();
    }
    return source != nullptr;
}

int CGrammarDictionary::GetChar()
{
    int c = source->Get();
    if (c < 0)
        return 0;
    if (c == '%' && !m_inQuotes) {
        do {
            c = source->Get();
        } while (c >= 0 && c != '\n');
        if (c < 0)
            return 0;
    }
    if (c == '\n')
        ++lineNumber;
    return c ? c : ' '; // a NUL byte inside the text is white space, not the end
}

bool CGrammarDictionary::SyntaxError(const char* what)
{
    GrammarError(2, "line %d: %s (at \"%s\")\n", lineNumber, what, token);
    return false;
}

bool CGrammarDictionary::Advance()
{
    size_t len = 0;
    token[0] = 0;
    isSpecial = 0;
    if (pendingChar) {
        token[0] = static_cast<char>(pendingChar);
        token[1] = 0;
        isSpecial = IsSpecialChar(pendingChar);
        pendingChar = 0;
        return true;
    }
    int c;
    do {
        c = GetChar();
    } while (c && std::isspace(static_cast<unsigned char>(c)));
    m_inQuotes = false;
    for (;;) {
        if (!m_inQuotes) {
            if (IsSpecialChar(c) || c == 0) {
                if (len > 0) {
                    pendingChar = c;
                } else if (c) {
                    token[0] = static_cast<char>(c);
                    len = 1;
                    isSpecial = 1;
                }
                break;
            }
            if (std::isspace(static_cast<unsigned char>(c)))
                break;
            if (c == '"') {
                m_inQuotes = true;
                c = GetChar();
                continue;
            }
        } else {
            if (c == '"') {
                m_inQuotes = false;
                if (len == 0) // an empty token would read as the end of the text
                    return SyntaxError("empty quoted word");
                break;
            }
            if (c == 0 || std::isspace(static_cast<unsigned char>(c))) {
                m_inQuotes = false;
                token[len] = 0;
                return SyntaxError(c ? "white space inside quotes" : "unfinished quotes");
            }
        }
        if (len >= sizeof token - 1) {
            token[len] = 0;
            m_inQuotes = false;
            return SyntaxError("token too long");
        }
        token[len++] = static_cast<char>(c);
        c = GetChar();
    }
    token[len] = 0;
    return true;
}

bool CGrammarDictionary::IsEqual(char c) const { return isSpecial && token[0] == c && token[1] == 0; }

Exp* CGrammarDictionary::ConnectorTerm()
{
    size_t len = std::strlen(token);
    const char* p = token;
    bool multi = false;
    if (*p == '@') {
        multi = true;
        ++p;
    }
    const char* end = token + len - 1; // the direction
    if (p >= end || !IsUpper(*p)) {
        SyntaxError("connector must begin with an upper-case letter");
        return nullptr;
    }
    if (p[0] == 'I' && p[1] == 'D') {
        SyntaxError("connector labels beginning with ID are reserved");
        return nullptr;
    }
    for (const char* q = p; q < end; ++q) {
        if (!std::isalnum(static_cast<unsigned char>(*q)) && *q != '*' && *q != '^') {
            SyntaxError("bad character in a connector");
            return nullptr;
        }
    }
    std::string label(p, static_cast<size_t>(end - p));
    Exp* e = NewConnectorExp(m_arena, Intern(stringSet, label.c_str()), *end, multi);
    if (!Advance())
        return nullptr;
    return e;
}

Exp* CGrammarDictionary::Term()
{
    if (IsEqual(')') || IsEqual(']'))
        return NewEmptyExp(m_arena); // "()" and "[]": the bracket consumes it
    if (IsEqual('(') || IsEqual('{') || IsEqual('[')) {
        char open = token[0];
        char close = open == '(' ? ')' : open == '{' ? '}' : ']';
        if (!Advance())
            return nullptr;
        Exp* inner = Expression();
        if (!inner)
            return nullptr;
        if (!IsEqual(close)) {
            SyntaxError("missing closing bracket");
            return nullptr;
        }
        if (!Advance())
            return nullptr;
        if (open == '{')
            return Checked(NewListExp(m_arena, OR_TYPE, NewEmptyExp(m_arena), inner));
        if (open == '[')
            inner->cost += 1;
        return inner;
    }
    if (isSpecial || token[0] == 0) {
        SyntaxError("expression expected");
        return nullptr;
    }
    size_t len = std::strlen(token);
    if (token[len - 1] == '+' || token[len - 1] == '-')
        return ConnectorTerm();
    const DictNode* word = nullptr;
    for (const DictNode* n : AbridgedLookup(token))
        if (std::strcmp(n->string, token) == 0)
            word = n;
    if (!word) {
        SyntaxError("unknown word used in an expression");
        return nullptr;
    }
    Exp* e = Checked(NewListExp(m_arena, AND_TYPE, word->exp, nullptr));
    if (!e || !Advance())
        return nullptr;
    return e;
}

Exp* CGrammarDictionary::Checked(Exp* e)
{
    if (e && e->depth > kMaxExpressionDepth) {
        SyntaxError("expression nested too deeply");
        return nullptr;
    }
    return e;
}

Exp* CGrammarDictionary::Expression()
{
    // Brackets and operands nest by recursion here: bounded like the trees.
    if (++m_nesting > kMaxExpressionDepth) {
        --m_nesting;
        SyntaxError("expression nested too deeply");
        return nullptr;
    }
    Exp* e = ExpressionBody();
    --m_nesting;
    return e;
}

Exp* CGrammarDictionary::ExpressionBody()
{
    Exp* first = Term();
    if (!first)
        return nullptr;
    if (!IsEqual('&') && !IsEqual('|'))
        return first;
    uint8_t type = IsEqual('&') ? AND_TYPE : OR_TYPE;
    if (!Advance())
        return nullptr;
    Exp* rest = Expression();
    if (!rest)
        return nullptr;
    return Checked(NewListExp(m_arena, type, first, rest));
}

bool CGrammarDictionary::ReadWordFile(const char* fileName,
                                      std::vector<std::pair<const char*, WordFile*>>& names)
{
    std::unique_ptr<GrammarSource> file;
    try {
        file = OpenGrammarFile(name, fileName, 0);
    } catch (const ParserLimitException&) {
        GrammarError(3, "%s\n", fileName);
        return false;
    }
    WordFile* record = m_arena.New<WordFile>();
    std::snprintf(record->name, sizeof record->name, "%s", fileName);
    record->changed = 0;
    record->next = wordFiles;
    wordFiles = record;

    std::string word;
    const std::string& text = file->Text();
    for (size_t i = 0; i <= text.size(); ++i) {
        char c = i < text.size() ? text[i] : ' ';
        if (std::isspace(static_cast<unsigned char>(c)) || c == 0) {
            if (!word.empty())
                names.emplace_back(Intern(stringSet, word.c_str()), record);
            word.clear();
        } else {
            if (word.size() >= 500) {
                GrammarError(3, "word too long in %s\n", fileName);
                return false;
            }
            word.push_back(c);
        }
    }
    return true;
}

bool CGrammarDictionary::ReadEntry()
{
    std::vector<std::pair<const char*, WordFile*>> names;
    for (;;) {
        if (IsEqual(':'))
            break;
        if (isSpecial)
            return SyntaxError("':' expected after the words of an entry");
        if (token[0] == 0)
            return SyntaxError("unfinished entry at the end of the text");
        if (token[0] == '/') {
            char fileName[201];
            std::snprintf(fileName, sizeof fileName, "%s", token + 1);
            if (!ReadWordFile(fileName, names)) {
                GrammarError(3, " %s\n", token);
                return false;
            }
        } else {
            names.emplace_back(Intern(stringSet, token), nullptr);
        }
        if (!Advance())
            return false;
    }
    if (names.empty())
        return SyntaxError("entry without words");
    if (!Advance())
        return false;
    Exp* exp = Expression();
    if (!exp)
        return false;
    if (!IsEqual(';'))
        return SyntaxError("';' expected at the end of an entry");
    if (!Advance())
        return false;
    InsertList(names, 0, names.size(), exp);
    return true;
}

bool CGrammarDictionary::Read()
{
    bool ok = Advance();
    while (ok && (token[0] != 0 || isSpecial))
        ok = ReadEntry();
    source.reset();
    return ok;
}

void CGrammarDictionary::InsertList(std::vector<std::pair<const char*, WordFile*>>& names, size_t begin,
                                    size_t end, Exp* exp)
{
    if (begin >= end)
        return;
    size_t mid = begin + (end - begin - 1) / 2;
    InsertName(names[mid].first, names[mid].second, exp);
    InsertList(names, begin, mid, exp);
    InsertList(names, mid + 1, end, exp);
}

void CGrammarDictionary::InsertName(const char* word, WordFile* file, Exp* exp)
{
    if (std::strchr(word, '_')) {
        InsertIdiom(word, exp);
        return;
    }
    if (IsIdiomWord(word))
        return;
    if (BooleanAbridgedLookup(word))
        return;
    InsertNode(word, file, exp);
}

void CGrammarDictionary::InsertNode(const char* word, WordFile* file, Exp* exp)
{
    DictNode* n = m_arena.New<DictNode>();
    n->string = word;
    n->file = file;
    n->exp = exp;
    n->left = n->right = nullptr;
    DictNode** slot = &root;
    while (*slot)
        slot = DictTreeCompare(word, (*slot)->string) < 0 ? &(*slot)->left : &(*slot)->right;
    *slot = n;
    ++numEntries;
}

std::string CGrammarDictionary::NextIdiomLabel()
{
    const char* p = m_idCounter;
    while (*p == 'A')
        ++p;
    return std::string("ID") + p;
}

void CGrammarDictionary::InsertIdiom(const char* idiom, Exp* exp)
{
    size_t len = std::strlen(idiom);
    if (std::strchr(idiom, '.') || idiom[0] == '_' || idiom[len - 1] == '_' || std::strstr(idiom, "__"))
        return;
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= len; ++i) {
        if (i == len || idiom[i] == '_') {
            parts.emplace_back(idiom + start, i - start);
            start = i + 1;
        }
    }
    auto step = [this] {
        for (int i = 7; i >= 0; --i) {
            if (m_idCounter[i] != 'Z') {
                ++m_idCounter[i];
                return;
            }
            m_idCounter[i] = 'A';
        }
    };
    size_t n = parts.size();
    std::vector<Exp*> exps(n);
    std::string label = NextIdiomLabel();
    exps[n - 1] = NewListExp(m_arena, AND_TYPE, NewConnectorExp(m_arena, Intern(stringSet, label.c_str()), '-', false), exp);
    for (size_t i = n - 2; i >= 1; --i) {
        step();
        std::string inner = NextIdiomLabel();
        exps[i] = NewListExp(m_arena, AND_TYPE, NewConnectorExp(m_arena, Intern(stringSet, inner.c_str()), '-', false),
                             NewConnectorExp(m_arena, Intern(stringSet, label.c_str()), '+', false));
        label = inner;
    }
    exps[0] = NewConnectorExp(m_arena, Intern(stringSet, label.c_str()), '+', false);
    step();

    for (size_t i = 0; i < n; ++i) {
        int highest = 0;
        for (const DictNode* d : Lookup(parts[i].c_str())) {
            const char* mark = std::strstr(d->string, ".I");
            if (mark && IsIdiomWord(d->string)) {
                int v = std::atoi(mark + 2);
                if (v > highest)
                    highest = v;
            }
        }
        std::string base = parts[i].substr(0, parts[i].find('.'));
        char numbered[540];
        std::snprintf(numbered, sizeof numbered, "%s.I%d", base.c_str(), highest + 1);
        InsertNode(Intern(stringSet, numbered), nullptr, exps[i]);
    }
}

std::vector<const DictNode*> CGrammarDictionary::Lookup(const char* word) const
{
    std::vector<const DictNode*> out;
    if (word)
        CollectMatches(root, word, out);
    return out;
}

std::vector<const DictNode*> CGrammarDictionary::AbridgedLookup(const char* word) const
{
    std::vector<const DictNode*> out = Lookup(word);
    std::vector<const DictNode*> kept;
    for (const DictNode* n : out)
        if (!IsIdiomWord(n->string))
            kept.push_back(n);
    return kept;
}

bool CGrammarDictionary::IsAndable(const Connector* c, char dir) const
{
    return !andableConnectors || andableConnectors->Contains(c, dir);
}

bool CGrammarDictionary::IsUnlimited(const Connector* c, char dir) const
{
    return unlimitedConnectors && unlimitedConnectors->Contains(c, dir);
}
