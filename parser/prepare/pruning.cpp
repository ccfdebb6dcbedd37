#include "parser/prepare/pruning.h"

#include "parser/core/random_table.h"
#include "parser/count/match.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/postprocess/rule_post_processor.h"
#include "parser/sentence/sentence.h"

#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

const char* SubscriptOf(const char* s)
{
    while (IsUpper(*s))
        ++s;
    return s;
}

// ---- expression pruning ----

struct TableEntry {
    Connector c; // a plain copy: label -1, priority 0
};

class ConnectorTable {
public:
    void Clear() { m_buckets.clear(); }
    void Insert(const char* text)
    {
        std::vector<const char*>& b = m_buckets[UpperKey(text)];
        for (const char* t : b)
            if (std::strcmp(t, text) == 0)
                return;
        b.push_back(text);
    }
    // Some entry matches `c` with the entry on the left (entryLeft) or the right.
    bool HasPartner(const char* text, bool entryLeft) const
    {
        auto it = m_buckets.find(UpperKey(text));
        if (it == m_buckets.end())
            return false;
        Connector node = Plain(text);
        for (const char* t : it->second) {
            Connector e = Plain(t);
            if (entryLeft ? PruneMatch(&e, &node, 0, 0, nullptr) : PruneMatch(&node, &e, 0, 0, nullptr))
                return true;
        }
        return false;
    }

private:
    // A view into the connector text, which outlives the table: no copy per lookup.
    static std::string_view UpperKey(const char* text)
    {
        return std::string_view(text, static_cast<size_t>(SubscriptOf(text) - text));
    }
    static Connector Plain(const char* text)
    {
        Connector c{};
        c.label = -1;
        c.lengthLimit = kUnlimitedLength;
        c.text = text;
        return c;
    }
    std::unordered_map<std::string_view, std::vector<const char*>> m_buckets;
};

// Marks the connector nodes pointing `dir` that have no partner in the table.
void MarkDead(Exp* e, char dir, const ConnectorTable& table, bool entryLeft)
{
    if (!e)
        return;
    if (e->type == CONNECTOR_TYPE) {
        if (e->label && e->dir == dir && !table.HasPartner(e->label, entryLeft))
            e->label = nullptr;
        return;
    }
    for (ExpCell* c = e->list; c; c = c->next)
        MarkDead(c->exp, dir, table, entryLeft);
}

// Removes what depends on dead connectors; null when the whole expression goes.
Exp* Purge(Exp* e)
{
    if (e->type == CONNECTOR_TYPE)
        return e->label ? e : nullptr;
    if (e->type == AND_TYPE) {
        for (ExpCell* c = e->list; c; c = c->next)
            if (!(c->exp = Purge(c->exp)))
                return nullptr;
        return e;
    }
    ExpCell** link = &e->list;
    bool any = false;
    while (*link) {
        (*link)->exp = Purge((*link)->exp);
        if ((*link)->exp) {
            any = true;
            link = &(*link)->next;
        } else {
            *link = (*link)->next;
        }
    }
    return any ? e : nullptr;
}

void InsertConnectors(const Exp* e, char dir, ConnectorTable& table)
{
    if (e->type == CONNECTOR_TYPE) {
        if (e->label && e->dir == dir)
            table.Insert(e->label);
        return;
    }
    for (const ExpCell* c = e->list; c; c = c->next)
        InsertConnectors(c->exp, dir, table);
}

int CountNodes(const Exp* e)
{
    int n = 1;
    for (const ExpCell* c = e->list; c; c = c->next)
        n += CountNodes(c->exp);
    return n;
}

// One direction: returns true when something was deleted.
bool PruneExpressionPass(CSentence* s, bool leftToRight)
{
    ConnectorTable table;
    bool changed = false;
    char check = leftToRight ? '-' : '+';
    char insert = leftToRight ? '+' : '-';
    int n = s->numWords;
    for (int i = 0; i < n; ++i) {
        int w = leftToRight ? i : n - 1 - i;
        XNode** link = &s->words[w].x;
        while (*link) {
            XNode* x = *link;
            int before = CountNodes(x->exp);
            MarkDead(x->exp, check, table, leftToRight);
            x->exp = Purge(x->exp);
            if (!x->exp) {
                *link = x->next;
                changed = true;
                continue;
            }
            changed |= CountNodes(x->exp) != before;
            link = &x->next;
        }
        for (XNode* x = s->words[w].x; x; x = x->next)
            InsertConnectors(x->exp, insert, table);
    }
    return changed;
}

// ---- power pruning ----

struct PowerEntry {
    Connector* c;
    bool shallow;
};

using PowerTable = std::vector<std::vector<PowerEntry>>;

