// One grammar of links: every known word with its linking requirements.
#pragma once
#include "parser/core/parser_memory.h"
#include "parser/dict/container.h"
#include "parser/dict/expression.h"

#include <memory>
#include <string>
#include <vector>

struct StringSet;
class CPostProcessor;
class ConnectorSet;

struct WordFile {
    char name[201];
    int changed;
    WordFile* next;
};

struct DictNode {
    const char* string;
    WordFile* file;
    Exp* exp;
    DictNode* left;
    DictNode* right;
};

class CGrammarDictionary {
public:
    CGrammarDictionary(const char* name, const char* ruleName, const void* block, unsigned blockLength,
                       GrammarEscapeCallback callback);
    ~CGrammarDictionary();
    CGrammarDictionary(const CGrammarDictionary&) = delete;
    CGrammarDictionary& operator=(const CGrammarDictionary&) = delete;

    bool Open();
    bool Read();

    // Every entry matching the word (subscript rule applied), ascending tree order.
    std::vector<const DictNode*> Lookup(const char* word) const;
    bool BooleanLookup(const char* word) const { return !Lookup(word).empty(); }
    // The same, leaving out idiom parts (names ending ".I" and digits).
    std::vector<const DictNode*> AbridgedLookup(const char* word) const;
    bool BooleanAbridgedLookup(const char* word) const { return !AbridgedLookup(word).empty(); }

    bool IsLoaded() const { return stringSet != nullptr; }
    // The connector sets' membership tests (true when the dictionary has no such set).
    bool IsAndable(const struct Connector* c, char dir) const;
    bool IsUnlimited(const struct Connector* c, char dir) const;
    bool HasUnlimitedSet() const { return unlimitedConnectors != nullptr; }

    DictNode* root = nullptr;
    const char* name = nullptr;
    const char* ruleName = nullptr;
    int useUnknownWord = 1;
    int unknownWordDefined = 0;
    int capitalizedWordsDefined = 0;
    int hyphenatedWordsDefined = 0;
    int numbersDefined = 0;
    int leftWallDefined = 0;
    int rightWallDefined = 0;
    CPostProcessor* postProcessor = nullptr;
    ConnectorSet* andableConnectors = nullptr;
    ConnectorSet* unlimitedConnectors = nullptr;
    int maxCost = 1000;
    StringSet* stringSet = nullptr;
    int numEntries = 0;
    WordFile* wordFiles = nullptr;
    std::unique_ptr<GrammarSource> source;
    char token[400] = {};
    int isSpecial = 0;
    int pendingChar = 0;
    int lineNumber = 1;
    const void* block = nullptr;
    unsigned blockLength = 0xFFFFFFFFu;
    GrammarEscapeCallback escapeCallback = nullptr;

private:
    int GetChar();
    bool Advance();
    bool IsEqual(char c) const;
    bool SyntaxError(const char* what);
    Exp* Expression();
    Exp* ExpressionBody();
    Exp* Checked(Exp* e);
    Exp* Term();
    Exp* ConnectorTerm();
    bool ReadEntry();
    bool ReadWordFile(const char* fileName, std::vector<std::pair<const char*, WordFile*>>& names);
    void InsertList(std::vector<std::pair<const char*, WordFile*>>& names, size_t begin, size_t end,
                    Exp* exp);
    void InsertName(const char* word, WordFile* file, Exp* exp);
    void InsertIdiom(const char* idiom, Exp* exp);
    void InsertNode(const char* word, WordFile* file, Exp* exp);
    std::string NextIdiomLabel();
    void Unload();

    ParserArena m_arena;      // expression nodes, cells, word nodes
    bool m_inQuotes = false;
    int m_nesting = 0;
    char m_idCounter[9] = "AAAAAAAA";
};

// Order of words in the tree: "." weighs 1, the end 0, any other character 2c.
int DictTreeCompare(const char* s, const char* t);
// True when a name is an idiom part ("word.I" followed by digits only).
bool IsIdiomWord(const char* s);
