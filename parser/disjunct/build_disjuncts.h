// Expands dictionary expressions into disjuncts: the flat alternatives of a word.
#pragma once
#include "parser/dict/expression.h"
#include "parser/disjunct/connector.h"

#include <vector>

struct ClauseConnector {
    bool multi;
    char dir;
    const char* text;
};

struct Clause {
    int cost;
    int maxCost;
    std::vector<ClauseConnector> connectors;
};

// Clauses of an expression, in the order the expansion produces them.
std::vector<Clause> BuildClauses(const Exp* e);
Disjunct* BuildDisjuncts(ParserArena& arena, const std::vector<Clause>& clauses, const char* wordText,
                         int costLimit);
Disjunct* DisjunctsOfWordEntry(ParserArena& arena, const XNode* entry, int costLimit);
