#include "parser/count/region.h"

#include "parser/count/count.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/sentence.h"

size_t RegionMarker::KeyHash::operator()(const Key& k) const
{
    return ::KeyHash(k.lw, k.rw, k.lc, k.rc, 0, size_t{1} << 20);
}

RegionMarker::RegionMarker(const CSentence* sentence, const ParseOptions* options, RegionMatchFn match)
    : m_sentence(sentence), m_nullLinks(options->minNullCount > 0), m_match(match), m_table(sentence)
{
}

bool RegionMarker::Allowed(const Connector* a, const Connector* b, int lw, int rw) const
{
    return a && b && m_match(a, b, lw, rw, m_sentence);
}

// The link lc - d.left is allowed and one of the four ways of going on from it
// (each multi connector may stay for further links) completes the left part.
bool RegionMarker::LeftSide(int lw, int w, const Connector* lc, const Disjunct* d, bool mark)
{
    if (!Allowed(lc, d->left, lw, w))
        return false;
    const Connector* dl = d->left;
    bool holds = false;
    auto consider = [&](const Connector* a, const Connector* b) {
        if (RegionValid(lw, w, a, b)) {
            holds = true;
            if (mark)
                MarkRegion(lw, w, a, b);
        }
    };
    consider(lc->next, dl->next);
    if (lc->multi)
        consider(lc, dl->next);
    if (dl->multi)
        consider(lc->next, dl);
    if (lc->multi && dl->multi)
        consider(lc, dl);
    return holds;
}

bool RegionMarker::RightSide(int w, int rw, const Disjunct* d, const Connector* rc, bool mark)
{
    if (!Allowed(d->right, rc, w, rw))
        return false;
    const Connector* dr = d->right;
    bool holds = false;
    auto consider = [&](const Connector* a, const Connector* b) {
        if (RegionValid(w, rw, a, b)) {
            holds = true;
            if (mark)
                MarkRegion(w, rw, a, b);
        }
    };
    consider(dr->next, rc->next);
    if (dr->multi)
        consider(dr, rc->next);
    if (rc->multi)
        consider(dr->next, rc);
    if (dr->multi && rc->multi)
        consider(dr, rc);
    return holds;
}

bool RegionMarker::RegionValid(int lw, int rw, const Connector* lc, const Connector* rc)
{
    Key key{lw, rw, lc, rc};
    auto found = m_memo.find(key);
    if (found != m_memo.end())
        return found->second != kInvalid;
    if (!lc && !rc && (!m_sentence->HasDeletableTable() || m_sentence->Deletable(lw, rw))) {
        m_memo[key] = kValid;
        return true;
    }
    m_memo[key] = kInvalid; // sub-regions are strictly smaller: no cycle reads this
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
    m_memo[key] = valid ? kValid : kInvalid;
    return valid;
}

void RegionMarker::MarkRegion(int lw, int rw, const Connector* lc, const Connector* rc)
{
    if (!RegionValid(lw, rw, lc, rc))
        return;
    uint8_t& state = m_memo[Key{lw, rw, lc, rc}];
    if (state == kMarked)
        return;
    state = kMarked;

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
