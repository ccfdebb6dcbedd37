// Expression trees over connectors, as written in the dictionary.
#pragma once
#include <cstdint>

class ParserArena;

enum : uint8_t { OR_TYPE = 0, AND_TYPE = 1, CONNECTOR_TYPE = 2 };

struct ExpCell;

struct Exp {
    uint8_t type;
    int cost;
    char dir;          // '+' or '-' (connectors)
    uint8_t multi;     // written with "@" (connectors)
    const char* label; // connector label, interned (connectors)
    ExpCell* list;     // operands (AND, OR); an AND with no operands is the empty expression
    int depth;         // 1 for a connector or an empty expression, else 1 + the deepest operand
};

// Every walk over an expression recurses; a grammar text may not nest deeper.
constexpr int kMaxExpressionDepth = 1000;

struct ExpCell {
    ExpCell* next;
    Exp* exp;
};

// One dictionary entry's expression, privately copied for one sentence's word.
struct XNode {
    const char* string; // the dictionary word's name
    Exp* exp;
    XNode* next;
};

Exp* NewConnectorExp(ParserArena& arena, const char* label, char dir, bool multi, int cost = 0);
Exp* NewListExp(ParserArena& arena, uint8_t type, Exp* first, Exp* second); // second may be null
Exp* NewEmptyExp(ParserArena& arena);
Exp* CopyExpression(ParserArena& arena, const Exp* e);
int CountConnectors(const Exp* e);
int MaxCost(const Exp* e);
// Catenates two lists chained through `next`; returns the head.
XNode* CatenateXNodes(XNode* a, XNode* b);
