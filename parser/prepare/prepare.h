// Preparation of a sentence for counting: disjuncts from the words' expressions,
// duplicates removed, length limits, the word tables, and the pruning passes.
#pragma once

class CSentence;
struct ParseOptions;
struct Disjunct;

// A pruning pass: may delete disjuncts that cannot take part in any linkage and
// must keep every one that can. Returns the number deleted by its last pass.
using PruningPass = int (*)(CSentence* sentence, ParseOptions* options);
// Installs the disjunct pruning passes (null: every disjunct is kept). The
// default is PruneDisjuncts (pruning.h).
void SetPruningPass(PruningPass pass);
// Pruning of the words' expressions before their disjuncts are built (null:
// none). The default is PruneExpressions (pruning.h).
using ExpressionPruningPass = void (*)(CSentence* sentence);
void SetExpressionPruning(ExpressionPruningPass pass);
// Both passes back to their defaults.
void RestoreDefaultPruning();

int PrepareToParse(CSentence* sentence, ParseOptions* options);
void SetConnectorLengthLimits(CSentence* sentence, const ParseOptions* options);
Disjunct* EliminateDuplicateDisjuncts(Disjunct* list);
// Gives every connector its nearest reachable word and drops the disjuncts whose
// lists reach beyond the ends of the sentence.
void FitDisjunctsToSentence(CSentence* sentence);
