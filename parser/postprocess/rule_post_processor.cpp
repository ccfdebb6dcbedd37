#include "parser/postprocess/rule_post_processor.h"

#include "parser/core/parser_error.h"
#include "parser/disjunct/connector.h"

#include <algorithm>

namespace {
enum WalkKind { kStarterWalk, kInclusiveWalk, kBoundedWalk };

bool Contains(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }
} // namespace

CRulePostProcessor::CRulePostProcessor(std::unique_ptr<PPKnowledge> knowledge) : m_knowledge(std::move(knowledge)) {}

void CRulePostProcessor::ResetSentence()
{
    m_relevantLinks.Clear();
    m_relevantSelectors.Clear();
    m_relevantCollected = false;
    m_relevantOne.clear();
    m_relevantNone.clear();
    m_violationsBeforeDomains = m_violationsAfterDomains = 0;
    m_sentence = nullptr;
}

void CRulePostProcessor::FirstPass(const PostProcessInput& in)
{
    // The relevant rules belong to one sentence: a different one starts afresh.
    if (in.sentence != m_sentence) {
        ResetSentence();
        m_sentence = in.sentence;
    }
    for (int i = 0; i < in.numLinks; ++i)
        if (in.links[i].l != -1 && in.links[i].name)
            m_relevantLinks.Insert(in.links[i].name);
}

bool CRulePostProcessor::Relevant(int rule, const std::vector<int>& relevant) const
{
    return m_relevantLinks.Empty() || Contains(relevant, rule);
}

void CRulePostProcessor::BuildGraph(const PostProcessInput& in)
{
    // Emptied, not rebuilt: the lists keep their memory from linkage to linkage.
    m_adjacency.resize(static_cast<size_t>(in.numWords));
    for (std::vector<Adjacent>& a : m_adjacency)
        a.clear();
    m_ignored.clear();
    for (int i = 0; i < in.numLinks; ++i) {
        const Link& l = in.links[i];
        if (l.l < 0)
            continue;
        if (m_knowledge->ignoreLinks.Match(l.name)) {
            m_ignored.push_back(i);
            continue;
        }
        m_adjacency[static_cast<size_t>(l.l)].push_back(Adjacent{i, l.r});
        m_adjacency[static_cast<size_t>(l.r)].push_back(Adjacent{i, l.l});
    }
}

// Depth first over the link graph; the kind decides where the domain stops.
void CRulePostProcessor::Walk(const PostProcessInput& in, Domain& d, int kind, int w, int root, int bound)
{
    // An explicit stack: a long chain of words must not exhaust the call stack.
    std::vector<int>& stack = m_stack;
    stack.assign(1, w);
    m_visited[static_cast<size_t>(w)] = 1;
    while (!stack.empty()) {
        int x = stack.back();
        stack.pop_back();
        if (kind == kStarterWalk || x != root)
            for (const Adjacent& a : m_adjacency[static_cast<size_t>(x)])
                if (a.word < x && a.link != d.starterLink)
                    d.links.push_back(a.link);
        // Pushed in reverse so that neighbours are taken in list order.
        for (auto it = m_adjacency[static_cast<size_t>(x)].rbegin(); it != m_adjacency[static_cast<size_t>(x)].rend();
             ++it) {
            int o = it->word;
            if (m_visited[static_cast<size_t>(o)])
                continue;
            if (kind == kStarterWalk && o == root)
                continue;
            if (kind == kInclusiveWalk && x == root && o < root)
                continue;
            if (kind == kBoundedWalk && x == root && (o < root || o >= bound))
                continue;
            if (o < root && o < x && m_knowledge->restrictedLinks.Match(in.links[it->link].name))
                continue;
            m_visited[static_cast<size_t>(o)] = 1;
            stack.push_back(o);
        }
    }
}

