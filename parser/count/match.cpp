#include "parser/count/match.h"

#include "parser/core/parser_error.h"
#include "parser/core/random_table.h"
#include "parser/sentence/sentence.h"

#include <algorithm>

namespace {

bool MatchPriorities(const char* s, const char* t, int p, int q)
{
    if (p == 0 && q == 0) {
        for (; *s && *t; ++s, ++t) {
            if (*s != '*' && *t != '*' && (*s != *t || *s == '^'))
                return false;
        }
        return true;
    }
    if (p == 1 && q == 2) {
        for (; *s; ++s, ++t) {
            if (!*t)
                return true;
            if (*s != *t && *s != '*' && *t != '^')
                return false;
        }
        return true;
    }
    if (p == 2 && q == 1) {
        for (; *s && *t; ++s, ++t) {
            if (*s != *t && *t != '*' && *s != '^')
                return false;
        }
        return true;
    }
    return false;
}

bool MatchCommon(const Connector* a, const Connector* b, const char*& s, const char*& t)
{
    if (a->label != b->label)
        return false;
    s = a->text;
    t = b->text;
    while (IsUpper(*s) || IsUpper(*t)) {
        if (*s != *t)
            return false;
        ++s;
        ++t;
    }
    return true;
}

} // namespace

bool MatchConnectors(const Connector* a, const Connector* b, int lw, int rw, const CSentence* sentence)
{
    const char* s;
    const char* t;
    if (!MatchCommon(a, b, s, t))
        return false;
    int d = 0;
    if (lw != 0 || rw != 0) {
        if (lw >= rw)
            ThrowParserLimit("length test with lw >= rw");
        d = sentence->EffectiveDistance(lw, rw);
    }
    if (d > a->lengthLimit || d > b->lengthLimit)
        return false;
    return MatchPriorities(s, t, a->priority, b->priority);
}

bool MatchConnectors(const Connector* a, const Connector* b)
{
    const char* s;
    const char* t;
    if (!MatchCommon(a, b, s, t))
        return false;
    return MatchPriorities(s, t, a->priority, b->priority);
}

uint32_t ConnectorMatchHash(const Connector* c)
{
    const uint32_t* R = RandomTable();
    uint32_t h = R[static_cast<uint16_t>(c->label) & 255u];
    for (const char* p = c->text; IsUpper(*p); ++p)
        h = 3 * h + R[(static_cast<unsigned char>(*p) + h) & 255u];
    return h;
}

MatchTable::MatchTable(const CSentence* sentence)
{
    m_words.resize(static_cast<size_t>(sentence->numWords));
    for (int w = 0; w < sentence->numWords; ++w) {
        WordTables& t = m_words[static_cast<size_t>(w)];
        unsigned nl = 0, nr = 0;
        for (Disjunct* d = sentence->words[w].d; d; d = d->next) {
            nl += d->left ? 1 : 0;
            nr += d->right ? 1 : 0;
            // The recursion asks for the tables of these connectors again and again.
            for (Connector* c = d->left; c; c = c->next)
                c->matchHash = ConnectorMatchHash(c);
            for (Connector* c = d->right; c; c = c->next)
                c->matchHash = ConnectorMatchHash(c);
        }
        t.left.resize(NextPowerOfTwo(nl));
        t.right.resize(NextPowerOfTwo(nr));
        for (Disjunct* d = sentence->words[w].d; d; d = d->next) {
            Entry e{d,
                    d->left,
                    d->right,
                    static_cast<int16_t>(d->left ? d->left->word : 0),
                    static_cast<int16_t>(d->right ? d->right->word : 0),
                    d->left ? d->left->matchHash : 0u,
                    d->right ? d->right->matchHash : 0u};
            if (d->left) {
                auto& bucket = t.left[e.leftHash & (t.left.size() - 1)];
                auto at = std::find_if(bucket.begin(), bucket.end(),
                                       [&](const Entry& x) { return x.leftReach <= e.leftReach; });
                bucket.insert(at, e);
            }
            if (d->right) {
                auto& bucket = t.right[e.rightHash & (t.right.size() - 1)];
                auto at = std::find_if(bucket.begin(), bucket.end(),
                                       [&](const Entry& x) { return x.rightReach >= e.rightReach; });
                bucket.insert(at, e);
            }
        }
    }
}

template <class Push>
void MatchTable::Form(int w, const Connector* lc, int lw, const Connector* rc, int rw, Push push) const
{
    const WordTables& t = m_words[static_cast<size_t>(w)];
    // F: the head of lc's bucket in the left table, the disjuncts reaching lw
    // or beyond (the bucket is sorted by reach, descending).
    const std::vector<Entry>* f = nullptr;
    size_t nf = 0;
    size_t leftMask = t.left.size() - 1;
    if (lc) {
        f = &t.left[lc->matchHash & leftMask];
        while (nf < f->size() && (*f)[nf].leftReach >= lw)
            ++nf;
    }
    // A: the right table's candidates that F does not already hold, in walk order.
    if (rc) {
        for (const Entry& x : t.right[rc->matchHash & (t.right.size() - 1)]) {
            if (x.rightReach > rw)
                break;
            bool inF = nf > 0 && x.left && (x.leftHash & leftMask) == (lc->matchHash & leftMask) && x.leftReach >= lw;
            if (!inF)
                push(x);
        }
    }
    // Then F, ascending by reach.
    for (size_t i = nf; i-- > 0;)
        push((*f)[i]);
}

void MatchTable::FormMatchList(int w, const Connector* lc, int lw, const Connector* rc, int rw,
                               std::vector<Disjunct*>& out) const
{
    Form(w, lc, lw, rc, rw, [&](const Entry& x) { out.push_back(x.d); });
}

void MatchTable::FormMatchList(int w, const Connector* lc, int lw, const Connector* rc, int rw,
                               std::vector<MatchCandidate>& out) const
{
    // Only the candidates one of whose first connectors has the hash of the
    // connector it would link to: the others cannot link on either side.
    Form(w, lc, lw, rc, rw, [&](const Entry& x) {
        if ((lc && x.left && x.leftHash == lc->matchHash) || (rc && x.right && x.rightHash == rc->matchHash))
            out.push_back(x);
    });
}
