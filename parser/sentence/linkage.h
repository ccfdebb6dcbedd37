// One linkage of a parsed sentence, ready to be read: word labels and links.
#pragma once
#include "parser/sentence/linkage_info.h"

#include <string>
#include <vector>

class CSentence;
struct ParseOptions;
class WordLinkage;

struct LinkageLink {
    int l, r; // l == -1: skipped by every reader
    std::string lc, rc;
    std::string label;
};

struct Sublinkage {
    std::vector<LinkageLink> links;
    std::vector<std::vector<std::string>> domains; // per link, empty when none
    std::string violation;
    bool hasViolation = false;
};

class CLinkage {
public:
    // Linkage `index` of the sentence's sorted records; an index at or past the
    // last record takes the last. Throws ParserLimitException when out of range.
    CLinkage(int index, CSentence* sentence, ParseOptions* options);
    CLinkage(const CLinkage&) = delete;
    CLinkage& operator=(const CLinkage&) = delete;

    std::vector<WordLinkage>* GetWordLinkages() const;
    int GetNumLinks() const;
    int GetNumWords() const { return numWords; }
    const char* GetWord(int i) const;
    int GetNumSublinkages() const { return numSublinkages; }
    CSentence* GetSentence() const { return sentence; }
    const LinkageInfo& GetInfo() const { return info; }
    int GetCurrent() const { return current; }
    bool SetCurrent(int i);

    int GetLinkLeftWord(int i) const;
    int GetLinkRightWord(int i) const;
    const char* GetLinkLabel(int i) const;
    const char* GetLinkLeftConnector(int i) const;
    const char* GetLinkRightConnector(int i) const;
    int GetLinkNumDomains(int i) const;
    std::vector<const char*> GetLinkDomainNames(int i) const; // empty with errno -1 on a bad index
    const char* GetViolationName() const;

    int numWords = 0;
    std::vector<std::string> words;
    LinkageInfo info{};
    int numSublinkages = 0;
    int current = 0;
    std::vector<Sublinkage> sublinkages;
    CSentence* sentence;
    ParseOptions* options;

private:
    bool ValidLink(int i) const;
};

// The label under which each word of the sentence shows in the linkage just
// extracted (dictionary form, "[word]" for a null word, "/////" for walls).
std::vector<std::string> ComputeLinkageWordLabels(const CSentence* sentence, const ParseOptions* options);
