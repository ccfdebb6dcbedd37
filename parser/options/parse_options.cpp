#include "parser/options/parse_options.h"

#include "parser/core/parser_memory.h"
#include "parser/sentence/linkage_info.h"

#include <new>

namespace {
int g_verbosity = 0;
}

int ParserVerbosity() { return g_verbosity; }
void SetParserVerbosity(int v) { g_verbosity = v; }

int CompareLinkages(const void* a, const void* b)
{
    const LinkageInfo* p = static_cast<const LinkageInfo*>(a);
    const LinkageInfo* q = static_cast<const LinkageInfo*>(b);
    if (p->violations != q->violations)
        return p->violations - q->violations;
    if (p->nullWords != q->nullWords)
        return p->nullWords - q->nullWords;
    if (p->disjunctCost != q->disjunctCost)
        return p->disjunctCost - q->disjunctCost;
    if (p->andCost != q->andCost)
        return p->andCost - q->andCost;
    return p->linkLength - q->linkLength;
}

ParseOptions* CreateParseOptions()
{
    void* p = ParserAlloc(sizeof(ParseOptions));
    if (!p)
        throw std::bad_alloc();
    ParseOptions* o = static_cast<ParseOptions*>(p);
    o->verbosity = 0;
    o->linkageLimit = 100;
    o->disjunctCost = 10000;
    o->minNullCount = 0;
    o->maxNullCount = 6;
    o->nullBlock = 1;
    o->islandsOk = 1;
    o->twoPassLength = 30;
    o->shortLength = 6;
    o->allShort = 0;
    o->costModel = 0;
    o->linkageCompare = CompareLinkages;
    o->resources = CreateResources();
    o->displayOn = 1;
    o->showWordForms = 1;
    o->showFullLinkNames = 1;
    o->showWalls = 0;
    o->display17 = 1;
    o->display18 = 1;
    o->display19 = 0;
    o->display20 = 0;
    o->display21 = 0;
    o->screenWidth = 79;
    o->display23 = 1;
    o->display24 = 0;
    o->display25 = 0;
    return o;
}

int DeleteParseOptions(ParseOptions* opts)
{
    if (!opts)
        return 0;
    DeleteResources(opts->resources);
    ParserFree(opts, sizeof(ParseOptions));
    return 0;
}

void SetLinkageCompare(ParseOptions* opts, LinkageCompareFn fn)
{
    opts->linkageCompare = fn ? fn : CompareLinkages;
    if (!fn)
        opts->costModel = 0;
}

void ParseOptionsSetVerbosity(ParseOptions* o, int v)
{
    o->verbosity = v;
    g_verbosity = v;
}
