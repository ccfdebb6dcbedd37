#include "parser/postprocess/post_processor.h"

#include "parser/postprocess/rule_post_processor.h"

namespace {
// The rule container's post-processor unless a test installs another.
PostProcessorFactory g_factory = CreateRulePostProcessor;
CPostProcessor* g_shared = nullptr;
int g_users = 0; // users beyond the first
} // namespace

void SetPostProcessorFactory(PostProcessorFactory factory)
{
    g_factory = factory ? factory : CreateRulePostProcessor;
}

CPostProcessor* AcquirePostProcessor(const char* dictionaryName, const char* ruleName, const void* block,
                                     unsigned blockLength, GrammarEscapeCallback callback)
{
    if (g_shared) {
        ++g_users;
        return g_shared;
    }
    if (!ruleName || !g_factory)
        return nullptr;
    g_shared = g_factory(dictionaryName, ruleName, block, blockLength, callback);
    g_users = 0;
    return g_shared;
}

void ReleasePostProcessor(CPostProcessor* p)
{
    if (!p || p != g_shared)
        return;
    if (g_users == 0) {
        delete g_shared;
        g_shared = nullptr;
    } else {
        --g_users;
    }
}
