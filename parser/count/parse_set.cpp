#include "parser/count/parse_set.h"

#include "parser/core/parser_error.h"
#include "parser/core/random_table.h"
#include "parser/count/count.h"
#include "parser/sentence/sentence.h"

ParseInfo::ParseInfo(int numWords_)
    : numWords(numWords_), chosenDisjuncts(static_cast<size_t>(numWords_), nullptr),
      m_xtable(XTableSize(numWords_), nullptr), m_arena(65536)
{
}

void ParseInfo::AddChoice(ParseSet* set, ParseSet* lset, int llw, int lrw, const Connector* llc,
                          const Connector* lrc, ParseSet* rset, int rlw, int rrw, const Connector* rlc,
                          const Connector* rrc, Disjunct* ld, Disjunct* md, Disjunct* rd)
{
    ParseChoice* c = m_arena.New<ParseChoice>();
    c->next = nullptr;
    c->set[0] = lset;
    c->set[1] = rset;
    c->link[0] = Link{llw, lrw, const_cast<Connector*>(llc), const_cast<Connector*>(lrc), nullptr};
    c->link[1] = Link{rlw, rrw, const_cast<Connector*>(rlc), const_cast<Connector*>(rrc), nullptr};
    c->ld = ld;
    c->md = md;
    c->rd = rd;
    // Appended in order: keep a tail pointer in `current` while building.
    if (!set->first)
        set->first = c;
    else
        set->current->next = c;
    set->current = c;
}

