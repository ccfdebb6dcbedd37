#include "parser/conjunction/fat_analysis.h"

#include "parser/conjunction/and_tables.h"
#include "parser/core/parser_error.h"
#include "parser/count/match.h"
#include "parser/dict/dictionary.h"
#include "parser/prepare/pruning.h"
#include "parser/sentence/sampling.h"
#include "parser/sentence/sentence.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {
int Direction(const Connector* c) { return c->priority == 0 ? 0 : c->priority == kDownPriority ? 1 : -1; }

// Position of c in d: k > 0 the k-th right connector, -k the k-th left, 0 none.
int PositionIn(const Disjunct* d, const Connector* c)
{
    int k = 1;
    for (const Connector* x = d->right; x; x = x->next, ++k)
        if (x == c)
            return k;
    k = 1;
    for (const Connector* x = d->left; x; x = x->next, ++k)
        if (x == c)
            return -k;
    return 0;
}

const Connector* AtPosition(const Disjunct* d, int k)
{
    const Connector* x = k > 0 ? d->right : d->left;
    for (int i = 1; x && i < (k > 0 ? k : -k); ++i)
        x = x->next;
    return x;
}

// The recorded label stays when the new one differs from it only where the
// recorded has "*" or the new has "^" (a missing character counts as "*").
bool KeepRecorded(const char* recorded, const char* made)
{
    size_t n = std::max(std::strlen(recorded), std::strlen(made));
    bool differs = false;
    for (size_t i = 0; i < n; ++i) {
        char a = i < std::strlen(recorded) ? recorded[i] : '*';
        char b = i < std::strlen(made) ? made[i] : '*';
        if (a == b)
            continue;
        if (a != '*' && b != '^')
            return false;
        differs = true;
    }
    return differs;
}
} // namespace

bool HasFatLinks(const Link* links, int numLinks)
{
    for (int i = 0; i < numLinks; ++i)
        if (links[i].l >= 0 && (links[i].lc->priority == kDownPriority || links[i].rc->priority == kDownPriority))
            return true;
    return false;
}

FatLinkage::FatLinkage(CSentence* s, const Link* links, int numLinks, const std::vector<Disjunct*>& chosen)
    : m_s(s), m_links(links), m_numLinks(numLinks), m_chosen(chosen), m_n(s->numWords)
{
    m_graph.assign(static_cast<size_t>(m_n), {});
    for (int i = 0; i < numLinks; ++i) {
        const Link& l = links[i];
        if (l.l < 0 || l.lc->label < -1)
            continue;
        m_graph[static_cast<size_t>(l.l)].push_back(Edge{i, l.r, Direction(l.lc)});
        m_graph[static_cast<size_t>(l.r)].push_back(Edge{i, l.l, Direction(l.rc)});
    }
    std::vector<int> height(static_cast<size_t>(m_n), 0);
    for (int w = 0; w < m_n; ++w) {
        if (height[w])
            continue;
        std::vector<std::pair<int, int>> stack{{w, 250}};
        while (!stack.empty()) {
            auto [x, h] = stack.back();
            stack.pop_back();
            if (height[x])
                continue;
            height[x] = h;
            for (const Edge& e : m_graph[x])
                if (!height[e.word])
                    stack.push_back({e.word, h - e.dir});
        }
    }
    // Highest first; equal heights in word order, the same on every platform.
    std::vector<int> order(static_cast<size_t>(m_n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return height[a] > height[b]; });

    m_rootOf.assign(static_cast<size_t>(m_n), -1);
    m_dis.push_back(DisNode{{}, {}, -1});
    m_root = 0;
    for (int w : order) {
        if (m_rootOf[w] != -1 || m_graph[w].empty())
            continue; // a word without links lies in no tree
        int d = BuildDis(w, w);
        DisNode& root = m_dis[static_cast<size_t>(m_root)];
        if (root.word < 0)
            root.word = m_dis[d].word;
        const DisNode copy = m_dis[d];
        root.links.insert(root.links.end(), copy.links.begin(), copy.links.end());
        root.cons.insert(root.cons.end(), copy.cons.begin(), copy.cons.end());
    }
}

int FatLinkage::BuildDis(int w, int root)
{
    int id = static_cast<int>(m_dis.size());
    m_dis.push_back(DisNode{{}, {}, w});
    if (m_rootOf[w] != -1 && m_rootOf[w] != root)
        m_violation = true;
    m_rootOf[w] = root;
    std::vector<int> stack{w};
    std::vector<uint8_t> inNode(static_cast<size_t>(m_numLinks), 0);
    while (!stack.empty()) {
        int x = stack.back();
        stack.pop_back();
        std::vector<int> down;
        for (const Edge& e : m_graph[x]) {
            if (e.dir == 0) {
                if (!inNode[e.link]) {
                    inNode[e.link] = 1;
                    m_dis[id].links.push_back(e.link);
                }
                if (m_rootOf[e.word] == -1) {
                    m_rootOf[e.word] = root;
                    stack.push_back(e.word);
                } else if (m_rootOf[e.word] != root) {
                    m_violation = true;
                }
            } else if (e.dir < 0) {
                if (m_rootOf[e.word] == -1)
                    m_violation = true;
            } else {
                down.push_back(e.word);
            }
        }
        if (down.empty())
            continue;
        int con = static_cast<int>(m_con.size());
        m_con.push_back(ConNode{{}, 0, x});
        m_dis[id].cons.push_back(con);
        for (int o : down) {
            if (m_rootOf[o] != -1) {
                m_violation = true; // reached twice: not a tree
                continue;
            }
            // Each conjunct is a tree of its own: a word that two conjuncts
            // both reach through plain links makes the structure improper.
            int choice = BuildDis(o, o);
            m_con[con].choices.push_back(choice);
        }
        if (m_con[con].choices.empty())
            m_violation = true;
    }
    return id;
}

