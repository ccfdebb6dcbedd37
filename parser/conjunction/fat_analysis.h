// The analysis of a linkage with fat links: the word graph, the tree of the
// conjunctions' choices, and the plain sublinkage of each choice.
#pragma once
#include "parser/disjunct/connector.h"

#include <vector>

class CSentence;

// A link counts as fat when either connector is a "down" connector.
bool HasFatLinks(const Link* links, int numLinks);

// The most sublinkages one linkage may expand into.
constexpr int kMaxSublinkages = kMaxLinks * 4;

class FatLinkage {
public:
    // `links` and `chosen` (per word) are the extracted linkage's.
    FatLinkage(CSentence* sentence, const Link* links, int numLinks, const std::vector<Disjunct*>& chosen);

    // The conjunction structure is not a proper tree.
    bool Improper() const { return m_violation; }
    // Throws the parser's limit exception past kMaxSublinkages.
    int NumChoices() const;
    // More choices than a linkage may expand into: the linkage cannot be used.
    bool TooManyChoices() const;
    // The plain linkages, one per choice of the conjunctions, in enumeration order.
    std::vector<std::vector<Link>> Sublinkages();
    // The spread of the conjuncts' sizes, summed over the conjunction words.
    int AndCost() const;
    // Of the equivalent ways to find this linkage, this is the one to keep: every
    // conjunction word uses the first element of its and-list that serves.
    bool Canonical() const;

private:
    struct Edge {
        int link, word, dir; // dir: 0 plain, 1 down end, -1 up end
    };
    struct DisNode {
        std::vector<int> cons, links;
        int word;
    };
    struct ConNode {
        std::vector<int> choices;
        int current = 0;
        int word;
    };
    struct Pending {
        int link;
        char side; // 'l': the left end moves, 'r': the right end
    };

    int BuildDis(int w, int root);
    long long Count(int dis) const;
    bool AdvanceDis(int dis);
    bool AdvanceCon(int con);
    void Patch(int dis, const std::vector<Pending>& pending);
    const Connector* ElementConnector(int word, const Connector* old, int conjunctionWord) const;

    CSentence* m_s;
    const Link* m_links;
    int m_numLinks;
    const std::vector<Disjunct*>& m_chosen;
    int m_n;
    bool m_violation = false;
    std::vector<std::vector<Edge>> m_graph;
    std::vector<int> m_rootOf;
    std::vector<DisNode> m_dis;
    std::vector<ConNode> m_con;
    int m_root = -1;
    // patch of the current choice
    std::vector<uint8_t> m_used, m_changed;
    std::vector<int> m_newL, m_newR;
    std::vector<int> m_changedBy; // the conjunction word whose link moved
};
