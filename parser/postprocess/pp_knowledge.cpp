#include "parser/postprocess/pp_knowledge.h"

#include "parser/core/parser_error.h"

#include <cstring>

namespace {

std::string UpperPart(const char* s)
{
    const char* p = s;
    while (*p >= 'A' && *p <= 'Z')
        ++p;
    return std::string(s, static_cast<size_t>(p - s));
}

void ReadLinkSet(PPLexTable& lex, const char* label, LinkSet& set)
{
    if (!lex.SetLabel(label))
        return;
    while (const char* t = lex.NextToken())
        set.Insert(t);
}

std::string FirstOf(const std::vector<const char*>& group) { return group.empty() ? std::string() : group[0]; }

// Contains-one and contains-none rules: selector, names, message.
void ReadContainsRules(PPLexTable& lex, const char* label, std::vector<PPRule>& rules)
{
    if (!lex.SetLabel(label))
        return;
    int count = (lex.CountCommas() + 1) / 3;
    for (int i = 0; i < count; ++i) {
        PPRule r;
        r.selector = FirstOf(lex.NextGroup());
        for (const char* name : lex.NextGroup()) {
            r.links.Insert(name);
            r.names.emplace_back(name);
        }
        r.message = FirstOf(lex.NextGroup());
        rules.push_back(std::move(r));
    }
}

} // namespace

bool PostProcessMatch(const char* pattern, const char* label)
{
    const char* p = pattern;
    const char* l = label;
    while (*p >= 'A' && *p <= 'Z') {
        if (*p != *l)
            return false;
        ++p;
        ++l;
    }
    if (*l >= 'A' && *l <= 'Z')
        return false;
    for (; *p; ++p) {
        if (*p == '#') {
            if (*l)
                ++l;
            continue;
        }
        if (*l) {
            if (*p != *l)
                return false;
            ++l;
        } else if (*p != '*') {
            return false;
        }
    }
    return true;
}

void LinkSet::Insert(const std::string& name)
{
    std::vector<std::string>& bucket = m_buckets[UpperPart(name.c_str())];
    for (const std::string& s : bucket)
        if (s == name)
            return;
    bucket.insert(bucket.begin(), name);
    ++m_count;
}

bool LinkSet::Match(const char* label) const
{
    auto it = m_buckets.find(UpperPart(label));
    if (it == m_buckets.end())
        return false;
    for (const std::string& s : it->second)
        if (PostProcessMatch(s.c_str(), label))
            return true;
    return false;
}

bool LinkSet::MatchBackward(const char* pattern) const
{
    auto it = m_buckets.find(UpperPart(pattern));
    if (it == m_buckets.end())
        return false;
    for (const std::string& s : it->second)
        if (PostProcessMatch(pattern, s.c_str()))
            return true;
    return false;
}

bool ReadKnowledge(const std::string& text, PPKnowledge& k, std::string& error)
{
    PPLexTable lex;
    if (!lex.Read(text)) {
        error = lex.Error();
        return false;
    }
    if (lex.SetLabel("STARTING_LINK")) {
        int pairs = lex.CountTokens() / 2;
        for (int i = 0; i < pairs; ++i) {
            const char* name = lex.NextToken();
            const char* domain = lex.NextToken();
            k.startingLinks.push_back(StartingLink{name, static_cast<signed char>(domain[0])});
        }
    }
    ReadLinkSet(lex, "DOMAIN_STARTER_LINKS", k.domainStarterLinks);
    ReadLinkSet(lex, "INCL_DOMAIN_LINKS", k.inclDomainLinks);
    ReadLinkSet(lex, "ONLY_NO_DOMAIN_STARTER_LINKS", k.onlyNoDomainStarterLinks);
    ReadLinkSet(lex, "DOMAIN_CONTAINS_LINKS", k.domainContainsLinks);
    ReadLinkSet(lex, "CYCLE_LINKS", k.cycleLinks);
    ReadLinkSet(lex, "RESTRICTED_LINKS", k.restrictedLinks);
    ReadLinkSet(lex, "IGNORE_LINKS", k.ignoreLinks);

    if (lex.SetLabel("CYCLE_RULES")) {
        int count = (lex.CountCommas() + 1) / 2;
        for (int i = 0; i < count; ++i) {
            PPRule r;
            for (const char* name : lex.NextGroup())
                r.links.Insert(name);
            r.message = FirstOf(lex.NextGroup());
            k.cycleRules.push_back(std::move(r));
        }
    }
    if (lex.SetLabel("CONNECTED_RULES")) {
        if (const char* m = lex.NextToken()) {
            k.hasConnectedRule = true;
            k.connectedMessage = m;
        }
    }
    if (lex.SetLabel("BOUNDED_RULES")) {
        int count = (lex.CountCommas() + 1) / 2;
        for (int i = 0; i < count; ++i) {
            PPRule r;
            std::vector<const char*> g = lex.NextGroup();
            r.domain = g.empty() ? 0 : static_cast<signed char>(g[0][0]);
            r.message = FirstOf(lex.NextGroup());
            k.boundedRules.push_back(std::move(r));
        }
    }
    ReadContainsRules(lex, "ONE_RULES", k.oneRules);
    ReadContainsRules(lex, "NONE_RULES", k.noneRules);

    for (const PPRule& r : k.boundedRules)
        for (const StartingLink& s : k.startingLinks)
            if (s.domain == r.domain)
                k.boundedStartingLinks.Insert(s.name);
    return true;
}

std::unique_ptr<PPKnowledge> OpenKnowledge(const char* dictionaryName, const char* ruleFileName)
{
    std::unique_ptr<GrammarSource> source = OpenGrammarFile(dictionaryName, ruleFileName, 0);
    auto k = std::make_unique<PPKnowledge>();
    k->ruleFileName = ruleFileName ? ruleFileName : "";
    std::string error;
    if (!ReadKnowledge(source->Text(), *k, error)) {
        GrammarError(2, "%s: %s", k->ruleFileName.c_str(), error.c_str());
        ThrowParserLimit("unreadable rule file");
    }
    return k;
}