// The choices below a node, counted up to one past the most a linkage may
// expand into.
long long FatLinkage::Count(int dis) const
{
    long long n = 1;
    for (int c : m_dis[dis].cons) {
        long long sum = 0;
        for (int d : m_con[c].choices)
            sum = std::min(sum + Count(d), kMaxSublinkages + 1LL);
        n = std::min(n * std::max(sum, 1LL), kMaxSublinkages + 1LL);
    }
    return n;
}

bool FatLinkage::TooManyChoices() const { return !m_violation && Count(m_root) > kMaxSublinkages; }

int FatLinkage::NumChoices() const
{
    if (m_violation)
        return 1;
    long long n = Count(m_root);
    if (n > kMaxSublinkages)
        ThrowParserLimit("too many sublinkages");
    return static_cast<int>(n);
}

bool FatLinkage::AdvanceCon(int c)
{
    ConNode& n = m_con[c];
    if (n.choices.empty())
        return false;
    if (AdvanceDis(n.choices[n.current]))
        return true;
    if (++n.current < static_cast<int>(n.choices.size()))
        return true;
    n.current = 0;
    return false;
}

bool FatLinkage::AdvanceDis(int d)
{
    for (int c : m_dis[d].cons)
        if (AdvanceCon(c))
            return true;
    return false;
}

void FatLinkage::Patch(int d, const std::vector<Pending>& pending)
{
    const DisNode& node = m_dis[d];
    for (int li : node.links)
        m_used[li] = 1;
    bool through = !node.cons.empty() && m_con[node.cons[0]].word == node.word;
    if (!through)
        for (const Pending& p : pending) {
            m_changed[p.link] = 1;
            (p.side == 'l' ? m_newL : m_newR)[p.link] = node.word;
        }
    for (size_t k = 0; k < node.cons.size(); ++k) {
        const ConNode& c = m_con[node.cons[k]];
        std::vector<Pending> next;
        for (const Edge& e : m_graph[c.word])
            if (e.dir == 0) {
                next.push_back(Pending{e.link, e.word > c.word ? 'l' : 'r'});
                m_changedBy[e.link] = c.word;
            }
        if (k == 0 && through)
            next.insert(next.end(), pending.begin(), pending.end());
        if (!c.choices.empty())
            Patch(c.choices[static_cast<size_t>(c.current)], next);
    }
}

// The connector that stands at `word` for a link moved there from the
// conjunction word: the same position in the and-list element that the word's
// "up" connector names.
const Connector* FatLinkage::ElementConnector(int word, const Connector* old, int conjunctionWord) const
{
    const Disjunct* here = m_chosen[static_cast<size_t>(word)];
    const Disjunct* there = m_chosen[static_cast<size_t>(conjunctionWord)];
    if (!here || !there || !m_s->andTables)
        return nullptr;
    const Connector* up = nullptr;
    for (int side = 0; side < 2 && !up; ++side)
        for (const Connector* c = side ? here->right : here->left; c; c = c->next)
            if (c->priority == kUpPriority) {
                up = c;
                break;
            }
    int k = PositionIn(there, old);
    if (!up || k == 0 || up->label < 0 || static_cast<size_t>(up->label) >= m_s->andTables->labels.size())
        return nullptr;
    const AndLabel& label = m_s->andTables->labels[static_cast<size_t>(up->label)];
    for (size_t e = 0; e < label.elements.size(); ++e)
        if (label.texts[e] == up->text)
            return AtPosition(label.elements[e], k);
    return nullptr;
}

