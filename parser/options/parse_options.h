// The settings one parse runs under.
#pragma once
#include "parser/options/resources.h"

using LinkageCompareFn = int (*)(const void*, const void*);

struct ParseOptions {
    int verbosity;
    int linkageLimit;
    int disjunctCost;
    int minNullCount;
    int maxNullCount;
    int nullBlock;
    int islandsOk;
    int twoPassLength;
    int shortLength;
    int allShort;
    int costModel;
    LinkageCompareFn linkageCompare;
    ParserResources* resources;
    int displayOn;
    int showWordForms;
    int showFullLinkNames;
    int showWalls;
    int display17, display18, display19, display20, display21;
    int screenWidth;
    int display23, display24, display25;
};

// Orders linkage records: violations, unlinked words, disjunct cost, conjunction
// cost, total link length; lower first.
int CompareLinkages(const void* a, const void* b);

ParseOptions* CreateParseOptions();
int DeleteParseOptions(ParseOptions* opts);
void SetLinkageCompare(ParseOptions* opts, LinkageCompareFn fn);
int ParserVerbosity(); // the process-wide copy
void SetParserVerbosity(int v);

void ParseOptionsSetVerbosity(ParseOptions* o, int v);
inline int ParseOptionsGetVerbosity(const ParseOptions* o) { return o->verbosity; }
#define VX_PARSE_OPTION(field, Name)                                                               \
    inline void ParseOptionsSet##Name(ParseOptions* o, int v) { o->field = v; }                    \
    inline int ParseOptionsGet##Name(const ParseOptions* o) { return o->field; }
VX_PARSE_OPTION(linkageLimit, LinkageLimit)
VX_PARSE_OPTION(disjunctCost, DisjunctCost)
VX_PARSE_OPTION(minNullCount, MinNullCount)
VX_PARSE_OPTION(maxNullCount, MaxNullCount)
VX_PARSE_OPTION(nullBlock, NullBlock)
VX_PARSE_OPTION(islandsOk, IslandsOk)
VX_PARSE_OPTION(shortLength, ShortLength)
VX_PARSE_OPTION(allShort, AllShort)
VX_PARSE_OPTION(showWalls, ShowWalls)
VX_PARSE_OPTION(showWordForms, ShowWordForms)
VX_PARSE_OPTION(screenWidth, ScreenWidth)
VX_PARSE_OPTION(display17, Display17)
VX_PARSE_OPTION(display18, Display18)
VX_PARSE_OPTION(display19, Display19)
VX_PARSE_OPTION(display20, Display20)
VX_PARSE_OPTION(display21, Display21)
VX_PARSE_OPTION(display23, Display23)
VX_PARSE_OPTION(display24, Display24)
VX_PARSE_OPTION(display25, Display25)
#undef VX_PARSE_OPTION
inline void ParseOptionsSetTimeLimit(ParseOptions* o, int v) { o->resources->timeLimit = v; }
inline int ParseOptionsGetTimeLimit(const ParseOptions* o) { return o->resources->timeLimit; }
inline void ParseOptionsSetTimeLimitMs(ParseOptions* o, int v) { o->resources->timeLimitMs = v; }
inline int ParseOptionsGetTimeLimitMs(const ParseOptions* o) { return o->resources->timeLimitMs; }
inline void ParseOptionsSetMemoryLimit(ParseOptions* o, int v) { o->resources->memoryLimit = v; }
inline int ParseOptionsGetMemoryLimit(const ParseOptions* o) { return o->resources->memoryLimit; }
inline bool ParseOptionsTimerExpired(ParseOptions* o) { return TimerExpired(o->resources); }
inline bool ParseOptionsMemoryExhausted(ParseOptions* o) { return MemoryExhausted(o->resources); }
inline bool ParseOptionsResourcesExhausted(ParseOptions* o)
{
    return TimerExpired(o->resources) || MemoryExhausted(o->resources);
}
inline void ParseOptionsResetResources(ParseOptions* o) { ResetResources(o->resources); }
inline void ParseOptionsStartRequestLineBudget(ParseOptions* o) { StartRequestLineBudget(o->resources); }
