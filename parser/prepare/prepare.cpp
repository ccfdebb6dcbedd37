#include "parser/prepare/prepare.h"

#include "parser/conjunction/and_tables.h"
#include "parser/core/random_table.h"
#include "parser/dict/dictionary.h"
#include "parser/disjunct/build_disjuncts.h"
#include "parser/options/parse_options.h"
#include "parser/options/resources.h"
#include "parser/prepare/pruning.h"
#include "parser/sentence/sentence.h"

#include <cstring>
#include <vector>

namespace {
PruningPass g_pruning = PruneDisjuncts;
ExpressionPruningPass g_expressionPruning = PruneExpressions;

bool SameConnectors(const Connector* a, const Connector* b)
{
    for (; a && b; a = a->next, b = b->next)
        if (a->label != b->label || a->multi != b->multi || a->priority != b->priority ||
            std::strcmp(a->text, b->text) != 0)
            return false;
    return !a && !b;
}

uint32_t HashText(uint32_t h, const char* text, uint32_t mask)
{
    const uint32_t* R = RandomTable();
    for (const char* p = text; *p; ++p)
        h = 3 * h + R[(static_cast<unsigned char>(*p) + h) & 255u];
    return h & mask;
}
} // namespace

void SetPruningPass(PruningPass pass) { g_pruning = pass; }
void SetExpressionPruning(ExpressionPruningPass pass) { g_expressionPruning = pass; }
void RestoreDefaultPruning()
{
    g_pruning = PruneDisjuncts;
    g_expressionPruning = PruneExpressions;
}

Disjunct* EliminateDuplicateDisjuncts(Disjunct* list)
{
    int n = CountDisjuncts(list);
    if (n < 2)
        return list;
    uint32_t size = NextPowerOfTwo(static_cast<unsigned>(2 * n));
    std::vector<std::vector<Disjunct*>> table(size);
    for (Disjunct* d = list; d;) {
        Disjunct* next = d->next;
        uint32_t h = 0;
        for (const Connector* c = d->left; c; c = c->next)
            h = HashText(h, c->text, size - 1);
        for (const Connector* c = d->right; c; c = c->next)
            h = HashText(h, c->text, size - 1);
        h = HashText(h, d->text, size - 1);
        Disjunct* same = nullptr;
        for (Disjunct* e : table[h])
            if (SameConnectors(e->left, d->left) && SameConnectors(e->right, d->right) &&
                std::strcmp(e->text, d->text) == 0)
                same = e;
        if (same) {
            if (d->cost < same->cost)
                same->cost = d->cost;
        } else {
            table[h].push_back(d);
        }
        d = next;
    }
    Disjunct* head = nullptr;
    Disjunct** link = &head;
    for (uint32_t b = size; b-- > 0;) {
        for (Disjunct* d : table[b]) {
            *link = d;
            link = &d->next;
        }
    }
    *link = nullptr;
    return head;
}

void SetConnectorLengthLimits(CSentence* sentence, const ParseOptions* options)
{
    int shortLength = options->shortLength > 255 ? 255 : options->shortLength;
    if (shortLength < 0)
        shortLength = 0;
    const CGrammarDictionary* dict = sentence->dictionary;
    for (int w = 0; w < sentence->numWords; ++w) {
        for (Disjunct* d = sentence->words[w].d; d; d = d->next) {
            for (int side = 0; side < 2; ++side) {
                char dir = side ? '+' : '-';
                for (Connector* c = side ? d->right : d->left; c; c = c->next) {
                    if (options->allShort)
                        c->lengthLimit = static_cast<uint8_t>(shortLength);
                    else if (dict->HasUnlimitedSet() && !dict->IsUnlimited(c, dir))
                        c->lengthLimit = static_cast<uint8_t>(shortLength);
                    else
                        c->lengthLimit = kUnlimitedLength;
                }
            }
        }
    }
}

void FitDisjunctsToSentence(CSentence* sentence)
{
    int n = sentence->numWords;
    for (int w = 0; w < n; ++w) {
        Disjunct** link = &sentence->words[w].d;
        while (*link) {
            Disjunct* d = *link;
            int nl = 0, nr = 0;
            for (Connector* c = d->left; c; c = c->next)
                ++nl;
            for (Connector* c = d->right; c; c = c->next)
                ++nr;
            if (w - nl < 0 || w + nr > n - 1) {
                *link = d->next; // cannot fit: its memory goes with the arena
                continue;
            }
            // The first connector links farthest: the last one reaches w -/+ 1.
            int i = nl;
            for (Connector* c = d->left; c; c = c->next, --i)
                c->word = static_cast<uint8_t>(w - i);
            i = nr;
            for (Connector* c = d->right; c; c = c->next, --i)
                c->word = static_cast<uint8_t>(w + i);
            link = &d->next;
        }
    }
}

int PrepareToParse(CSentence* sentence, ParseOptions* options)
{
    if (g_expressionPruning)
        g_expressionPruning(sentence);
    for (int w = 0; w < sentence->numWords; ++w) {
        Disjunct* all = nullptr;
        for (XNode* x = sentence->words[w].x; x; x = x->next)
            all = CatenateDisjuncts(DisjunctsOfWordEntry(sentence->disjunctArena, x, options->disjunctCost), all);
        sentence->words[w].d = EliminateDuplicateDisjuncts(all);
    }
    sentence->BuildConjunctionFlags();
    SetConnectorLengthLimits(sentence, options);
    sentence->BuildDeletable(options);
    sentence->BuildEffectiveDistance(options);
    FitDisjunctsToSentence(sentence);
    if (!sentence->HasConjunction())
        return g_pruning ? g_pruning(sentence, options) : 0;

    // Conjunctions: the words' own disjuncts are pruned as far as the deletable
    // stretches allow, then the and-lists give every word its fat disjuncts.
    // Each step can be long on a long line: once the time or memory is spent
    // the parse will find nothing, so the rest is not done.
    if (g_pruning) {
        RuleAndPowerPrune(sentence, 1, options);
        if (ResourcesExhausted(options->resources))
            return 0;
        ConjunctionPrune(sentence, options);
        if (ResourcesExhausted(options->resources))
            return 0;
    }
    BuildConjunctionDisjuncts(sentence);
    if (ResourcesExhausted(options->resources))
        return 0;
    SetConnectorLengthLimits(sentence, options);
    FitDisjunctsToSentence(sentence);
    if (g_pruning)
        SimplePrune(sentence);
    for (int w = 0; w < sentence->numWords; ++w)
        sentence->words[w].d = EliminateDuplicateDisjuncts(sentence->words[w].d);
    if (ResourcesExhausted(options->resources))
        return 0;
    return g_pruning ? PowerPrune(sentence, 0, options) : 0;
}
