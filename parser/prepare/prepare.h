// Preparation of a sentence for counting: disjuncts from the words' expressions,
// duplicates removed, length limits, the word tables, and the pruning passes.
#pragma once

class CSentence;
struct ParseOptions;
struct Disjunct;

// A pruning pass: may delete disjuncts that cannot take part in any linkage and
// must keep every one that can. Returns the number deleted by its last pass.
using PruningPass = int (*)(CSentence* sentence, ParseOptions* options);
// Installs the pruning passes (null: no pruning, every disjunct is kept).
void SetPruningPass(PruningPass pass);

int PrepareToParse(CSentence* sentence, ParseOptions* options);
void SetConnectorLengthLimits(CSentence* sentence, const ParseOptions* options);
Disjunct* EliminateDuplicateDisjuncts(Disjunct* list);
// Gives every connector its nearest reachable word and drops the disjuncts whose
// lists reach beyond the ends of the sentence.
void FitDisjunctsToSentence(CSentence* sentence);
