// Connector matching and the per-word match tables that keep counting fast.
#pragma once
#include "parser/disjunct/connector.h"

#include <cstdint>
#include <vector>

class CSentence;

// May connector a of word lw link to connector b of word rw (lw < rw)?
bool MatchConnectors(const Connector* a, const Connector* b, int lw, int rw, const CSentence* sentence);
// The same test without the distance check.
bool MatchConnectors(const Connector* a, const Connector* b);

uint32_t ConnectorMatchHash(const Connector* c);

// A disjunct of a match list with what the counting tests first: its first
// connectors, the words they reach and their match hashes, kept beside it so
// that walking a table and turning down a candidate read no disjunct or
// connector.
struct MatchCandidate {
    Disjunct* d;
    Connector* left;
    Connector* right;
    int16_t leftReach, rightReach;
    uint32_t leftHash, rightHash;
};

class MatchTable {
public:
    explicit MatchTable(const CSentence* sentence);
    // Appends to `out` the disjuncts of word w worth trying between lw and rw with
    // left connector lc of lw and right connector rc of rw (either may be null).
    void FormMatchList(int w, const Connector* lc, int lw, const Connector* rc, int rw,
                       std::vector<Disjunct*>& out) const;
    // The same list, with each disjunct's candidate record, less the disjuncts
    // whose first connectors' hashes rule out a link to lc and to rc.
    void FormMatchList(int w, const Connector* lc, int lw, const Connector* rc, int rw,
                       std::vector<MatchCandidate>& out) const;

private:
    using Entry = MatchCandidate;
    template <class Push> void Form(int w, const Connector* lc, int lw, const Connector* rc, int rw, Push push) const;
    struct WordTables {
        std::vector<std::vector<Entry>> left;  // by first left connector, reach descending
        std::vector<std::vector<Entry>> right; // by first right connector, reach ascending
    };
    std::vector<WordTables> m_words;
};