ParseSet* ParseInfo::BuildParseSet(Disjunct* ld, Disjunct* rd, int lw, int rw, const Connector* le, const Connector* re,
                           int k)
{
    if (k < 0)
        ThrowParserLimit("negative null count in a parse set");
    const int32_t* count = m_counts->Find(lw, rw, le, re, k);
    if (!count || *count == 0)
        return nullptr;
    uint32_t h = KeyHash(lw, rw, le, re, k, m_xtable.size());
    for (XTableEntry* x = m_xtable[h]; x; x = x->next)
        if (x->lw == lw && x->rw == rw && x->le == le && x->re == re && x->k == k)
            return x->set;
    ParseSet* set = m_arena.New<ParseSet>();
    set->count = *count;
    set->first = set->current = nullptr;
    XTableEntry* x = m_arena.New<XTableEntry>();
    x->lw = static_cast<int16_t>(lw);
    x->rw = static_cast<int16_t>(rw);
    x->k = static_cast<int16_t>(k);
    x->set = set;
    x->le = le;
    x->re = re;
    x->next = m_xtable[h];
    m_xtable[h] = x;
    m_made.push_back(x);

    if (rw == lw + 1) {
        // no choices
    } else if (!le && !re) {
        if ((!m_islandsOk && lw != -1) || k == 0) {
            // the stretch is all null words: no choices
        } else {
            int w = lw + 1;
            for (Disjunct* d = m_counts->Sentence()->words[w].d; d; d = d->next) {
                if (d->left)
                    continue;
                if (ParseSet* s = BuildParseSet(d, nullptr, w, rw, d->right, nullptr, k - 1))
                    AddChoice(set, &m_dummy, lw, w, nullptr, nullptr, s, w, rw, nullptr, nullptr, nullptr, nullptr,
                              nullptr);
            }
            if (ParseSet* s = BuildParseSet(nullptr, nullptr, w, rw, nullptr, nullptr, k - 1))
                AddChoice(set, &m_dummy, lw, w, nullptr, nullptr, s, w, rw, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
        }
    } else {
        int s = le ? le->word : lw + 1;
        int e = re ? re->word : rw - 1;
        if (s <= lw)
            s = lw + 1;
        if (e >= rw)
            e = rw - 1;
        for (int w = s; w <= e; ++w) {
            size_t base = m_lists.size();
            m_counts->FormMatchList(w, le, lw, re, rw, m_lists);
            size_t end = m_lists.size();
            for (size_t i = base; i < end; ++i) {
                Disjunct* d = m_lists[i];
                bool L = le && d->left && m_counts->Match(le, d->left, lw, w);
                bool Rm = d->right && re && m_counts->Match(d->right, re, w, rw);
                for (int kl = 0; kl <= k; ++kl) {
                    int kr = k - kl;
                    ParseSet* ls[4] = {};
                    ParseSet* rs[4] = {};
                    if (L) {
                        ls[0] = BuildParseSet(ld, d, lw, w, le->next, d->left->next, kl);
                        if (le->multi)
                            ls[1] = BuildParseSet(ld, d, lw, w, le, d->left->next, kl);
                        if (d->left->multi)
                            ls[2] = BuildParseSet(ld, d, lw, w, le->next, d->left, kl);
                        if (le->multi && d->left->multi)
                            ls[3] = BuildParseSet(ld, d, lw, w, le, d->left, kl);
                    }
                    if (Rm) {
                        rs[0] = BuildParseSet(d, rd, w, rw, d->right->next, re->next, kr);
                        if (d->right->multi)
                            rs[1] = BuildParseSet(d, rd, w, rw, d->right, re->next, kr);
                        if (re->multi)
                            rs[2] = BuildParseSet(d, rd, w, rw, d->right->next, re, kr);
                        if (d->right->multi && re->multi)
                            rs[3] = BuildParseSet(d, rd, w, rw, d->right, re, kr);
                    }
                    for (int a = 0; a < 4; ++a)
                        for (int b = 0; b < 4; ++b)
                            if (ls[a] && rs[b])
                                AddChoice(set, ls[a], lw, w, le, d->left, rs[b], w, rw, d->right, re, ld, d, rd);
                    if (ls[0] || ls[1] || ls[2] || ls[3]) {
                        if (ParseSet* r = BuildParseSet(d, rd, w, rw, d->right, re, kr))
                            for (int a = 0; a < 4; ++a)
                                if (ls[a])
                                    AddChoice(set, ls[a], lw, w, le, d->left, r, w, rw, nullptr, re, ld, d, rd);
                    }
                    if (!le && (rs[0] || rs[1] || rs[2] || rs[3])) {
                        if (ParseSet* l = BuildParseSet(ld, d, lw, w, nullptr, d->left, kl))
                            for (int b = 0; b < 4; ++b)
                                if (rs[b])
                                    AddChoice(set, l, lw, w, nullptr, d->left, rs[b], w, rw, d->right, re, ld, d, rd);
                    }
                }
            }
            m_lists.resize(base);
        }
    }
    set->current = set->first;
    return set;
}

void ParseInfo::BuildRoot(CountContext& counts, int nullCount, bool islandsOk)
{
    m_counts = &counts;
    m_islandsOk = islandsOk;
    root = BuildParseSet(nullptr, nullptr, -1, numWords, nullptr, nullptr, nullCount + 1);
    if (root)
        root->current = root->first;
    m_counts = nullptr;
}

bool ParseInfo::ParseSetOverflowed() const
{
    if (m_xtable.empty())
        ThrowParserLimit("no parse-set table");
    // The sets made so far, not the table's buckets: most buckets of a long
    // sentence's table are empty, and every null count tried looks again.
    for (const XTableEntry* x : m_made) {
        const ParseSet* s = x->set;
        if (!s->first)
            continue;
        uint32_t isum = 0;
        double dsum = 0;
        for (const ParseChoice* c = s->first; c; c = c->next) {
            isum += static_cast<uint32_t>(c->set[0]->count) * static_cast<uint32_t>(c->set[1]->count);
            dsum += static_cast<double>(c->set[0]->count) * static_cast<double>(c->set[1]->count);
        }
        int32_t sum = static_cast<int32_t>(isum);
        if (sum != s->count)
            ThrowParserLimit("parse-set sum differs from its count");
        if (sum < 0 || dsum < 0 || dsum >= 2147483648.0 ||
            static_cast<double>(sum) != static_cast<double>(static_cast<int64_t>(dsum)))
            return true;
    }
    return false;
}

void ParseInfo::ResetLinks()
{
    N_links = 0;
    for (Disjunct*& d : chosenDisjuncts)
        d = nullptr;
}

void ParseInfo::IssueLink(const Link& link, Disjunct* ld, Disjunct* rd)
{
    if (N_links >= kMaxLinks)
        ThrowParserLimit("too many links");
    links[N_links++] = link;
    if (link.l >= 0 && link.l < numWords)
        chosenDisjuncts[static_cast<size_t>(link.l)] = ld;
    if (link.r >= 0 && link.r < numWords)
        chosenDisjuncts[static_cast<size_t>(link.r)] = rd;
}

void ParseInfo::Issue(const ParseChoice* c)
{
    if (c->link[0].lc)
        IssueLink(c->link[0], c->ld, c->md);
    if (c->link[1].lc)
        IssueLink(c->link[1], c->md, c->rd);
}

void ParseInfo::ListLinks(const ParseSet* set, int64_t index)
{
    if (!set || !set->first)
        return;
    const ParseChoice* c = set->first;
    for (; c; c = c->next) {
        int64_t n = static_cast<int64_t>(c->set[0]->count) * c->set[1]->count;
        if (index < n)
            break;
        index -= n;
    }
    if (!c)
        ThrowParserLimit("linkage index out of range");
    Issue(c);
    int64_t lc = c->set[0]->count;
    ListLinks(c->set[0], index % lc);
    ListLinks(c->set[1], index / lc);
}

void ParseInfo::RandomLinks(const ParseSet* set, RandomSampler& sampler)
{
    if (!set || !set->first)
        return;
    int n = 0;
    for (const ParseChoice* c = set->first; c; c = c->next)
        ++n;
    int pick = sampler.Next() % n;
    const ParseChoice* c = set->first;
    for (; c && pick > 0; c = c->next)
        --pick;
    if (!c)
        ThrowParserLimit("random choice not found");
    Issue(c);
    RandomLinks(c->set[0], sampler);
    RandomLinks(c->set[1], sampler);
}

void ParseInfo::ExtractLinks(int index, RandomSampler& sampler)
{
    ResetLinks();
    if (index >= 0) {
        ListLinks(root, index);
    } else {
        SamplerScope scope(sampler, index);
        RandomLinks(root, sampler);
    }
}

void ParseInfo::CurrentLinks(const ParseSet* set)
{
    if (!set || !set->current)
        return;
    Issue(set->current);
    CurrentLinks(set->current->set[0]);
    CurrentLinks(set->current->set[1]);
}

void ParseInfo::BuildCurrentLinkage()
{
    ResetLinks();
    CurrentLinks(root);
}

bool ParseInfo::Advance(ParseSet* set)
{
    if (!set || !set->first)
        return true;
    if (!Advance(set->current->set[0]))
        return false;
    if (!Advance(set->current->set[1]))
        return false;
    if (set->current->next) {
        set->current = set->current->next;
        return false;
    }
    set->current = set->first;
    return true;
}