void CRulePostProcessor::BuildDomains(const PostProcessInput& in)
{
    const PPKnowledge& k = *m_knowledge;
    m_domains.clear();
    for (int i = 0; i < in.numLinks; ++i) {
        const Link& l = in.links[i];
        if (l.l < 0 || k.ignoreLinks.Match(l.name))
            continue;
        int kind;
        if (k.domainStarterLinks.Match(l.name))
            kind = kStarterWalk;
        else if (k.inclDomainLinks.Match(l.name))
            kind = kInclusiveWalk;
        else if (k.onlyNoDomainStarterLinks.Match(l.name))
            kind = kBoundedWalk;
        else
            continue;
        if (static_cast<int>(m_domains.size()) >= kMaxDomains)
            ThrowParserLimit("too many domains");
        Domain d{l.name, i, -1, {}, {}, -1, static_cast<int>(m_domains.size())};
        if ((kind == kStarterWalk && k.domainContainsLinks.Match(l.name)) || kind == kInclusiveWalk)
            d.links.push_back(i);
        m_visited.assign(static_cast<size_t>(in.numWords), 0);
        if (kind == kBoundedWalk)
            Walk(in, d, kind, l.l, l.l, l.r);
        else
            Walk(in, d, kind, l.r, l.l, 0);
        m_domains.push_back(std::move(d));
    }
    // Fewest links first; equal sizes keep their order of creation on every platform.
    std::stable_sort(m_domains.begin(), m_domains.end(), [](const Domain& a, const Domain& b) {
        if (a.links.size() != b.links.size())
            return a.links.size() < b.links.size();
        return a.order < b.order;
    });
    for (Domain& d : m_domains) {
        for (const StartingLink& s : k.startingLinks)
            if (PostProcessMatch(s.name.c_str(), d.starter)) {
                d.type = s.domain;
                break;
            }
    }
    size_t n = m_domains.size();
    for (size_t a = 0; a < n; ++a) {
        for (size_t b = a + 1; b < n; ++b) {
            bool all = true;
            for (int li : m_domains[a].links)
                if (!Contains(m_domains[b].links, li)) {
                    all = false;
                    break;
                }
            if (all) {
                m_domains[a].parent = static_cast<int>(b);
                break;
            }
        }
    }
    for (int i = 0; i < in.numLinks; ++i)
        for (Domain& d : m_domains)
            if (Contains(d.links, i)) {
                d.innermost.push_back(i);
                break;
            }
}

bool CRulePostProcessor::Reachable(int from, int to, int withoutLink)
{
    if (from == to)
        return true;
    std::fill(m_visited.begin(), m_visited.end(), 0);
    std::vector<int>& stack = m_stack;
    stack.assign(1, from);
    m_visited[static_cast<size_t>(from)] = 1;
    while (!stack.empty()) {
        int x = stack.back();
        stack.pop_back();
        for (const Adjacent& a : m_adjacency[static_cast<size_t>(x)]) {
            if (a.link == withoutLink || m_visited[static_cast<size_t>(a.word)])
                continue;
            if (a.word == to)
                return true;
            m_visited[static_cast<size_t>(a.word)] = 1;
            stack.push_back(a.word);
        }
    }
    return false;
}