bool IsDead(const Connector* c) { return c->word == kDeadConnectorWord; }

class PowerPruner {
public:
    PowerPruner(CSentence* s, int mode, ParseOptions* o)
        : m_s(s), m_mode(mode), m_options(o), m_n(s->numWords), m_left(static_cast<size_t>(m_n)),
          m_right(static_cast<size_t>(m_n))
    {
        // A parse that may leave words out needs the links that jump over them.
        m_nullsAllowed = s->prunedForNullWords || o->minNullCount > 0;
        for (int w = 0; w < m_n; ++w) {
            int nl = 0, nr = 0;
            // Every lookup asks for a connector's bucket: its hash is kept with it.
            for (Disjunct* d = s->words[w].d; d; d = d->next) {
                for (Connector* c = d->left; c; c = c->next, ++nl)
                    c->matchHash = ConnectorMatchHash(c);
                for (Connector* c = d->right; c; c = c->next, ++nr)
                    c->matchHash = ConnectorMatchHash(c);
            }
            m_left[w].resize(NextPowerOfTwo(static_cast<unsigned>(nl)));
            m_right[w].resize(NextPowerOfTwo(static_cast<unsigned>(nr)));
            for (Disjunct* d = s->words[w].d; d; d = d->next) {
                for (Connector* c = d->left; c; c = c->next)
                    Bucket(m_left[w], c).push_back(PowerEntry{c, c == d->left});
                for (Connector* c = d->right; c; c = c->next)
                    Bucket(m_right[w], c).push_back(PowerEntry{c, c == d->right});
            }
        }
    }

    int Run()
    {
        int deleted = 0;
        for (;;) {
            if (ResourcesExhausted(m_options->resources))
                break;
            bool changed = false;
            for (int w = 0; w < m_n; ++w)
                deleted += Sweep(w, true, changed);
            if (!changed)
                break;
            changed = false;
            for (int w = m_n - 1; w >= 0; --w)
                deleted += Sweep(w, false, changed);
            if (!changed)
                break;
        }
        return deleted;
    }

private:
    static std::vector<PowerEntry>& Bucket(PowerTable& t, const Connector* c)
    {
        return t[c->matchHash & (t.size() - 1)];
    }

    bool Possible(const Connector* lc, const Connector* rc, bool lshallow, bool rshallow, int lword, int rword) const
    {
        if (IsDead(lc) || IsDead(rc))
            return false;
        if (!lshallow && !rshallow)
            return false;
        if (lc->word > rword || rc->word < lword)
            return false;
        bool bothLast = !lc->next && !rc->next;
        if (rword - lword > 1) {
            if (!m_nullsAllowed && bothLast && !lc->multi && !rc->multi &&
                (m_mode == 0 || !m_s->Deletable(lword, rword)))
                return false;
        } else if (!bothLast) {
            return false;
        }
        return m_mode == 0 ? MatchConnectors(lc, rc, lword, rword, m_s) : PruneMatch(lc, rc, lword, rword, m_s);
    }

    // Left list of a disjunct of word w, from its nearest connector outwards:
    // the nearest word each connector can reach; -1 when one cannot reach any.
    int LeftUpdate(Connector* list, int w, bool& changed)
    {
        m_stack.clear();
        for (Connector* c = list; c; c = c->next)
            m_stack.push_back(c);
        int next = w;
        for (size_t i = m_stack.size(); i-- > 0;) {
            Connector* c = m_stack[i];
            bool shallow = i == 0;
            int n = next - 1;
            if (n > c->word)
                n = c->word;
            for (; n >= 0 && w - n < 251; --n)
                if (HasPartner(m_right[static_cast<size_t>(n)], c, shallow, n, w, true))
                    break;
            if (n < 0 || w - n >= 251)
                return -1;
            if (n < c->word) {
                c->word = static_cast<uint8_t>(n);
                changed = true;
            }
            next = n;
        }
        return next;
    }

    int RightUpdate(Connector* list, int w, bool& changed)
    {
        m_stack.clear();
        for (Connector* c = list; c; c = c->next)
            m_stack.push_back(c);
        int next = w;
        for (size_t i = m_stack.size(); i-- > 0;) {
            Connector* c = m_stack[i];
            bool shallow = i == 0;
            int n = next + 1;
            if (n < c->word)
                n = c->word;
            for (; n < m_n && n - w < 251; ++n)
                if (HasPartner(m_left[static_cast<size_t>(n)], c, shallow, w, n, false))
                    break;
            if (n >= m_n || n - w >= 251)
                return m_n;
            if (n > c->word) {
                c->word = static_cast<uint8_t>(n);
                changed = true;
            }
            next = n;
        }
        return next;
    }

