#include "parser/disjunct/build_disjuncts.h"

#include "parser/core/parser_error.h"
#include "parser/core/parser_memory.h"

#include <deque>

namespace {
// An expression like (A+ | B+) & (A+ | B+) & ... doubles its clauses with every
// operand; a grammar text must not be able to make one word unbounded.
constexpr size_t kMaxClauses = 100000;
} // namespace

std::vector<Clause> BuildClauses(const Exp* e)
{
    if (!e)
        ThrowParserLimit("missing expression");
    std::deque<Clause> result;
    switch (e->type) {
    case CONNECTOR_TYPE:
        result.push_back(Clause{0, 0, {ClauseConnector{e->multi != 0, e->dir, e->label}}});
        break;
    case AND_TYPE: {
        result.push_back(Clause{0, 0, {}});
        for (const ExpCell* cell = e->list; cell; cell = cell->next) {
            std::vector<Clause> child = BuildClauses(cell->exp);
            if (child.size() > 0 && result.size() > kMaxClauses / child.size())
                ThrowParserLimit("expression has too many alternatives");
            std::deque<Clause> next;
            for (const Clause& c1 : result) {
                for (const Clause& c2 : child) {
                    Clause c{c1.cost + c2.cost, c1.maxCost > c2.maxCost ? c1.maxCost : c2.maxCost, c1.connectors};
                    c.connectors.insert(c.connectors.end(), c2.connectors.begin(), c2.connectors.end());
                    next.push_front(std::move(c));
                }
            }
            result.swap(next);
        }
        break;
    }
    case OR_TYPE:
        for (const ExpCell* cell = e->list; cell; cell = cell->next)
            for (Clause& c : BuildClauses(cell->exp))
                result.push_front(std::move(c));
        if (result.size() > kMaxClauses)
            ThrowParserLimit("expression has too many alternatives");
        break;
    default:
        ThrowParserLimit("unknown expression node");
    }
    for (Clause& c : result) {
        c.cost += e->cost;
        c.maxCost += e->cost;
    }
    return std::vector<Clause>(std::make_move_iterator(result.begin()), std::make_move_iterator(result.end()));
}

Disjunct* BuildDisjuncts(ParserArena& arena, const std::vector<Clause>& clauses, const char* wordText,
                         int costLimit)
{
    Disjunct* head = nullptr;
    for (const Clause& c : clauses) {
        if (c.maxCost > costLimit)
            continue;
        Disjunct* d = arena.New<Disjunct>();
        d->cost = static_cast<int16_t>(c.cost);
        d->marked = 0;
        d->text = wordText;
        d->left = d->right = nullptr;
        // Each list comes out in the reverse of the clause's order: the first
        // connector is the one that links farthest.
        for (const ClauseConnector& cc : c.connectors) {
            Connector* n = NewConnector(arena, cc.text, cc.multi);
            Connector*& list = cc.dir == '-' ? d->left : d->right;
            n->next = list;
            list = n;
        }
        d->next = head;
        head = d;
    }
    return head;
}

Disjunct* DisjunctsOfWordEntry(ParserArena& arena, const XNode* entry, int costLimit)
{
    return BuildDisjuncts(arena, BuildClauses(entry->exp), entry->string, costLimit);
}
