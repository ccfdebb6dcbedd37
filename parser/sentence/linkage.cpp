#include "parser/sentence/linkage.h"

#include "parser/conjunction/fat_analysis.h"
#include "parser/core/parser_error.h"
#include "parser/count/parse_set.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/postprocess/post_processor.h"
#include "parser/sentence/sampling.h"
#include "parser/sentence/sentence.h"
#include "word_linkage.h"

#include <cerrno>
#include <cstring>

std::vector<std::string> ComputeLinkageWordLabels(const CSentence* sentence, const ParseOptions* options)
{
    const ParseInfo& pi = *sentence->parseInfo;
    const CGrammarDictionary* dict = sentence->dictionary;
    std::vector<std::string> labels(static_cast<size_t>(sentence->numWords));
    for (int w = 0; w < sentence->numWords; ++w) {
        std::string label = sentence->words[w].text;
        const Disjunct* d = pi.chosenDisjuncts[static_cast<size_t>(w)];
        if (d) {
            if (options->showWordForms) {
                if (IsIdiomWord(d->text))
                    label.assign(d->text, std::strcspn(d->text, "."));
                else
                    label = d->text;
            }
        } else {
            label = "[" + sentence->words[w].text + "]";
        }
        labels[static_cast<size_t>(w)] = std::move(label);
    }
    if (dict->leftWallDefined && sentence->numWords > 0)
        labels.front() = "/////";
    if (dict->rightWallDefined && sentence->numWords > 0)
        labels.back() = "/////";
    return labels;
}

CLinkage::CLinkage(int index, CSentence* sentence_, ParseOptions* options_) : sentence(sentence_), options(options_)
{
    if (!sentence || !sentence->parseInfo || index < 0 || index > sentence->numLinkagesPostProcessed ||
        sentence->linkageInfo.empty())
        ThrowParserLimit("linkage index out of range");
    if (index >= static_cast<int>(sentence->linkageInfo.size()))
        index = static_cast<int>(sentence->linkageInfo.size()) - 1;
    numWords = sentence->numWords;
    info = sentence->linkageInfo[static_cast<size_t>(index)];

    ParseInfo& pi = *sentence->parseInfo;
    pi.ExtractLinks(info.index, sentence->sampler);
    words = ComputeLinkageWordLabels(sentence, options);

    // A conjunction linkage is read as one plain sublinkage per choice of its
    // conjunctions; an improper one as it stands.
    std::vector<std::vector<Link>> plain;
    if (HasFatLinks(pi.links, pi.N_links)) {
        plain = FatLinkage(sentence, pi.links, pi.N_links, pi.chosenDisjuncts).Sublinkages();
    } else {
        plain.emplace_back(pi.links, pi.links + pi.N_links);
        for (Link& l : plain.back())
            l.name = LinkLabel(sentence, l.lc->text, l.rc->text);
    }
    CPostProcessor* pp = sentence->dictionary->postProcessor;
    for (std::vector<Link>& links : plain) {
        Sublinkage sub;
        for (const Link& l : links)
            sub.links.push_back(LinkageLink{l.l, l.r, l.lc->text, l.rc->text, l.name});
        sub.domains.assign(sub.links.size(), {});
        if (pp && !info.improperFat) {
            PostProcessResult result =
                pp->Process(PostProcessInput{sentence, numWords, links.data(), static_cast<int>(links.size())});
            if (result.domains.size() == sub.links.size())
                sub.domains = std::move(result.domains);
            if (result.violated) {
                sub.hasViolation = true;
                sub.violation = result.violation;
            }
            pp->ResetLinkage();
        }
        sublinkages.push_back(std::move(sub));
    }
    // What the post-processor gathered for this sentence goes too: a linkage
    // read later is checked against every rule, not only those the sampling
    // found relevant.
    if (pp)
        pp->ResetSentence();
    numSublinkages = static_cast<int>(sublinkages.size());
    current = 0;
}

bool CLinkage::SetCurrent(int i)
{
    if (i < 0 || i >= numSublinkages)
        return false;
    current = i;
    return true;
}

int CLinkage::GetNumLinks() const { return static_cast<int>(sublinkages[static_cast<size_t>(current)].links.size()); }

const char* CLinkage::GetWord(int i) const
{
    if (i < 0 || i >= numWords) {
        errno = -1;
        return nullptr;
    }
    return words[static_cast<size_t>(i)].c_str();
}

bool CLinkage::ValidLink(int i) const
{
    if (i < 0 || i >= GetNumLinks()) {
        errno = -1;
        return false;
    }
    return true;
}

int CLinkage::GetLinkLeftWord(int i) const
{
    return ValidLink(i) ? sublinkages[static_cast<size_t>(current)].links[static_cast<size_t>(i)].l : -1;
}

int CLinkage::GetLinkRightWord(int i) const
{
    return ValidLink(i) ? sublinkages[static_cast<size_t>(current)].links[static_cast<size_t>(i)].r : -1;
}

const char* CLinkage::GetLinkLabel(int i) const
{
    return ValidLink(i) ? sublinkages[static_cast<size_t>(current)].links[static_cast<size_t>(i)].label.c_str()
                        : nullptr;
}

const char* CLinkage::GetLinkLeftConnector(int i) const
{
    return ValidLink(i) ? sublinkages[static_cast<size_t>(current)].links[static_cast<size_t>(i)].lc.c_str() : nullptr;
}

const char* CLinkage::GetLinkRightConnector(int i) const
{
    return ValidLink(i) ? sublinkages[static_cast<size_t>(current)].links[static_cast<size_t>(i)].rc.c_str() : nullptr;
}

int CLinkage::GetLinkNumDomains(int i) const
{
    return ValidLink(i) ? static_cast<int>(sublinkages[static_cast<size_t>(current)].domains[static_cast<size_t>(i)].size())
                        : -1;
}

std::vector<const char*> CLinkage::GetLinkDomainNames(int i) const
{
    std::vector<const char*> names;
    if (!ValidLink(i))
        return names;
    for (const std::string& s : sublinkages[static_cast<size_t>(current)].domains[static_cast<size_t>(i)])
        names.push_back(s.c_str());
    return names;
}

const char* CLinkage::GetViolationName() const
{
    const Sublinkage& s = sublinkages[static_cast<size_t>(current)];
    return s.hasViolation ? s.violation.c_str() : nullptr;
}

std::vector<WordLinkage>* CLinkage::GetWordLinkages() const
{
    auto* list = new std::vector<WordLinkage>();
    const CGrammarDictionary* dict = sentence->dictionary;
    for (const LinkageLink& l : sublinkages[static_cast<size_t>(current)].links) {
        if (l.l == -1)
            continue;
        const char* left = words[static_cast<size_t>(l.l)].c_str();
        if ((l.l == 0 && dict->leftWallDefined) || (l.l == numWords - 1 && dict->rightWallDefined))
            left = "/////";
        list->push_back(WordLinkage(CString(left), CString(l.label.c_str()),
                                    CString(words[static_cast<size_t>(l.r)].c_str()), l.l, l.r));
    }
    return list;
}