const std::string* CRulePostProcessor::CheckDomainRules(const PostProcessInput& in)
{
    const PPKnowledge& k = *m_knowledge;
    auto containsOne = [&](const Domain& d, const char* selector) {
        for (int li : d.innermost)
            if (PostProcessMatch(selector, in.links[li].name))
                return true;
        return false;
    };
    auto containsName = [&](const Domain& d, const LinkSet& names) {
        for (int li : d.innermost)
            if (names.Match(in.links[li].name))
                return true;
        return false;
    };
    for (size_t r = 0; r < k.oneRules.size(); ++r) {
        if (!Relevant(static_cast<int>(r), m_relevantOne))
            continue;
        const PPRule& rule = k.oneRules[r];
        for (const Domain& d : m_domains)
            if (containsOne(d, rule.selector.c_str()) && !containsName(d, rule.links))
                return &rule.message;
    }
    for (size_t r = 0; r < k.noneRules.size(); ++r) {
        if (!Relevant(static_cast<int>(r), m_relevantNone))
            continue;
        const PPRule& rule = k.noneRules[r];
        for (const Domain& d : m_domains)
            if (containsOne(d, rule.selector.c_str()) && containsName(d, rule.links))
                return &rule.message;
    }
    m_visited.assign(static_cast<size_t>(in.numWords), 0);
    for (const PPRule& rule : k.cycleRules) {
        for (int i = 0; i < in.numLinks; ++i) {
            const Link& l = in.links[i];
            if (l.l < 0 || !rule.links.Match(l.name))
                continue;
            bool ignored = Contains(m_ignored, i);
            if (!Reachable(l.l, l.r, ignored ? -1 : i))
                return &rule.message;
        }
    }
    if (k.hasConnectedRule && in.numWords > 0) {
        // Ignored links connect nothing: a word held only by them counts as
        // unlinked, so a wall-to-wall link does not break every linkage.
        Reachable(0, -1, -1); // marks everything reachable from word 0
        for (int w = 0; w < in.numWords; ++w)
            if (!m_adjacency[static_cast<size_t>(w)].empty() && !m_visited[static_cast<size_t>(w)])
                return &k.connectedMessage;
    }
    for (const PPRule& rule : k.boundedRules) {
        for (const Domain& d : m_domains) {
            if (d.type != rule.domain)
                continue;
            int root = in.links[d.starterLink].l;
            for (int li : d.links)
                if (in.links[li].l < root)
                    return &rule.message;
        }
    }
    return nullptr;
}

PostProcessResult CRulePostProcessor::Process(const PostProcessInput& in)
{
    PostProcessResult result;
    const PPKnowledge& k = *m_knowledge;
    if (in.sentence != m_sentence) {
        ResetSentence();
        m_sentence = in.sentence;
    }
    if (!m_relevantCollected && !m_relevantLinks.Empty()) {
        for (size_t r = 0; r < k.oneRules.size(); ++r)
            if (m_relevantLinks.MatchBackward(k.oneRules[r].selector.c_str())) {
                m_relevantOne.push_back(static_cast<int>(r));
                m_relevantSelectors.Insert(k.oneRules[r].selector);
            }
        for (size_t r = 0; r < k.noneRules.size(); ++r)
            if (m_relevantLinks.MatchBackward(k.noneRules[r].selector.c_str())) {
                m_relevantNone.push_back(static_cast<int>(r));
                m_relevantSelectors.Insert(k.noneRules[r].selector);
            }
        m_relevantCollected = true;
    }

    for (size_t r = 0; r < k.oneRules.size() && !result.violated; ++r) {
        if (!Relevant(static_cast<int>(r), m_relevantOne))
            continue;
        const PPRule& rule = k.oneRules[r];
        bool applies = false, kept = false;
        for (int i = 0; i < in.numLinks; ++i) {
            if (in.links[i].l < 0)
                continue;
            applies |= PostProcessMatch(rule.selector.c_str(), in.links[i].name);
            kept |= rule.links.Match(in.links[i].name);
        }
        if (applies && !kept) {
            result.violated = true;
            result.violation = rule.message;
        }
    }
    if (result.violated) {
        ++m_violationsBeforeDomains;
        return result;
    }

    BuildGraph(in);
    BuildDomains(in);
    if (const std::string* message = CheckDomainRules(in)) {
        result.violated = true;
        result.violation = *message;
        ++m_violationsAfterDomains;
    }
    result.domains.assign(static_cast<size_t>(in.numLinks), {});
    for (const Domain& d : m_domains)
        for (int li : d.links) {
            auto& list = result.domains[static_cast<size_t>(li)];
            list.insert(list.begin(), std::string(1, static_cast<char>(d.type)));
        }
    m_domains.clear();
    return result;
}

CPostProcessor* CreateRulePostProcessor(const char* dictionaryName, const char* ruleName, const void*, unsigned,
                                        GrammarEscapeCallback)
{
    if (!ruleName)
        return nullptr;
    return new CRulePostProcessor(OpenKnowledge(dictionaryName, ruleName));
}
