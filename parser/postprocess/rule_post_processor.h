// The post-processor driven by the rule container: domains and the five kinds of
// rules of its knowledge.
#pragma once
#include "parser/postprocess/pp_knowledge.h"
#include "parser/postprocess/post_processor.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr int kMaxDomains = 127;

class CRulePostProcessor : public CPostProcessor {
public:
    explicit CRulePostProcessor(std::unique_ptr<PPKnowledge> knowledge);

    void FirstPass(const PostProcessInput& input) override;
    PostProcessResult Process(const PostProcessInput& input) override;
    void ResetLinkage() override {}
    void ResetSentence() override;

    const PPKnowledge& Knowledge() const { return *m_knowledge; }
    int ViolationsBeforeDomains() const { return m_violationsBeforeDomains; }
    int ViolationsAfterDomains() const { return m_violationsAfterDomains; }

private:
    struct Domain {
        const char* starter;
        int starterLink;
        int type;
        std::vector<int> links;
        std::vector<int> innermost;
        int parent;
        int order; // creation order: the tie-break of the sort
    };
    struct Adjacent {
        int link;
        int word;
    };

    void BuildGraph(const PostProcessInput& in);
    void BuildDomains(const PostProcessInput& in);
    void Walk(const PostProcessInput& in, Domain& d, int kind, int w, int root, int bound);
    bool Reachable(int from, int to, int withoutLink);
    const std::string* CheckDomainRules(const PostProcessInput& in);
    bool Relevant(int rule, const std::vector<int>& relevant) const;

    std::unique_ptr<PPKnowledge> m_knowledge;
    int m_violationsBeforeDomains = 0;
    int m_violationsAfterDomains = 0;
    const CSentence* m_sentence = nullptr;
    LinkSet m_relevantLinks;
    LinkSet m_relevantSelectors;
    bool m_relevantCollected = false;
    std::vector<int> m_relevantOne, m_relevantNone;
    std::vector<Domain> m_domains;
    std::vector<std::vector<Adjacent>> m_adjacency;
    std::vector<int> m_ignored;
    std::vector<uint8_t> m_visited;
    std::vector<int> m_stack; // of the graph walks, kept for its memory
};

// The factory the dictionaries use: reads the rule container beside the dictionary.
CPostProcessor* CreateRulePostProcessor(const char* dictionaryName, const char* ruleName, const void* block,
                                        unsigned blockLength, GrammarEscapeCallback callback);
