// Region marking for conjunction pruning: which disjuncts lie on some complete
// linkage of a word range with no null words. The connector test is the one the
// pruning passes use, handed in by their caller.
#pragma once
#include "parser/core/parser_memory.h"
#include "parser/count/match.h"
#include "parser/disjunct/connector.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CSentence;
struct ParseOptions;
struct ParserResources;

using RegionMatchFn = bool (*)(const Connector* a, const Connector* b, int lw, int rw, const CSentence* sentence);

class RegionMarker {
public:
    RegionMarker(const CSentence* sentence, const ParseOptions* options, RegionMatchFn match);

    bool RegionValid(int lw, int rw, const Connector* lc, const Connector* rc);
    // Marks (`marked` = 1) every disjunct that takes part in a valid completion.
    void MarkRegion(int lw, int rw, const Connector* lc, const Connector* rc);
    // The parse's time or memory ran out during the marking: what it marked is
    // incomplete, and the parse will find nothing.
    bool Stopped() const { return m_stopped; }

private:
    enum : uint8_t { kInvalid = 0, kValid = 1, kMarked = 2 };
    struct Key {
        int lw, rw;
        const Connector* lc;
        const Connector* rc;
        bool operator==(const Key& o) const { return lw == o.lw && rw == o.rw && lc == o.lc && rc == o.rc; }
    };
    // The states by sub-problem: a chained table over one array of records,
    // grown as it fills. Pointers it returns last until the next Set.
    class Memo {
    public:
        Memo() : m_heads(1024, -1) {}
        uint8_t* Find(const Key& k);
        void Set(const Key& k, uint8_t state);

    private:
        struct Node {
            Key key;
            int32_t next;
            uint8_t state;
        };
        size_t Slot(const Key& k) const;
        std::vector<int32_t, ParserAllocator<int32_t>> m_heads; // counted: the memory limit sees them
        std::vector<Node, ParserAllocator<Node>> m_nodes;
    };
    bool OutOfResources();
    bool Allowed(const Connector* a, const Connector* b, int lw, int rw) const;
    bool LinkSide(int l, int r, const Connector* a, const Connector* b, bool mark);
    bool LeftSide(int lw, int w, const Connector* lc, const Disjunct* d, bool mark);
    bool RightSide(int w, int rw, const Disjunct* d, const Connector* rc, bool mark);

    const CSentence* m_sentence;
    bool m_nullLinks;
    RegionMatchFn m_match;
    MatchTable m_table;
    Memo m_memo;
    std::vector<Disjunct*> m_lists;
    ParserResources* m_resources;
    unsigned m_sinceCheck = 0;
    bool m_stopped = false;
};
