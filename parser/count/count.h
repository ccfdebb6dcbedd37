// Counting the linkages of a sentence with a given number of null words, by a
// memoised recursion over word ranges.
#pragma once
#include "parser/core/parser_memory.h"
#include "parser/count/match.h"
#include "parser/disjunct/connector.h"

#include <cstdint>
#include <memory>
#include <vector>

class CSentence;
struct ParseOptions;
struct ParserResources;

// The counts of one sub-problem (lw, rw, le, re) for the null counts
// kBase .. kBase + kCountSpan - 1. One record serves every null count a parse
// tries, so a lookup finds them all and the recursion can keep the record at
// hand while it walks the null counts of a split.
constexpr int kCountSpan = 8;
struct CountNode {
    const Connector* le;
    const Connector* re;
    CountNode* next;
    int16_t lw, rw, kBase;
    uint16_t known; // bit i: count[i] is stored
    int32_t count[kCountSpan];
};

// Everything the counting needs for one parse: the match tables and the count
// table. Lives for one CSentence::Parse.
class CountContext {
public:
    CountContext(CSentence* sentence, ParseOptions* options);
    ~CountContext();
    CountContext(const CountContext&) = delete;
    CountContext& operator=(const CountContext&) = delete;

    int32_t CountLinkages(int nullCount);
    // The stored count of a sub-problem; null when it was never counted.
    const int32_t* Find(int lw, int rw, const Connector* le, const Connector* re, int k) const;
    void FormMatchList(int w, const Connector* lc, int lw, const Connector* rc, int rw,
                       std::vector<Disjunct*>& out) const
    {
        m_match.FormMatchList(w, lc, lw, rc, rw, out);
    }
    bool Match(const Connector* a, const Connector* b, int lw, int rw) const;
    const CSentence* Sentence() const { return m_sentence; }
    const ParseOptions* Options() const { return m_options; }
    size_t TableSize() const { return m_table.size(); }

private:
    int32_t DoCount(int lw, int rw, const Connector* le, const Connector* re, int k);
    int32_t CountAt(CountNode* node, int k);
    int32_t CountSplits(CountNode* node, int k);
    CountNode* FindNode(int lw, int rw, const Connector* le, const Connector* re, int kBase) const;
    CountNode* Node(int lw, int rw, const Connector* le, const Connector* re, int k);
    size_t Hash(int lw, int rw, const Connector* le, const Connector* re, int kBase) const;
    void Grow();

    CSentence* m_sentence;
    ParseOptions* m_options;
    ParserResources* m_resources;
    MatchTable m_match;
    std::vector<CountNode*, ParserAllocator<CountNode*>> m_table; // counted: the memory limit sees it
    size_t m_nodes = 0;
    ParserArena m_entries;
    std::vector<MatchCandidate> m_lists; // match lists of the recursion, stacked
    std::vector<std::vector<Disjunct*>> m_noLeft; // per word: the disjuncts without left connectors, in order
};

// Table sizes by sentence length.
size_t XTableSize(int numWords);
uint32_t KeyHash(int lw, int rw, const Connector* le, const Connector* re, int k, size_t size);
