#include "parser/count/count.h"

#include "parser/core/random_table.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/sentence.h"

namespace {
// Counts wrap in 32 bits as they always have; unsigned arithmetic keeps that defined.
inline int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
inline int32_t Mul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

inline uint32_t Mix(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

inline bool Known(const CountNode* n, int k) { return (n->known >> (k - n->kBase) & 1u) != 0; }

// 0 when the stored count says the sub-problem has no linkage; a count not yet
// known may have some.
inline int32_t Possible(const CountNode* n, int k) { return Known(n, k) && n->count[k - n->kBase] == 0 ? 0 : 1; }
} // namespace

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
      m_table(256, nullptr), m_entries(65536), m_noLeft(static_cast<size_t>(sentence->numWords))
{
    for (int w = 0; w < sentence->numWords; ++w)
        for (Disjunct* d = sentence->words[w].d; d; d = d->next)
            if (!d->left)
                m_noLeft[static_cast<size_t>(w)].push_back(d);
}

CountContext::~CountContext() = default;

size_t CountContext::Hash(int lw, int rw, const Connector* le, const Connector* re, int kBase) const
{
    uint32_t h = Mix(static_cast<uint32_t>(lw + 1) | static_cast<uint32_t>(rw) << 8 | static_cast<uint32_t>(kBase) << 16);
    h = Mix(h ^ (le ? le->id : 0u));
    h = Mix(h ^ (re ? re->id : 0u) * 0x9e3779b1u);
    return h & (m_table.size() - 1);
}

CountNode* CountContext::FindNode(int lw, int rw, const Connector* le, const Connector* re, int kBase) const
{
    for (CountNode* n = m_table[Hash(lw, rw, le, re, kBase)]; n; n = n->next)
        if (n->le == le && n->re == re && n->lw == lw && n->rw == rw && n->kBase == kBase)
            return n;
    return nullptr;
}

void CountContext::Grow()
{
    std::vector<CountNode*, ParserAllocator<CountNode*>> bigger(m_table.size() * 2, nullptr);
    m_table.swap(bigger);
    for (CountNode* head : bigger) {
        while (head) {
            CountNode* n = head;
            head = n->next;
            size_t h = Hash(n->lw, n->rw, n->le, n->re, n->kBase);
            n->next = m_table[h];
            m_table[h] = n;
        }
    }
}

CountNode* CountContext::Node(int lw, int rw, const Connector* le, const Connector* re, int k)
{
    int kBase = k - k % kCountSpan;
    if (CountNode* n = FindNode(lw, rw, le, re, kBase))
        return n;
    if (m_nodes >= m_table.size())
        Grow();
    CountNode* n = m_entries.New<CountNode>();
    n->le = le;
    n->re = re;
    n->lw = static_cast<int16_t>(lw);
    n->rw = static_cast<int16_t>(rw);
    n->kBase = static_cast<int16_t>(kBase);
    n->known = 0;
    size_t h = Hash(lw, rw, le, re, kBase);
    n->next = m_table[h];
    m_table[h] = n;
    ++m_nodes;
    return n;
}

const int32_t* CountContext::Find(int lw, int rw, const Connector* le, const Connector* re, int k) const
{
    if (k < 0)
        return nullptr;
    const CountNode* n = FindNode(lw, rw, le, re, k - k % kCountSpan);
    if (!n || !Known(n, k))
        return nullptr;
    return &n->count[k - n->kBase];
}

bool CountContext::Match(const Connector* a, const Connector* b, int lw, int rw) const
{
    // Connectors that link have equal match hashes (filled in by the match table).
    if (a->matchHash != b->matchHash)
        return false;
    return MatchConnectors(a, b, lw, rw, m_sentence);
}

int32_t CountContext::DoCount(int lw, int rw, const Connector* le, const Connector* re, int k)
{
    if (k < 0)
        return 0;
    return CountAt(Node(lw, rw, le, re, k), k);
}

int32_t CountContext::CountAt(CountNode* node, int k)
{
    int i = k - node->kBase;
    if (Known(node, k))
        return node->count[i];
    // Stored before the recursion, as zero until the sum is known.
    node->known = static_cast<uint16_t>(node->known | 1u << i);
    node->count[i] = 0;
    if (ResourcesExhausted(m_resources))
        return 0;
    int32_t total = CountSplits(node, k);
    node->count[i] = total;
    return total;
}

int32_t CountContext::CountSplits(CountNode* node, int k)
{
    const int lw = node->lw, rw = node->rw;
    const Connector* le = node->le;
    const Connector* re = node->re;
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
            for (const Disjunct* d : m_noLeft[static_cast<size_t>(w)])
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
            m_match.FormMatchList(w, le, lw, re, rw, m_lists);
            size_t end = m_lists.size();
            for (size_t i = base; i < end; ++i) {
                // Connectors that link have equal labels and upper-case parts, so
                // equal match hashes: most candidates are turned down unread.
                const MatchCandidate c = m_lists[i];
                bool L = le && c.left && c.leftHash == le->matchHash && MatchConnectors(le, c.left, lw, w, m_sentence);
                bool Rm = c.right && re && c.rightHash == re->matchHash &&
                          MatchConnectors(c.right, re, w, rw, m_sentence);
                if (!L && !Rm)
                    continue; // nothing below can be other than zero
                // The records of the sub-problems of this split, looked up
                // once for all the ways of sharing the null words: the left
                // ones (lw, w) and the right ones (w, rw), each as the
                // connectors' multi flags allow, and the two that leave one
                // side's link to the other.
                CountNode* ln[4] = {};
                CountNode* rn[4] = {};
                CountNode* lx = nullptr;
                CountNode* rx = nullptr;
                auto left = [&](CountNode*& slot, const Connector* a, const Connector* b, int kl) {
                    if (!slot || kl < slot->kBase || kl >= slot->kBase + kCountSpan)
                        slot = Node(lw, w, a, b, kl);
                    return slot;
                };
                auto right = [&](CountNode*& slot, const Connector* a, const Connector* b, int kr) {
                    if (!slot || kr < slot->kBase || kr >= slot->kBase + kCountSpan)
                        slot = Node(w, rw, a, b, kr);
                    return slot;
                };
                for (int kl = 0; kl <= k; ++kl) {
                    int kr = k - kl;
                    int32_t lp = 0, rp = 0;
                    if (L) {
                        lp = Possible(left(ln[0], le->next, c.left->next, kl), kl);
                        if (le->multi)
                            lp += Possible(left(ln[1], le, c.left->next, kl), kl);
                        if (c.left->multi)
                            lp += Possible(left(ln[2], le->next, c.left, kl), kl);
                        if (le->multi && c.left->multi)
                            lp += Possible(left(ln[3], le, c.left, kl), kl);
                    }
                    if (Rm) {
                        rp = Possible(right(rn[0], c.right->next, re->next, kr), kr);
                        if (c.right->multi)
                            rp += Possible(right(rn[1], c.right, re->next, kr), kr);
                        if (re->multi)
                            rp += Possible(right(rn[2], c.right->next, re, kr), kr);
                        if (c.right->multi && re->multi)
                            rp += Possible(right(rn[3], c.right, re, kr), kr);
                    }
                    int32_t t = lp * rp;
                    if (lp > 0)
                        t += lp * Possible(right(rx, c.right, re, kr), kr);
                    if (!le && rp > 0)
                        t += rp * Possible(left(lx, le, c.left, kl), kl);
                    if (t == 0)
                        continue;

                    int32_t l = 0, r = 0;
                    if (L) {
                        l = CountAt(ln[0], kl);
                        if (le->multi)
                            l = Add(l, CountAt(ln[1], kl));
                        if (c.left->multi)
                            l = Add(l, CountAt(ln[2], kl));
                        if (le->multi && c.left->multi)
                            l = Add(l, CountAt(ln[3], kl));
                    }
                    if (Rm) {
                        r = CountAt(rn[0], kr);
                        if (c.right->multi)
                            r = Add(r, CountAt(rn[1], kr));
                        if (re->multi)
                            r = Add(r, CountAt(rn[2], kr));
                        if (c.right->multi && re->multi)
                            r = Add(r, CountAt(rn[3], kr));
                    }
                    total = Add(total, Mul(l, r));
                    // Tested against zero, not for being positive: a left count
                    // that wrapped negative still has its parse sets, and the
                    // parse-set sums must agree with the counts modulo 2^32.
                    if (l != 0)
                        total = Add(total, Mul(l, CountAt(right(rx, c.right, re, kr), kr)));
                    if (!le && r != 0)
                        total = Add(total, Mul(r, CountAt(left(lx, le, c.left, kl), kl)));
                }
            }
            m_lists.resize(base);
        }
    }
    return total;
}

int32_t CountContext::CountLinkages(int nullCount)
{
    return DoCount(-1, m_sentence->numWords, nullptr, nullptr, nullCount + 1);
}
