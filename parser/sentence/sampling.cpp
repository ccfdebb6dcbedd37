#include "parser/sentence/sampling.h"

#include "parser/core/parser_error.h"
#include "parser/core/string_set.h"
#include "parser/count/count.h"
#include "parser/count/parse_set.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/postprocess/post_processor.h"
#include "parser/sentence/sentence.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

const char* LinkLabel(CSentence* sentence, const char* a, const char* b)
{
    if (std::strcmp(a, b) == 0)
        return a;
    const char* base = a;
    const char* over = b;
    if (std::strlen(b) > std::strlen(a)) {
        base = b;
        over = a;
    }
    std::string label(base);
    bool onlyStars = true;
    for (size_t i = 0; over[i]; ++i) {
        char x = base[i], y = over[i];
        if (x == y)
            continue;
        if (y == '*')
            continue;
        onlyStars = false;
        label[i] = x == '*' ? y : '^';
    }
    if (onlyStars)
        return base;
    return Intern(sentence->stringSet, label.c_str());
}

LinkageInfo AnalyzeThinLinkage(CSentence* sentence, ParseOptions* options, int index, bool secondPass)
{
    ParseInfo& pi = *sentence->parseInfo;
    for (int i = 0; i < pi.N_links; ++i) {
        Link& l = pi.links[i];
        l.name = LinkLabel(sentence, l.lc->text, l.rc->text);
    }
    LinkageInfo info{};
    info.index = index;
    info.canonical = 1;
    CPostProcessor* pp = sentence->dictionary->postProcessor;
    PostProcessInput input{sentence, sentence->numWords, pi.links, pi.N_links};
    if (!secondPass) {
        if (pp)
            pp->FirstPass(input);
        return info;
    }
    if (pp) {
        PostProcessResult result = pp->Process(input);
        info.violations = result.violated ? 1 : 0;
        pp->ResetLinkage();
    }
    int nullWords = 0, cost = 0, length = 0;
    for (int w = 0; w < sentence->numWords; ++w) {
        const Disjunct* d = pi.chosenDisjuncts[static_cast<size_t>(w)];
        if (!d)
            ++nullWords;
        else
            cost += d->cost;
    }
    for (int i = 0; i < pi.N_links; ++i)
        length += pi.links[i].r - pi.links[i].l - 1;
    info.unusedWordCost = 0;
    info.nullWords = static_cast<int16_t>(nullWords);
    info.disjunctCost = static_cast<int16_t>(cost);
    info.andCost = 0;
    info.linkLength = static_cast<int16_t>(length);
    return info;
}

void SampleAndPostProcess(CSentence* sentence, CountContext& counts, ParseOptions* options)
{
    sentence->linkageInfo.clear();
    ParseInfo& pi = *sentence->parseInfo;
    pi.BuildRoot(counts, sentence->nullCount, options->islandsOk != 0);
    bool overflowed = pi.ParseSetOverflowed();
    int N = overflowed ? options->linkageLimit : sentence->numLinkagesFound;
    if (N <= 0) {
        sentence->numLinkagesAlloced = sentence->numLinkagesPostProcessed = sentence->numValidLinkages = 0;
        return;
    }
    int K = std::min(N, options->linkageLimit);
    if (K <= 0) {
        sentence->numLinkagesAlloced = sentence->numLinkagesPostProcessed = sentence->numValidLinkages = 0;
        return;
    }
    std::vector<int> indices(static_cast<size_t>(K));
    if (overflowed) {
        for (int i = 0; i < K; ++i)
            indices[i] = -(i + 1);
    } else {
        SamplerScope scope(sentence->sampler, N + sentence->numWords);
        for (int i = 0; i < K; ++i) {
            double lo = std::floor(static_cast<double>(i) * N / K);
            double hi = std::floor(static_cast<double>(i + 1) * N / K);
            int span = static_cast<int>(hi - lo);
            int draw = sentence->sampler.Next();
            indices[i] = static_cast<int>(lo) + (span > 0 ? draw % span : 0);
        }
    }

    ParserResources* res = options->resources;
    if (sentence->numWords >= options->twoPassLength && sentence->dictionary->postProcessor) {
        for (int i = 0; i < K && !ResourcesExhausted(res); ++i) {
            pi.ExtractLinks(indices[i], sentence->sampler);
            AnalyzeThinLinkage(sentence, options, indices[i], false);
        }
        sentence->firstPassDone = 1;
    }

    struct Ranked {
        LinkageInfo info;
        int position;
    };
    std::vector<Ranked> stored;
    stored.reserve(static_cast<size_t>(K));
    int valid = 0;
    for (int i = 0; i < K && !ResourcesExhausted(res); ++i) {
        pi.ExtractLinks(indices[i], sentence->sampler);
        LinkageInfo info = AnalyzeThinLinkage(sentence, options, indices[i], true);
        info.fat = 0;
        info.canonical = 1;
        if (info.violations == 0)
            ++valid;
        stored.push_back(Ranked{info, i});
    }
    // Stable, with the sample order as the explicit tie-break: the same order on
    // every platform.
    LinkageCompareFn compare = options->linkageCompare ? options->linkageCompare : CompareLinkages;
    std::stable_sort(stored.begin(), stored.end(), [compare](const Ranked& a, const Ranked& b) {
        int c = compare(&a.info, &b.info);
        if (c != 0)
            return c < 0;
        return a.position < b.position;
    });
    if (!ResourcesExhausted(res) && stored.empty() && N < options->linkageLimit)
        ThrowParserLimit("no canonical linkage");
    sentence->linkageInfo.reserve(stored.size());
    for (const Ranked& r : stored)
        sentence->linkageInfo.push_back(r.info);
    sentence->numLinkagesAlloced = K;
    sentence->numLinkagesPostProcessed = static_cast<int>(stored.size());
    sentence->numValidLinkages = valid;
}
