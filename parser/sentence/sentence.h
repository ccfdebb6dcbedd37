// One sentence under parse: its words, the tables the parse builds, the results.
#pragma once
#include "parser/core/parser_memory.h"
#include "parser/core/random_table.h"
#include "parser/dict/expression.h"
#include "parser/disjunct/connector.h"
#include "parser/sentence/linkage_info.h"

#include <memory>
#include <string>
#include <vector>

class CGrammarDictionary;
struct ParseOptions;
struct StringSet;
class ParseInfo;
struct ConjunctionTables;

struct SentenceWord {
    std::string text; // at most kMaxWordLength characters
    XNode* x = nullptr;
    Disjunct* d = nullptr;
};

class CSentence {
public:
    CSentence(const char* text, CGrammarDictionary* dictionary);
    ~CSentence();
    CSentence(const CSentence&) = delete;
    CSentence& operator=(const CSentence&) = delete;

    // Number of valid linkages; 0 when none, when cut short, or when the
    // sentence could not be built. May throw ParserLimitException.
    int Parse(ParseOptions* options);

    bool SeparateWords(const char* text);
    bool BuildSentenceExpressions();

    int EffectiveDistance(int i, int j) const
    {
        return effectiveDistance[static_cast<size_t>(i) * static_cast<size_t>(numWords + 1) + static_cast<size_t>(j)];
    }
    bool Deletable(int i, int j) const
    {
        return deletable.empty() ||
               deletable[static_cast<size_t>(i + 1) * static_cast<size_t>(numWords + 1) + static_cast<size_t>(j)] != 0;
    }
    bool HasDeletableTable() const { return !deletable.empty(); }
    bool HasConjunction() const;
    bool SentenceHasWord(const char* text) const;
    // Connectors in all words' expressions (for expression pruning).
    int SentenceConnectorCount() const;
    bool IsValid() const { return stringSet != nullptr; }

    void BuildConjunctionFlags();
    void BuildDeletable(const ParseOptions* options);
    void BuildEffectiveDistance(const ParseOptions* options);
    void FreeDisjuncts();

    CGrammarDictionary* dictionary;
    int numWords = 0;
    std::vector<SentenceWord> words;
    std::vector<uint8_t> isConjunction;
    std::vector<uint8_t> deletable;          // (n+1) x (n+1), row i+1 for i = -1 .. n-1
    std::vector<int16_t> effectiveDistance;  // n x (n+1); 16 bits so long sentences never wrap
    int numLinkagesFound = 0;
    int numLinkagesAlloced = 0;
    int numLinkagesPostProcessed = 0;
    int numValidLinkages = 0;
    int nullCount = 0;
    std::unique_ptr<ParseInfo> parseInfo;
    std::vector<LinkageInfo> linkageInfo;
    StringSet* stringSet = nullptr;
    int firstPassDone = 0;
    // The disjuncts were pruned for linkages that may leave words out; without
    // it, two last connectors that are not multi link only neighbours.
    bool prunedForNullWords = false;
    std::shared_ptr<ConjunctionTables> andTables; // while the sentence has a conjunction
    RandomSampler sampler;
    ParserArena expressionArena;
    ParserArena disjunctArena;

private:
    bool IssueWord(const char* text, size_t length);
    bool SplitToken(const char* token, size_t length, bool first);
    void FreeParse();
};
