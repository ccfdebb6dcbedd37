#include "parser/sentence/sentence.h"

#include "parser/core/parser_error.h"
#include "parser/core/string_set.h"
#include "parser/count/count.h"
#include "parser/count/parse_set.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/postprocess/post_processor.h"
#include "parser/prepare/prepare.h"
#include "parser/sentence/sampling.h"

#include <cstring>

CSentence::CSentence(const char* text, CGrammarDictionary* dict) : dictionary(dict)
{
    words.reserve(kMaxSentenceWords);
    if (!dictionary || !dictionary->IsLoaded() || !text)
        return;
    stringSet = CreateStringSet();
    bool ok = false;
    try {
        ok = SeparateWords(text);
        if (ok) {
            firstPassDone = 0;
            BuildConjunctionFlags();
            ok = BuildSentenceExpressions();
        }
    } catch (const ParserLimitException&) {
        // A word no category takes: the sentence is left with nothing to parse.
        ok = false;
    } catch (...) {
        DeleteStringSet(stringSet);
        stringSet = nullptr;
        throw;
    }
    if (!ok) {
        DeleteStringSet(stringSet);
        stringSet = nullptr;
    }
}

CSentence::~CSentence()
{
    FreeParse();
    if (dictionary && dictionary->postProcessor)
        dictionary->postProcessor->ResetSentence();
    DeleteStringSet(stringSet);
}

void CSentence::FreeParse()
{
    parseInfo.reset();
    linkageInfo.clear();
    FreeDisjuncts();
}

void CSentence::FreeDisjuncts()
{
    for (SentenceWord& w : words)
        w.d = nullptr;
    andTables.reset();
    disjunctArena.Reset();
}

bool CSentence::HasConjunction() const
{
    for (uint8_t c : isConjunction)
        if (c)
            return true;
    return false;
}

bool CSentence::SentenceHasWord(const char* text) const
{
    for (const SentenceWord& w : words)
        if (w.text == text)
            return true;
    return false;
}

int CSentence::SentenceConnectorCount() const
{
    int n = 0;
    for (const SentenceWord& w : words)
        for (const XNode* x = w.x; x; x = x->next)
            n += CountConnectors(x->exp);
    return n;
}

void CSentence::BuildConjunctionFlags()
{
    isConjunction.assign(static_cast<size_t>(numWords), 0);
    for (int w = 0; w < numWords; ++w) {
        const std::string& t = words[w].text;
        isConjunction[w] = (t == "and" || t == "or" || t == "but" || t == "nor") ? 1 : 0;
    }
}

void CSentence::BuildDeletable(const ParseOptions* options)
{
    if (numWords >= kMaxSentenceWords)
        ThrowParserLimit("too many words");
    int n = numWords;
    bool nullLinks = options->minNullCount > 0;
    bool conj = HasConjunction();
    deletable.assign(static_cast<size_t>(n + 1) * static_cast<size_t>(n + 1), 0);
    auto word = [&](int i) -> const std::string& { return words[i].text; };
    auto isConj = [&](int i) { return isConjunction[i] != 0; };
    for (int i = -1; i < n; ++i) {
        for (int j = 0; j <= n; ++j) {
            uint8_t v;
            if (j == i + 1)
                v = 1;
            else if (nullLinks)
                v = 1;
            else if (!conj)
                v = 0;
            else {
                bool any = false;
                if (j > i + 2) {
                    if (isConj(i + 1) || isConj(j - 1))
                        any = true;
                    if (!any && word(i + 1) == ",")
                        for (int k = i + 2; k <= j - 1 && !any; ++k)
                            any = isConj(k);
                    if (!any && word(j - 1) == ",")
                        for (int k = j; k <= n - 1 && !any; ++k)
                            any = isConj(k);
                }
                if (any)
                    v = 1;
                else if (j <= i)
                    v = 0;
                else {
                    v = 1;
                    for (int k = i + 1; k <= j - 1; ++k) {
                        const std::string& t = word(k);
                        bool skippable = t == "either" || t == "neither" || t == "both" || t == "not" ||
                                         (t == "only" && k > i + 1 && word(k - 1) == "not");
                        if (!skippable) {
                            v = 0;
                            break;
                        }
                    }
                }
            }
            deletable[static_cast<size_t>(i + 1) * static_cast<size_t>(n + 1) + static_cast<size_t>(j)] = v;
        }
    }
}

void CSentence::BuildEffectiveDistance(const ParseOptions* options)
{
    int n = numWords;
    size_t stride = static_cast<size_t>(n + 1);
    effectiveDistance.assign(static_cast<size_t>(n) * stride, 0);
    auto at = [&](int i, int j) -> int16_t& { return effectiveDistance[static_cast<size_t>(i) * stride + static_cast<size_t>(j)]; };
    bool nullLinks = options->minNullCount > 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= n; ++j)
            at(i, j) = static_cast<int16_t>(j - i);
    if (nullLinks)
        return;
    for (int d = 1; d < n; ++d) {
        for (int i = 0; i + d <= n && i < n; ++i) {
            int j = i + d;
            if (Deletable(i, j))
                at(i, j) = 1;
            else {
                int a = at(i, j - 1);
                int b = (i + 1 < n) ? at(i + 1, j) : a;
                at(i, j) = static_cast<int16_t>(1 + (a < b ? a : b));
            }
        }
    }
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (isConjunction[i] || isConjunction[j])
                at(i, j) = 1;
}

int CSentence::Parse(ParseOptions* options)
{
    SetParserVerbosity(options->verbosity);
    numLinkagesFound = numLinkagesAlloced = numLinkagesPostProcessed = numValidLinkages = 0;
    nullCount = 0;
    FreeParse();
    // A sentence whose construction failed has nothing to parse.
    if (!IsValid() || numWords == 0)
        return 0;
    ResetSpace(options->resources);
    if (ResourcesExhausted(options->resources))
        return 0;

    // Pruning for no null words removes much more than pruning for some, and
    // what it removes may be needed once words are left out: prepare for the
    // null count being tried, and again with words left out when no linkage
    // was found without.
    prunedForNullWords = options->minNullCount > 0;
    PrepareToParse(this, options);
    if (ResourcesExhausted(options->resources))
        return 0;
    auto counts = std::make_unique<CountContext>(this, options);
    parseInfo = std::make_unique<ParseInfo>(numWords);
    for (int k = options->minNullCount; k <= options->maxNullCount; ++k) {
        if (ResourcesExhausted(options->resources))
            break;
        if (k > 0 && !prunedForNullWords) {
            counts.reset();
            parseInfo.reset();
            linkageInfo.clear();
            numLinkagesFound = numLinkagesAlloced = numLinkagesPostProcessed = numValidLinkages = 0;
            FreeDisjuncts();
            prunedForNullWords = true;
            PrepareToParse(this, options);
            if (ResourcesExhausted(options->resources))
                break;
            counts = std::make_unique<CountContext>(this, options);
            parseInfo = std::make_unique<ParseInfo>(numWords);
        }
        nullCount = k;
        numLinkagesFound = counts->CountLinkages(k);
        SampleAndPostProcess(this, *counts, options);
        if (numValidLinkages >= 1)
            break;
    }
    return numValidLinkages;
}
