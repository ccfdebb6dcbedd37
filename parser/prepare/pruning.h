// The pruning passes: each deletes disjuncts (or expression parts) that cannot
// take part in any complete linkage, and keeps every one that can.
#pragma once
#include "parser/disjunct/connector.h"

class CSentence;
struct ParseOptions;

// The connector test of pruning: the counting's test, and besides an "S" or "SI"
// with subscript s also meets one with subscript p (the conjunctions make plural
// subjects of singular ones). lw = rw = 0: no distance test.
bool PruneMatch(const Connector* a, const Connector* b, int lw, int rw, const CSentence* sentence);

// Connectors of the words' expressions without a partner on their side anywhere
// in the sentence are removed, with what depends on them.
void PruneExpressions(CSentence* sentence);
int PowerPrune(CSentence* sentence, int mode, ParseOptions* options);
int RulePrune(CSentence* sentence, ParseOptions* options);
void RuleAndPowerPrune(CSentence* sentence, int mode, ParseOptions* options);
// The disjunct passes of a sentence without conjunctions; returns the number
// deleted by the last pass.
int PruneDisjuncts(CSentence* sentence, ParseOptions* options);