std::vector<std::vector<Link>> FatLinkage::Sublinkages()
{
    std::vector<std::vector<Link>> out;
    std::vector<const char*> recorded(static_cast<size_t>(m_numLinks));
    for (int i = 0; i < m_numLinks; ++i)
        recorded[i] = m_links[i].l >= 0 ? LinkLabel(m_s, m_links[i].lc->text, m_links[i].rc->text) : nullptr;
    if (m_violation) {
        std::vector<Link> all(m_links, m_links + m_numLinks);
        for (int i = 0; i < m_numLinks; ++i)
            all[i].name = recorded[i];
        out.push_back(std::move(all));
        return out;
    }
    int count = NumChoices();
    for (int choice = 0; choice < count; ++choice) {
        m_used.assign(static_cast<size_t>(m_numLinks), 0);
        m_changed.assign(static_cast<size_t>(m_numLinks), 0);
        m_newL.assign(static_cast<size_t>(m_numLinks), -1);
        m_newR.assign(static_cast<size_t>(m_numLinks), -1);
        m_changedBy.assign(static_cast<size_t>(m_numLinks), -1);
        Patch(m_root, {});
        std::vector<Link> sub;
        for (int i = 0; i < m_numLinks; ++i) {
            Link l = m_links[i];
            if (l.l < 0)
                continue;
            l.name = recorded[i];
            bool free = m_rootOf[l.l] == -1 || m_rootOf[l.r] == -1;
            if (!m_used[i] && !m_changed[i] && !free)
                continue;
            if (m_changed[i]) {
                int conj = m_changedBy[i];
                if (m_newL[i] >= 0) {
                    l.l = m_newL[i];
                    if (const Connector* c = ElementConnector(l.l, l.lc, conj))
                        l.lc = const_cast<Connector*>(c);
                }
                if (m_newR[i] >= 0) {
                    l.r = m_newR[i];
                    if (const Connector* c = ElementConnector(l.r, l.rc, conj))
                        l.rc = const_cast<Connector*>(c);
                }
                if (l.l > l.r)
                    std::swap(l.l, l.r);
            }
            if (MatchConnectors(l.lc, l.rc) || PruneMatch(l.lc, l.rc, 0, 0, m_s)) {
                const char* made = LinkLabel(m_s, l.lc->text, l.rc->text);
                if (!KeepRecorded(recorded[i], made))
                    l.name = made;
            }
            sub.push_back(l);
        }
        out.push_back(std::move(sub));
        AdvanceDis(m_root);
    }
    return out;
}

int FatLinkage::AndCost() const
{
    int cost = 0;
    for (int c = 0; c < m_n; ++c) {
        if (!m_s->isConjunction[static_cast<size_t>(c)])
            continue;
        std::vector<uint8_t> visited(static_cast<size_t>(m_n), 0);
        if (m_s->dictionary->leftWallDefined && m_n > 0)
            visited[0] = 1;
        visited[c] = 1;
        int largest = 0, smallest = 250, conjuncts = 0;
        std::vector<int> heads{c};
        while (!heads.empty()) {
            int x = heads.back();
            heads.pop_back();
            for (const Edge& e : m_graph[x]) {
                if (e.dir != 1 || visited[e.word])
                    continue;
                visited[e.word] = 1;
                if (m_s->words[static_cast<size_t>(e.word)].text == ",") {
                    heads.push_back(e.word);
                    continue;
                }
                int size = 0;
                std::vector<int> stack{e.word};
                while (!stack.empty()) {
                    int y = stack.back();
                    stack.pop_back();
                    ++size;
                    for (const Edge& f : m_graph[y])
                        if (f.dir >= 0 && !visited[f.word]) {
                            visited[f.word] = 1;
                            stack.push_back(f.word);
                        }
                }
                ++conjuncts;
                largest = std::max(largest, size);
                smallest = std::min(smallest, size);
            }
        }
        if (conjuncts)
            cost += largest - smallest;
    }
    return cost;
}

bool FatLinkage::Canonical() const
{
    if (!m_s->andTables)
        return true;
    const ConjunctionTables& t = *m_s->andTables;
    for (int w = 0; w < m_n; ++w) {
        const Disjunct* d = m_chosen[static_cast<size_t>(w)];
        if (!d)
            continue;
        auto made = t.madeFrom.find(d);
        if (made == t.madeFrom.end())
            continue;
        auto [label, element] = made->second;
        const AndLabel& l = t.labels[static_cast<size_t>(label)];
        // The partners of this word's connectors, by position.
        struct Partner {
            int position;
            const Connector* c;
            int word;
        };
        std::vector<Partner> partners;
        for (int i = 0; i < m_numLinks; ++i) {
            const Link& k = m_links[i];
            if (k.l == w)
                partners.push_back({PositionIn(d, k.lc), k.rc, k.r});
            else if (k.r == w)
                partners.push_back({PositionIn(d, k.rc), k.lc, k.l});
        }
        // An earlier element whose disjunct is still among the word's serves too:
        // then that one is the canonical choice, and this linkage a repeat of it.
        for (int e = 0; e < element; ++e) {
            const Disjunct* other = nullptr;
            for (const Disjunct* x = m_s->words[static_cast<size_t>(w)].d; x && !other; x = x->next) {
                auto m = t.madeFrom.find(x);
                if (m != t.madeFrom.end() && m->second == std::make_pair(label, e) &&
                    SameDisjunctType(x, d))
                    other = x;
            }
            if (!other)
                continue;
            bool serves = true;
            for (const Partner& p : partners) {
                const Connector* c = p.position ? AtPosition(other, p.position) : nullptr;
                if (!c) {
                    serves = false;
                    break;
                }
                bool ok = p.position > 0 ? MatchConnectors(c, p.c, w, p.word, m_s)
                                         : MatchConnectors(p.c, c, p.word, w, m_s);
                if (!ok) {
                    serves = false;
                    break;
                }
            }
            if (serves)
                return false;
        }
        (void)l;
    }
    return true;
}
