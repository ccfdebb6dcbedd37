// The shared tree of parse sets from which any linkage can be read out, by its
// index or at random.
#pragma once
#include "parser/core/parser_memory.h"
#include "parser/disjunct/connector.h"

#include <cstdint>
#include <vector>

class CountContext;
class RandomSampler;
struct ParseChoice;

struct ParseSet {
    int32_t count;
    ParseChoice* first;
    ParseChoice* current;
};

struct ParseChoice {
    ParseChoice* next;
    ParseSet* set[2];
    Link link[2];
    Disjunct* ld;
    Disjunct* md;
    Disjunct* rd;
};

struct XTableEntry {
    int16_t lw, rw, k;
    ParseSet* set;
    const Connector* le;
    const Connector* re;
    XTableEntry* next;
};

class ParseInfo {
public:
    explicit ParseInfo(int numWords);
    ParseInfo(const ParseInfo&) = delete;
    ParseInfo& operator=(const ParseInfo&) = delete;

    // Builds the parse sets for one null count from the top and makes them the root.
    void BuildRoot(CountContext& counts, int nullCount, bool islandsOk);
    bool ParseSetOverflowed() const;
    // Fills the link array and the chosen disjuncts with linkage `index`
    // (random when negative, drawn with the sampler).
    void ExtractLinks(int index, RandomSampler& sampler);
    void BuildCurrentLinkage();
    bool AdvanceParseSet() { return Advance(root); }

    ParseSet* root = nullptr;
    int numWords;
    std::vector<Disjunct*> chosenDisjuncts;
    int N_links = 0;
    Link links[kMaxLinks];

private:
    ParseSet* BuildParseSet(Disjunct* ld, Disjunct* rd, int lw, int rw, const Connector* le, const Connector* re, int k);
    void AddChoice(ParseSet* set, ParseSet* lset, int llw, int lrw, const Connector* llc, const Connector* lrc,
                   ParseSet* rset, int rlw, int rrw, const Connector* rlc, const Connector* rrc, Disjunct* ld,
                   Disjunct* md, Disjunct* rd);
    void Issue(const ParseChoice* c);
    void IssueLink(const Link& link, Disjunct* ld, Disjunct* rd);
    void ListLinks(const ParseSet* set, int64_t index);
    void RandomLinks(const ParseSet* set, RandomSampler& sampler);
    void CurrentLinks(const ParseSet* set);
    bool Advance(ParseSet* set);
    void ResetLinks();

    CountContext* m_counts = nullptr;
    bool m_islandsOk = true;
    std::vector<XTableEntry*, ParserAllocator<XTableEntry*>> m_xtable;
    std::vector<const XTableEntry*, ParserAllocator<const XTableEntry*>> m_made; // in order of making
    std::vector<Disjunct*> m_lists;
    ParseSet m_dummy{1, nullptr, nullptr};
    ParserArena m_arena;
};
