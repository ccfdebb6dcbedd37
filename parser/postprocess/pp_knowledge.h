// The rule file's content: the starting-link table, the link sets and the rules
// the post-processor checks.
#pragma once
#include "parser/dict/container.h"
#include "parser/postprocess/pp_lexer.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Does link name `pattern` (from the rule file) match link label `label`? The
// upper-case runs must be equal; then "#" matches anything, other characters must
// be equal, and "*" stands for a character the label lacks.
bool PostProcessMatch(const char* pattern, const char* label);

// A set of link names, bucketed by their upper-case part so that a name's whole
// family is probed at once.
class LinkSet {
public:
    void Insert(const std::string& name);
    // Some stored name, taken as the pattern, matches `label`.
    bool Match(const char* label) const;
    // `pattern` matches some stored name.
    bool MatchBackward(const char* pattern) const;
    bool Empty() const { return m_count == 0; }
    int Size() const { return m_count; }
    void Clear()
    {
        m_buckets.clear();
        m_count = 0;
    }

private:
    std::unordered_map<std::string, std::vector<std::string>> m_buckets;
    int m_count = 0;
};

struct PPRule {
    std::string selector;           // contains rules
    int domain = 0;                 // bounded rules
    LinkSet links;                  // cycle and contains rules
    std::vector<std::string> names; // contains rules
    std::string message;
};

struct StartingLink {
    std::string name;
    int domain;
};

struct PPKnowledge {
    std::string ruleFileName;
    LinkSet domainStarterLinks, inclDomainLinks, onlyNoDomainStarterLinks, domainContainsLinks, cycleLinks,
        restrictedLinks, ignoreLinks;
    bool hasConnectedRule = false;
    std::string connectedMessage;
    std::vector<PPRule> cycleRules, oneRules, noneRules, boundedRules;
    LinkSet boundedStartingLinks;
    std::vector<StartingLink> startingLinks;
};

// Reads the knowledge from rule text. False (with `error` set) when the text
// breaks a limit of the format.
bool ReadKnowledge(const std::string& text, PPKnowledge& knowledge, std::string& error);
// Opens the rule container beside the dictionary and reads it. Throws
// ParserLimitException when it cannot be opened or read.
std::unique_ptr<PPKnowledge> OpenKnowledge(const char* dictionaryName, const char* ruleFileName);
