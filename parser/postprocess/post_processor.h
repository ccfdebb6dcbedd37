// The post-processor: judges an extracted linkage against the rule container and
// hands out the domains of its links. One per process, shared by every
// dictionary, made by a factory: by default the rule container's post-processor
// (rule_post_processor.h). Without a rule container there is none, and every
// linkage is accepted.
#pragma once
#include "parser/dict/container.h"

#include <string>
#include <vector>

struct Link;
class CSentence;

// The links of one (sub)linkage as the post-processor sees them.
struct PostProcessInput {
    const CSentence* sentence;
    int numWords;
    const Link* links;
    int numLinks;
};

struct PostProcessResult {
    bool violated = false;
    std::string violation;                      // the rule's message when violated
    std::vector<std::vector<std::string>> domains; // per link, one-character domain names
};

class CPostProcessor {
public:
    virtual ~CPostProcessor() = default;
    // First pass over a long sentence: only gathers the labels that occur.
    virtual void FirstPass(const PostProcessInput& input) = 0;
    virtual PostProcessResult Process(const PostProcessInput& input) = 0;
    virtual void ResetLinkage() = 0;
    virtual void ResetSentence() = 0;
};

using PostProcessorFactory = CPostProcessor* (*)(const char* dictionaryName, const char* ruleName,
                                                 const void* block, unsigned blockLength,
                                                 GrammarEscapeCallback callback);
// Installs a factory; null restores the default.
void SetPostProcessorFactory(PostProcessorFactory factory);

// The process's post-processor: the existing one with one more user, or a new one
// made from the rule container (none without a rule name or a factory).
CPostProcessor* AcquirePostProcessor(const char* dictionaryName, const char* ruleName, const void* block,
                                     unsigned blockLength, GrammarEscapeCallback callback);
void ReleasePostProcessor(CPostProcessor* p);
