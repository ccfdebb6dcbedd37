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

struct CountEntry {
    int16_t lw, rw;
    const Connector* le;
    const Connector* re;
    int16_t k;
    int32_t count;
    CountEntry* next;
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
    const CountEntry* Find(int lw, int rw, const Connector* le, const Connector* re, int k) const;
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
    int32_t Pseudo(int lw, int rw, const Connector* le, const Connector* re, int k) const;
    CountEntry* Store(int lw, int rw, const Connector* le, const Connector* re, int k, int32_t count);
    size_t Hash(int lw, int rw, const Connector* le, const Connector* re, int k) const;

    CSentence* m_sentence;
    ParseOptions* m_options;
    ParserResources* m_resources;
    MatchTable m_match;
    std::vector<CountEntry*, ParserAllocator<CountEntry*>> m_table; // counted: the memory limit sees it
    ParserArena m_entries;
    std::vector<Disjunct*> m_lists; // match lists of the recursion, stacked
};

// Table sizes by sentence length.
size_t CountTableSize(int numWords);
size_t XTableSize(int numWords);
uint32_t KeyHash(int lw, int rw, const Connector* le, const Connector* re, int k, size_t size);
