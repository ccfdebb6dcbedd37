#include "parser/dict/expression.h"

#include "parser/core/parser_memory.h"

Exp* NewConnectorExp(ParserArena& arena, const char* label, char dir, bool multi, int cost)
{
    Exp* e = arena.New<Exp>();
    e->type = CONNECTOR_TYPE;
    e->cost = cost;
    e->dir = dir;
    e->multi = multi ? 1 : 0;
    e->label = label;
    e->list = nullptr;
    e->depth = 1;
    return e;
}

Exp* NewListExp(ParserArena& arena, uint8_t type, Exp* first, Exp* second)
{
    Exp* e = arena.New<Exp>();
    e->type = type;
    e->cost = 0;
    e->dir = 0;
    e->multi = 0;
    e->label = nullptr;
    e->list = nullptr;
    int deepest = 0;
    if (first)
        deepest = first->depth;
    if (second && second->depth > deepest)
        deepest = second->depth;
    e->depth = 1 + deepest;
    ExpCell* tail = nullptr;
    if (second) {
        tail = arena.New<ExpCell>();
        tail->next = nullptr;
        tail->exp = second;
    }
    if (first) {
        ExpCell* c = arena.New<ExpCell>();
        c->next = tail;
        c->exp = first;
        e->list = c;
    } else {
        e->list = tail;
    }
    return e;
}

Exp* NewEmptyExp(ParserArena& arena) { return NewListExp(arena, AND_TYPE, nullptr, nullptr); }

Exp* CopyExpression(ParserArena& arena, const Exp* e)
{
    if (!e)
        return nullptr;
    Exp* n = arena.New<Exp>();
    *n = *e;
    n->list = nullptr;
    ExpCell** link = &n->list;
    for (const ExpCell* c = e->list; c; c = c->next) {
        ExpCell* copy = arena.New<ExpCell>();
        copy->next = nullptr;
        copy->exp = CopyExpression(arena, c->exp);
        *link = copy;
        link = &copy->next;
    }
    return n;
}

int CountConnectors(const Exp* e)
{
    if (!e)
        return 0;
    if (e->type == CONNECTOR_TYPE)
        return 1;
    int n = 0;
    for (const ExpCell* c = e->list; c; c = c->next)
        n += CountConnectors(c->exp);
    return n;
}

int MaxCost(const Exp* e)
{
    if (!e)
        return 0;
    if (e->type == CONNECTOR_TYPE)
        return e->cost;
    int best = 0;
    for (const ExpCell* c = e->list; c; c = c->next) {
        int m = MaxCost(c->exp);
        if (m > best)
            best = m;
    }
    return e->cost + best;
}

XNode* CatenateXNodes(XNode* a, XNode* b)
{
    if (!a)
        return b;
    XNode* t = a;
    while (t->next)
        t = t->next;
    t->next = b;
    return a;
}