    // Some entry of the table (of word `other`) may link to c.
    bool HasPartner(PowerTable& table, const Connector* c, bool shallow, int lword, int rword, bool cIsRight)
    {
        for (const PowerEntry& e : Bucket(table, c)) {
            bool ok = cIsRight ? Possible(e.c, c, e.shallow, shallow, lword, rword)
                               : Possible(c, e.c, shallow, e.shallow, lword, rword);
            if (ok)
                return true;
        }
        return false;
    }

    static void Kill(Disjunct* d)
    {
        for (Connector* c = d->left; c; c = c->next)
            c->word = kDeadConnectorWord;
        for (Connector* c = d->right; c; c = c->next)
            c->word = kDeadConnectorWord;
    }

    static void RemoveDead(PowerTable& t)
    {
        for (std::vector<PowerEntry>& b : t) {
            size_t k = 0;
            for (size_t i = 0; i < b.size(); ++i)
                if (!IsDead(b[i].c))
                    b[k++] = b[i];
            b.resize(k);
        }
    }

    int Sweep(int w, bool leftToRight, bool& changed)
    {
        int killed = 0;
        for (Disjunct* d = m_s->words[w].d; d; d = d->next) {
            Connector* list = leftToRight ? d->left : d->right;
            if (!list || IsDead(list))
                continue;
            int r = leftToRight ? LeftUpdate(list, w, changed) : RightUpdate(list, w, changed);
            if (leftToRight ? r < 0 : r >= m_n) {
                Kill(d);
                ++killed;
            }
        }
        if (killed) {
            RemoveDead(m_left[w]);
            RemoveDead(m_right[w]);
        }
        // The word's list is rebuilt by putting each survivor at the head, so
        // every sweep reverses it: the counting's enumeration order follows.
        Disjunct* kept = nullptr;
        for (Disjunct* d = m_s->words[w].d; d;) {
            Disjunct* next = d->next;
            bool dead = (d->left && IsDead(d->left)) || (d->right && IsDead(d->right));
            if (!dead) { // a dead one's memory goes with the sentence's disjuncts
                d->next = kept;
                kept = d;
            }
            d = next;
        }
        m_s->words[w].d = kept;
        return killed;
    }

    CSentence* m_s;
    int m_mode;
    ParseOptions* m_options;
    int m_n;
    bool m_nullsAllowed;
    std::vector<PowerTable> m_left, m_right;
    std::vector<Connector*> m_stack;
};

// ---- rule pruning ----

// Connector texts with their counts, bucketed by the upper-case part: a
// pattern can only match texts with the same upper-case part.
class TextMultiset {
public:
    TextMultiset() : m_buckets(kBuckets) {}
    void Add(const char* t)
    {
        std::vector<Entry>& b = m_buckets[BucketOf(t)];
        for (Entry& e : b)
            if (std::strcmp(e.text, t) == 0) {
                ++e.count;
                return;
            }
        b.push_back(Entry{t, 1});
    }
    // True when the text's count reached 0.
    bool Remove(const char* t)
    {
        std::vector<Entry>& b = m_buckets[BucketOf(t)];
        for (size_t i = 0; i < b.size(); ++i)
            if (std::strcmp(b[i].text, t) == 0) {
                if (--b[i].count > 0)
                    return false;
                b.erase(b.begin() + static_cast<std::ptrdiff_t>(i));
                return true;
            }
        return false;
    }
    bool AnyMatches(const char* pattern) const
    {
        for (const Entry& e : m_buckets[BucketOf(pattern)])
            if (PostProcessMatch(pattern, e.text))
                return true;
        return false;
    }

private:
    static constexpr uint32_t kBuckets = 2048;
    struct Entry {
        const char* text; // a connector text: lives as long as the sentence's disjuncts
        int count;
    };
    static uint32_t BucketOf(const char* text)
    {
        const uint32_t* R = RandomTable();
        uint32_t h = 0;
        for (const char* p = text; IsUpper(*p); ++p)
            h = 3 * h + R[(static_cast<unsigned char>(*p) + h) & 255u];
        return h & (kBuckets - 1);
    }
    std::vector<std::vector<Entry>> m_buckets;
};

bool Satisfiable(const PPRule& rule, const TextMultiset& texts)
{
    for (const std::string& full : rule.names) {
        std::string name = full.substr(0, 19);
        size_t upper = static_cast<size_t>(SubscriptOf(name.c_str()) - name.c_str());
        std::string pattern = name;
        bool anyPosition = false;
        for (size_t i = upper; i < pattern.size(); ++i)
            if (pattern[i] != '*')
                pattern[i] = '#';
        bool ok = true;
        for (size_t i = upper; i < name.size() && ok; ++i) {
            if (name[i] == '*')
                continue;
            anyPosition = true;
            pattern[i] = name[i];
            ok = texts.AnyMatches(pattern.c_str());
            pattern[i] = '#';
        }
        if (!anyPosition)
            ok = texts.AnyMatches(name.c_str());
        if (ok)
            return true;
    }
    return false;
}

} // namespace

