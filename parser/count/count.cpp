#include "parser/count/count.h"

#include "parser/core/random_table.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/sentence.h"

namespace {
// Counts wrap in 32 bits as they always have; unsigned arithmetic keeps that defined.
inline int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
inline int32_t Mul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }
} // namespace

size_t CountTableSize(int n)
{
    if (n >= 10)
        return 65536;
    if (n >= 4)
        return size_t{1} << n;
    return 16;
}

size_t XTableSize(int n)
{
    if (n >= 10)
        return 16384;
    if (n >= 4)
        return size_t{1} << n;
    return 16;
}

uint32_t KeyHash(int lw, int rw, const Connector* le, const Connector* re, int k, size_t size)
{
    const uint32_t* R = RandomTable();
    int32_t lc = le ? static_cast<int32_t>(le->id) : 0;
    int32_t rc = re ? static_cast<int32_t>(re->id) : 0;
    int32_t s1 = static_cast<int32_t>(size + 1);
    uint32_t h = 0;
    h = 3 * h + R[(static_cast<uint32_t>(lw) + h) & 255u];
    h = 3 * h + R[(static_cast<uint32_t>(rw) + h) & 255u];
    h = 3 * h + R[static_cast<uint32_t>(static_cast<int32_t>(static_cast<uint32_t>(lc) + h) % s1) & 255u];
    h = 3 * h + R[static_cast<uint32_t>(static_cast<int32_t>(static_cast<uint32_t>(rc) + h) % s1) & 255u];
    h = 3 * h + R[(static_cast<uint32_t>(k) + h) & 255u];
    return h & static_cast<uint32_t>(size - 1);
}

CountContext::CountContext(CSentence* sentence, ParseOptions* options)
    : m_sentence(sentence), m_options(options), m_resources(options->resources), m_match(sentence),
      m_table(CountTableSize(sentence->numWords), nullptr), m_entries(65536)
{
}

CountContext::~CountContext() = default;

size_t CountContext::Hash(int lw, int rw, const Connector* le, const Connector* re, int k) const
{
    return KeyHash(lw, rw, le, re, k, m_table.size());
}

const CountEntry* CountContext::Find(int lw, int rw, const Connector* le, const Connector* re, int k) const
{
    for (const CountEntry* e = m_table[Hash(lw, rw, le, re, k)]; e; e = e->next)
        if (e->lw == lw && e->rw == rw && e->le == le && e->re == re && e->k == k)
            return e;
    return nullptr;
}

CountEntry* CountContext::Store(int lw, int rw, const Connector* le, const Connector* re, int k, int32_t count)
{
    size_t h = Hash(lw, rw, le, re, k);
    CountEntry* e = m_entries.New<CountEntry>();
    e->lw = static_cast<int16_t>(lw);
    e->rw = static_cast<int16_t>(rw);
    e->le = le;
    e->re = re;
    e->k = static_cast<int16_t>(k);
    e->count = count;
    e->next = m_table[h];
    m_table[h] = e;
    return e;
}

int32_t CountContext::Pseudo(int lw, int rw, const Connector* le, const Connector* re, int k) const
{
    const CountEntry* e = Find(lw, rw, le, re, k);
    return (e && e->count == 0) ? 0 : 1;
}

bool CountContext::Match(const Connector* a, const Connector* b, int lw, int rw) const
{
    return MatchConnectors(a, b, lw, rw, m_sentence);
}

