// Choosing, analysing and ordering the linkages of one null count.
#pragma once
#include "parser/sentence/linkage_info.h"

class CSentence;
class CountContext;
struct ParseOptions;
struct Link;

void SampleAndPostProcess(CSentence* sentence, CountContext& counts, ParseOptions* options);
// The links that the first pass over a long sentence may keep in its readings
// of conjunction linkages for the second (others are read again); 0 restores
// the default.
void SetKeptReadingLinks(unsigned long links);
// The label of a link between two connector texts: equal texts give that text,
// otherwise the shorter is laid over the longer ("*" yields, other differences "^").
const char* LinkLabel(CSentence* sentence, const char* a, const char* b);
// Gives every extracted link its label and measures the linkage.
LinkageInfo AnalyzeThinLinkage(CSentence* sentence, ParseOptions* options, int index, bool secondPass);
// The same for a linkage with fat links: its sublinkages are post-processed
// one by one (pass 1 only gathers their labels).
LinkageInfo AnalyzeFatLinkage(CSentence* sentence, ParseOptions* options, int index, bool secondPass);