bool PruneMatch(const Connector* a, const Connector* b, int lw, int rw, const CSentence* sentence)
{
    if (lw == 0 && rw == 0) {
        if (MatchConnectors(a, b))
            return true;
    } else if (MatchConnectors(a, b, lw, rw, sentence)) {
        return true;
    }
    if (a->priority != 0 || b->priority != 0 || a->label != b->label || a->text[0] != 'S')
        return false;
    const char* sa = SubscriptOf(a->text);
    const char* sb = SubscriptOf(b->text);
    size_t ua = static_cast<size_t>(sa - a->text);
    if (ua != static_cast<size_t>(sb - b->text) || std::strncmp(a->text, b->text, ua) != 0)
        return false;
    if (!(ua == 1 || (ua == 2 && a->text[1] == 'I')))
        return false;
    if (lw != 0 || rw != 0) {
        int d = sentence->EffectiveDistance(lw, rw);
        if (d > a->lengthLimit || d > b->lengthLimit)
            return false;
    }
    auto sp = [](char c) { return c == 's' || c == 'p'; };
    return sp(sa[0]) && sp(sb[0]);
}

void PruneExpressions(CSentence* sentence)
{
    // The first left-to-right pass always counts as a change.
    PruneExpressionPass(sentence, true);
    while (PruneExpressionPass(sentence, false)) {
        if (!PruneExpressionPass(sentence, true))
            break;
    }
}

int PowerPrune(CSentence* sentence, int mode, ParseOptions* options)
{
    return PowerPruner(sentence, mode, options).Run();
}

int RulePrune(CSentence* sentence, ParseOptions*)
{
    const auto* pp = dynamic_cast<const CRulePostProcessor*>(sentence->dictionary->postProcessor);
    if (!pp)
        return 0;
    const PPKnowledge& k = pp->Knowledge();
    TextMultiset texts;
    std::vector<Disjunct*> all;
    for (int w = 0; w < sentence->numWords; ++w)
        for (Disjunct* d = sentence->words[w].d; d; d = d->next) {
            d->marked = 1;
            all.push_back(d);
            for (Connector* c = d->left; c; c = c->next)
                texts.Add(c->text);
            for (Connector* c = d->right; c; c = c->next)
                texts.Add(c->text);
        }
    int dead = 0;
    for (bool changed = true; changed;) {
        changed = false;
        for (Disjunct* d : all) {
            if (!d->marked)
                continue;
            bool kill = false;
            for (int side = 0; side < 2 && !kill; ++side)
                for (Connector* c = side ? d->left : d->right; c && !kill; c = c->next)
                    for (const PPRule& r : k.oneRules) {
                        if (r.selector.find('*') != std::string::npos ||
                            !PostProcessMatch(r.selector.c_str(), c->text))
                            continue;
                        if (!Satisfiable(r, texts)) {
                            kill = true;
                            break;
                        }
                    }
            if (!kill)
                continue;
            d->marked = 0;
            ++dead;
            for (Connector* c = d->left; c; c = c->next)
                changed |= texts.Remove(c->text);
            for (Connector* c = d->right; c; c = c->next)
                changed |= texts.Remove(c->text);
        }
    }
    // Every word's list is rebuilt from its marked disjuncts (reversing it).
    for (int w = 0; w < sentence->numWords; ++w)
        sentence->words[w].d = KeepMarkedDisjuncts(sentence->words[w].d);
    return dead;
}

void RuleAndPowerPrune(CSentence* sentence, int mode, ParseOptions* options)
{
    PowerPrune(sentence, mode, options);
    for (;;) {
        if (ResourcesExhausted(options->resources))
            break;
        if (RulePrune(sentence, options) == 0)
            break;
        if (ResourcesExhausted(options->resources))
            break;
        if (PowerPrune(sentence, mode, options) == 0)
            break;
    }
}

int PruneDisjuncts(CSentence* sentence, ParseOptions* options)
{
    int deleted = PowerPrune(sentence, 0, options);
    for (;;) {
        if (ResourcesExhausted(options->resources))
            break;
        if (RulePrune(sentence, options) == 0)
            break;
        if (ResourcesExhausted(options->resources))
            break;
        deleted = PowerPrune(sentence, 0, options);
        if (deleted == 0)
            break;
    }
    return deleted;
}
