#include "parser/count/region.h"

#include "parser/count/count.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/sentence.h"

size_t RegionMarker::Memo::Slot(const Key& k) const
{
    uint32_t h = static_cast<uint32_t>(k.lw + 1) | static_cast<uint32_t>(k.rw) << 16;
    h = (h ^ (k.lc ? k.lc->id : 0u)) * 0x9e3779b1u;
    h = (h ^ h >> 15 ^ (k.rc ? k.rc->id : 0u)) * 0x85ebca6bu;
    h ^= h >> 13;
    return h & (m_heads.size() - 1);
}

uint8_t* RegionMarker::Memo::Find(const Key& k)
{
    for (int32_t i = m_heads[Slot(k)]; i >= 0; i = m_nodes[static_cast<size_t>(i)].next)
        if (m_nodes[static_cast<size_t>(i)].key == k)
            return &m_nodes[static_cast<size_t>(i)].state;
    return nullptr;
}

void RegionMarker::Memo::Set(const Key& k, uint8_t state)
{
    if (uint8_t* found = Find(k)) {
        *found = state;
        return;
    }
    if (m_nodes.size() >= m_heads.size()) {
        m_heads.assign(m_heads.size() * 2, -1);
        for (size_t i = 0; i < m_nodes.size(); ++i) {
            size_t h = Slot(m_nodes[i].key);
            m_nodes[i].next = m_heads[h];
            m_heads[h] = static_cast<int32_t>(i);
        }
    }
    size_t h = Slot(k);
    m_nodes.push_back(Node{k, m_heads[h], state});
    m_heads[h] = static_cast<int32_t>(m_nodes.size() - 1);
}

RegionMarker::RegionMarker(const CSentence* sentence, const ParseOptions* options, RegionMatchFn match)
    : m_sentence(sentence), m_nullLinks(options->minNullCount > 0), m_match(match), m_table(sentence),
      m_resources(options->resources)
{
}

// The limits are read every few new sub-problems (each may scan many words and
// disjuncts): often enough to stop a long line in time, seldom enough to cost
// nothing.
bool RegionMarker::OutOfResources()
{
    if (m_stopped)
        return true;
    if (++m_sinceCheck < 16)
        return false;
    m_sinceCheck = 0;
    m_stopped = m_resources && ResourcesExhausted(m_resources);
    return m_stopped;
}

bool RegionMarker::Allowed(const Connector* a, const Connector* b, int lw, int rw) const
{
    return a && b && m_match(a, b, lw, rw, m_sentence);
}

// The link a - b between words l and r is allowed, and one of the four ways
// of going on from it (each multi connector may stay for further links)
// completes the region between them.
bool RegionMarker::LinkSide(int l, int r, const Connector* a, const Connector* b, bool mark)
{
    if (!Allowed(a, b, l, r))
        return false;
    bool holds = false;
    auto consider = [&](const Connector* x, const Connector* y) {
        if (RegionValid(l, r, x, y)) {
            holds = true;
            if (mark)
                MarkRegion(l, r, x, y);
        }
    };
    consider(a->next, b->next);
    if (a->multi)
        consider(a, b->next);
    if (b->multi)
        consider(a->next, b);
    if (a->multi && b->multi)
        consider(a, b);
    return holds;
}

// The link lc - d.left completes the part left of word w.
bool RegionMarker::LeftSide(int lw, int w, const Connector* lc, const Disjunct* d, bool mark)
{
    return LinkSide(lw, w, lc, d->left, mark);
}

// The link d.right - rc completes the part right of word w.
bool RegionMarker::RightSide(int w, int rw, const Disjunct* d, const Connector* rc, bool mark)
{
    return LinkSide(w, rw, d->right, rc, mark);
}

bool RegionMarker::RegionValid(int lw, int rw, const Connector* lc, const Connector* rc)
{
    Key key{lw, rw, lc, rc};
    if (const uint8_t* found = m_memo.Find(key))
        return *found != kInvalid;
    if (OutOfResources())
        return false;
    if (!lc && !rc && (!m_sentence->HasDeletableTable() || m_sentence->Deletable(lw, rw))) {
        m_memo.Set(key, kValid);
        return true;
    }
    m_memo.Set(key, kInvalid); // sub-regions are strictly smaller: no cycle reads this
    bool valid = false;
    int s = lc ? lc->word : lw + 1;
    int e = rc ? rc->word : rw - 1;
    if (s <= lw)
        s = lw + 1;
    if (e >= rw)
        e = rw - 1;
    for (int w = s; w <= e && !valid; ++w) {
        size_t base = m_lists.size();
        m_table.FormMatchList(w, lc, lw, rc, rw, m_lists);
        size_t end = m_lists.size();
        for (size_t i = base; i < end && !valid; ++i) {
            const Disjunct* d = m_lists[i];
            bool left = LeftSide(lw, w, lc, d, false);
            if (left && RegionValid(w, rw, d->right, rc))
                valid = true;
            else {
                bool right = RightSide(w, rw, d, rc, false);
                valid = (left && right) || (right && RegionValid(lw, w, lc, d->left));
            }
        }
        m_lists.resize(base);
    }
    m_memo.Set(key, valid ? kValid : kInvalid);
    return valid;
}

void RegionMarker::MarkRegion(int lw, int rw, const Connector* lc, const Connector* rc)
{
    if (m_stopped || !RegionValid(lw, rw, lc, rc))
        return;
    // Known to be there: RegionValid has just stored it.
    uint8_t* state = m_memo.Find(Key{lw, rw, lc, rc});
    if (*state == kMarked)
        return;
    *state = kMarked;

    if (!lc && !rc) {
        if (!m_nullLinks || rw == lw + 1)
            return;
        int w = lw + 1;
        for (Disjunct* d = m_sentence->words[w].d; d; d = d->next) {
            if (!d->left && RegionValid(w, rw, d->right, nullptr)) {
                d->marked = 1;
                MarkRegion(w, rw, d->right, nullptr);
            }
        }
        MarkRegion(w, rw, nullptr, nullptr);
        return;
    }

    int s = lc ? lc->word : lw + 1;
    int e = rc ? rc->word : rw - 1;
    if (s <= lw)
        s = lw + 1;
    if (e >= rw)
        e = rw - 1;
    for (int w = s; w <= e; ++w) {
        size_t base = m_lists.size();
        m_table.FormMatchList(w, lc, lw, rc, rw, m_lists);
        size_t end = m_lists.size();
        for (size_t i = base; i < end; ++i) {
            Disjunct* d = m_lists[i];
            bool left = LeftSide(lw, w, lc, d, false);
            bool right = RightSide(w, rw, d, rc, false);
            bool caseLeft = left && RegionValid(w, rw, d->right, rc);
            bool caseBoth = left && right;
            bool caseRight = right && RegionValid(lw, w, lc, d->left);
            if (!caseLeft && !caseBoth && !caseRight)
                continue;
            d->marked = 1;
            if (caseLeft || caseBoth)
                LeftSide(lw, w, lc, d, true);
            if (caseLeft)
                MarkRegion(w, rw, d->right, rc);
            if (caseBoth || caseRight)
                RightSide(w, rw, d, rc, true);
            if (caseRight)
                MarkRegion(lw, w, lc, d->left);
        }
        m_lists.resize(base);
    }
}
