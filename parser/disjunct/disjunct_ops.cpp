#include "parser/disjunct/connector.h"

#include "parser/core/parser_memory.h"

namespace {
uint32_t g_nextConnectorId = 1;
}

Connector* NewConnector(ParserArena& arena, const char* text, bool multi)
{
    Connector* c = arena.New<Connector>();
    c->label = -1;
    c->word = 0;
    c->lengthLimit = kUnlimitedLength;
    c->priority = 0;
    c->multi = multi ? 1 : 0;
    c->next = nullptr;
    c->text = text;
    c->id = g_nextConnectorId++;
    if (g_nextConnectorId == 0)
        g_nextConnectorId = 1;
    return c;
}

Connector* CopyConnectorList(ParserArena& arena, const Connector* c)
{
    Connector* head = nullptr;
    Connector** link = &head;
    for (; c; c = c->next) {
        Connector* n = arena.New<Connector>();
        *n = *c;
        n->id = g_nextConnectorId++;
        n->next = nullptr;
        *link = n;
        link = &n->next;
    }
    return head;
}

Disjunct* CopyDisjunct(ParserArena& arena, const Disjunct* d)
{
    Disjunct* n = arena.New<Disjunct>();
    *n = *d;
    n->next = nullptr;
    n->left = CopyConnectorList(arena, d->left);
    n->right = CopyConnectorList(arena, d->right);
    return n;
}

Disjunct* CatenateDisjuncts(Disjunct* a, Disjunct* b)
{
    if (!a)
        return b;
    Disjunct* t = a;
    while (t->next)
        t = t->next;
    t->next = b;
    return a;
}

int CountDisjuncts(const Disjunct* d)
{
    int n = 0;
    for (; d; d = d->next)
        ++n;
    return n;
}

unsigned NextPowerOfTwo(unsigned n)
{
    unsigned p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

Disjunct* KeepMarkedDisjuncts(Disjunct* list)
{
    Disjunct* kept = nullptr;
    while (list) {
        Disjunct* next = list->next;
        if (list->marked) {
            list->next = kept;
            kept = list;
        }
        list = next;
    }
    return kept;
}
