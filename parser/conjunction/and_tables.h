// Conjunctions: the and-lists of a sentence (the shapes the conjoined phrases
// share), the "fat" disjuncts they give the words, the special conjunction words
// (either, neither, not only, both, a comma before a conjunction), and the
// conjunction pass of pruning.
#pragma once
#include "parser/disjunct/connector.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

class CSentence;
struct ParseOptions;

// Labels of the special connectors that tie a conjunction to its partner word.
enum : int16_t {
    kCommaLabel = -2,
    kEitherLabel = -3,
    kNeitherLabel = -4,
    kNotButLabel = -5,
    kNotOnlyLabel = -6,
    kBothLabel = -7,
};

constexpr uint8_t kUpPriority = 1;
constexpr uint8_t kDownPriority = 2;

struct AndLabel {
    std::vector<Disjunct*> elements; // cut-downs of one shape, and their combinations
    std::vector<const char*> texts;  // per element: its and-connector texts
};

struct ConjunctionTables {
    std::vector<AndLabel> labels;
    std::vector<std::vector<int>> hash = std::vector<std::vector<int>>(1024);
    // A conjunction word's disjunct -> the label and element it was made from.
    std::unordered_map<const Disjunct*, std::pair<int, int>> madeFrom;
};

// More elements than this in one label are not combined further: the
// combinations of a long line must not grow without bound.
constexpr size_t kMaxLabelElements = 256;

// Same shape: equally long lists whose connectors have equal labels and equal
// upper-case parts.
bool SameDisjunctType(const Disjunct* a, const Disjunct* b);
// Same connectors: equal labels, multi flags and texts.
bool SameDisjunct(const Disjunct* a, const Disjunct* b);
// Subscript-wise intersection: equal characters stay, "*" gives way, a conflict
// becomes "^"; the longer text's tail is kept.
const char* IntersectTexts(CSentence* sentence, const char* s, const char* t);

// Builds the and-lists and gives every word its fat disjuncts (the sentence has
// a conjunction); then the special conjunction words.
void BuildConjunctionDisjuncts(CSentence* sentence);
// Keeps the disjuncts that can take part in a linkage in which the stretches a
// conjunction makes deletable are left out.
void ConjunctionPrune(CSentence* sentence, ParseOptions* options);
// Removes disjuncts one of whose connectors has no partner on its side.
void SimplePrune(CSentence* sentence);