int32_t CountContext::DoCount(int lw, int rw, const Connector* le, const Connector* re, int k)
{
    if (k < 0)
        return 0;
    if (const CountEntry* found = Find(lw, rw, le, re, k))
        return found->count;
    if (ResourcesExhausted(m_resources))
        return Store(lw, rw, le, re, k, 0)->count;
    CountEntry* entry = Store(lw, rw, le, re, k, 0);

    int32_t total = 0;
    if (rw == lw + 1) {
        total = (!le && !re && k == 0) ? 1 : 0;
    } else if (!le && !re) {
        if (!m_options->islandsOk && lw != -1) {
            int B = m_options->nullBlock > 0 ? m_options->nullBlock : 1;
            total = (k == (rw - lw + B - 2) / B) ? 1 : 0;
        } else if (k == 0) {
            total = 0;
        } else {
            int w = lw + 1;
            for (Disjunct* d = m_sentence->words[w].d; d; d = d->next)
                if (!d->left)
                    total = Add(total, DoCount(w, rw, d->right, nullptr, k - 1));
            total = Add(total, DoCount(w, rw, nullptr, nullptr, k - 1));
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
            FormMatchList(w, le, lw, re, rw, m_lists);
            size_t end = m_lists.size();
            for (size_t i = base; i < end; ++i) {
                const Disjunct* d = m_lists[i];
                bool L = le && d->left && Match(le, d->left, lw, w);
                bool Rm = d->right && re && Match(d->right, re, w, rw);
                for (int kl = 0; kl <= k; ++kl) {
                    int kr = k - kl;
                    int32_t lp = 0, rp = 0;
                    if (L) {
                        lp = Pseudo(lw, w, le->next, d->left->next, kl);
                        if (le->multi)
                            lp += Pseudo(lw, w, le, d->left->next, kl);
                        if (d->left->multi)
                            lp += Pseudo(lw, w, le->next, d->left, kl);
                        if (le->multi && d->left->multi)
                            lp += Pseudo(lw, w, le, d->left, kl);
                    }
                    if (Rm) {
                        rp = Pseudo(w, rw, d->right->next, re->next, kr);
                        if (d->right->multi)
                            rp += Pseudo(w, rw, d->right, re->next, kr);
                        if (re->multi)
                            rp += Pseudo(w, rw, d->right->next, re, kr);
                        if (d->right->multi && re->multi)
                            rp += Pseudo(w, rw, d->right, re, kr);
                    }
                    int32_t t = lp * rp;
                    if (lp > 0)
                        t += lp * Pseudo(w, rw, d->right, re, kr);
                    if (!le && rp > 0)
                        t += rp * Pseudo(lw, w, le, d->left, kl);
                    if (t == 0)
                        continue;

                    int32_t l = 0, r = 0;
                    if (L) {
                        l = DoCount(lw, w, le->next, d->left->next, kl);
                        if (le->multi)
                            l = Add(l, DoCount(lw, w, le, d->left->next, kl));
                        if (d->left->multi)
                            l = Add(l, DoCount(lw, w, le->next, d->left, kl));
                        if (le->multi && d->left->multi)
                            l = Add(l, DoCount(lw, w, le, d->left, kl));
                    }
                    if (Rm) {
                        r = DoCount(w, rw, d->right->next, re->next, kr);
                        if (d->right->multi)
                            r = Add(r, DoCount(w, rw, d->right, re->next, kr));
                        if (re->multi)
                            r = Add(r, DoCount(w, rw, d->right->next, re, kr));
                        if (d->right->multi && re->multi)
                            r = Add(r, DoCount(w, rw, d->right, re, kr));
                    }
                    total = Add(total, Mul(l, r));
                    // Tested against zero, not for being positive: a left count
                    // that wrapped negative still has its parse sets, and the
                    // parse-set sums must agree with the counts modulo 2^32.
                    if (l != 0)
                        total = Add(total, Mul(l, DoCount(w, rw, d->right, re, kr)));
                    if (!le && r != 0)
                        total = Add(total, Mul(r, DoCount(lw, w, le, d->left, kl)));
                }
            }
            m_lists.resize(base);
        }
    }
    entry->count = total;
    return total;
}

int32_t CountContext::CountLinkages(int nullCount)
{
    return DoCount(-1, m_sentence->numWords, nullptr, nullptr, nullCount + 1);
}
