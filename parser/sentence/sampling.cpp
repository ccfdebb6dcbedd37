#include "parser/sentence/sampling.h"

#include "parser/conjunction/fat_analysis.h"
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
#include <memory>
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

namespace {

void MeasureLinkage(CSentence* sentence, LinkageInfo& info)
{
    ParseInfo& pi = *sentence->parseInfo;
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
    info.linkLength = static_cast<int16_t>(length);
}

} // namespace

namespace {

// What the analysis of the fat links finds in the linkage just extracted. Both
// passes over the sampled linkages extract the same ones, so the second pass
// takes the first one's reading instead of taking the linkage apart again.
struct FatReading {
    bool canonical = false;
    bool improper = false;
    bool tooMany = false; // expands into too many sublinkages: left out
    int andCost = 0;
    std::vector<std::vector<Link>> subs;
};

constexpr size_t kKeptReadingLinks = 16384;
size_t g_keptReadingLinks = kKeptReadingLinks;

FatReading ReadFatLinkage(CSentence* sentence)
{
    ParseInfo& pi = *sentence->parseInfo;
    FatLinkage fat(sentence, pi.links, pi.N_links, pi.chosenDisjuncts);
    FatReading r;
    r.canonical = fat.Canonical();
    r.improper = fat.Improper();
    r.tooMany = fat.TooManyChoices();
    if (!r.improper && !r.tooMany) {
        r.andCost = fat.AndCost();
        r.subs = fat.Sublinkages();
    }
    return r;
}

LinkageInfo JudgeFatLinkage(CSentence* sentence, FatReading& fat, int index, bool secondPass)
{
    LinkageInfo info{};
    info.index = index;
    info.fat = 1;
    info.canonical = fat.canonical ? 1 : 0;
    CPostProcessor* pp = sentence->dictionary->postProcessor;
    if (fat.improper) {
        info.improperFat = 1;
        info.violations = 1;
        info.andCost = 0;
    } else {
        info.andCost = static_cast<int16_t>(fat.andCost);
        // The domains a link has in the first sublinkage that keeps it.
        std::vector<std::pair<int, int>> firstKey;
        std::vector<std::vector<std::string>> firstDomains;
        for (std::vector<Link>& sub : fat.subs) {
            PostProcessInput input{sentence, sentence->numWords, sub.data(), static_cast<int>(sub.size())};
            if (!pp)
                continue;
            if (!secondPass) {
                pp->FirstPass(input);
                continue;
            }
            PostProcessResult result = pp->Process(input);
            pp->ResetLinkage();
            if (result.violated) {
                ++info.violations;
                continue;
            }
            for (size_t i = 0; i < sub.size() && i < result.domains.size(); ++i) {
                std::pair<int, int> key{sub[i].l, sub[i].r};
                auto at = std::find(firstKey.begin(), firstKey.end(), key);
                if (at == firstKey.end()) {
                    firstKey.push_back(key);
                    firstDomains.push_back(result.domains[i]);
                } else if (firstDomains[static_cast<size_t>(at - firstKey.begin())] != result.domains[i]) {
                    ++info.violations;
                    info.inconsistentDomains = 1;
                }
            }
        }
    }
    if (secondPass)
        MeasureLinkage(sentence, info);
    return info;
}

} // namespace

LinkageInfo AnalyzeFatLinkage(CSentence* sentence, ParseOptions* options, int index, bool secondPass)
{
    (void)options;
    FatReading fat = ReadFatLinkage(sentence);
    return JudgeFatLinkage(sentence, fat, index, secondPass);
}

void SetKeptReadingLinks(unsigned long links) { g_keptReadingLinks = links ? links : kKeptReadingLinks; }

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

    // Equivalent conjunction linkages are all counted; when every linkage is
    // looked at, only the canonical one of each is kept.
    bool onlyCanonical = !overflowed && N <= 2 * options->linkageLimit;
    ParserResources* res = options->resources;
    std::vector<std::unique_ptr<FatReading>> readings; // by sample, from the first pass
    size_t keptLinks = 0; // links copied into kept readings
    if (sentence->numWords >= options->twoPassLength && sentence->dictionary->postProcessor) {
        readings.resize(static_cast<size_t>(K));
        for (int i = 0; i < K && !ResourcesExhausted(res); ++i) {
            pi.ExtractLinks(indices[i], sentence->sampler);
            if (HasFatLinks(pi.links, pi.N_links)) {
                auto& fat = readings[static_cast<size_t>(i)];
                fat = std::make_unique<FatReading>(ReadFatLinkage(sentence));
                if ((onlyCanonical && !fat->canonical) || fat->tooMany)
                    continue;
                JudgeFatLinkage(sentence, *fat, indices[i], false);
                // Readings are kept for the second pass only while they are
                // small together: a long line's linkages may each expand into
                // many sublinkages, and a dropped one is simply read again.
                size_t size = 0;
                for (const std::vector<Link>& sub : fat->subs)
                    size += sub.size();
                if (keptLinks + size > g_keptReadingLinks)
                    fat.reset();
                else
                    keptLinks += size;
            } else {
                AnalyzeThinLinkage(sentence, options, indices[i], false);
            }
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
    int leftOut = 0; // linkages too large to expand: only they are lost
    for (int i = 0; i < K && !ResourcesExhausted(res); ++i) {
        pi.ExtractLinks(indices[i], sentence->sampler);
        LinkageInfo info;
        if (HasFatLinks(pi.links, pi.N_links)) {
            std::unique_ptr<FatReading> fat;
            if (!readings.empty())
                fat = std::move(readings[static_cast<size_t>(i)]);
            if (!fat)
                fat = std::make_unique<FatReading>(ReadFatLinkage(sentence));
            if (fat->tooMany) {
                ++leftOut;
                continue;
            }
            info = JudgeFatLinkage(sentence, *fat, indices[i], true);
            if (onlyCanonical && !info.canonical)
                continue;
        } else {
            info = AnalyzeThinLinkage(sentence, options, indices[i], true);
            info.fat = 0;
            info.canonical = 1;
        }
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
    if (!ResourcesExhausted(res) && stored.empty() && leftOut == 0 && N < options->linkageLimit)
        ThrowParserLimit("no canonical linkage");
    sentence->linkageInfo.reserve(stored.size());
    for (const Ranked& r : stored)
        sentence->linkageInfo.push_back(r.info);
    sentence->numLinkagesAlloced = K;
    sentence->numLinkagesPostProcessed = static_cast<int>(stored.size());
    sentence->numValidLinkages = valid;
}
