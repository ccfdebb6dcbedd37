#include "parser/options/resources.h"

#include "parser/core/parser_memory.h"

#include <chrono>
#include <new>

namespace {
ParserClock g_clock = nullptr;

double Now() { return g_clock ? g_clock() : MonotonicSeconds(); }
} // namespace

double MonotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SetParserClock(ParserClock clock) { g_clock = clock; }

ParserResources* CreateResources()
{
    void* p = ParserAlloc(sizeof(ParserResources));
    if (!p)
        throw std::bad_alloc();
    ParserResources* r = static_cast<ParserResources*>(p);
    double now = Now();
    r->timeLimit = -1;
    r->timeLimitMs = -1;
    r->memoryLimit = kNoMemoryLimit;
    r->timeWhenParseStarted = now;
    r->spaceInUseAtCreation = GetParserMemoryCounters().inUse;
    r->whenCreated = now;
    r->whenLastReset = now;
    r->cumulativeTime = 0;
    r->memoryExhausted = 0;
    r->timerExpired = 0;
    return r;
}

void DeleteResources(ParserResources* r) { ParserFree(r, sizeof(ParserResources)); }

void ResetResources(ParserResources* r)
{
    r->timeWhenParseStarted = Now();
    r->whenLastReset = r->timeWhenParseStarted;
    r->spaceInUseAtCreation = GetParserMemoryCounters().inUse;
    r->memoryExhausted = 0;
    r->timerExpired = 0;
}

void ResetSpace(ParserResources* r) { r->spaceInUseAtCreation = GetParserMemoryCounters().inUse; }

bool TimerExpired(ParserResources* r)
{
    if (r->timeLimit == -1 && r->timeLimitMs == -1)
        return false;
    if (r->timerExpired)
        return true;
    double elapsed = Now() - r->timeWhenParseStarted;
    return (r->timeLimit != -1 && elapsed > r->timeLimit) ||
           (r->timeLimitMs != -1 && elapsed * 1000.0 > r->timeLimitMs);
}

bool MemoryExhausted(ParserResources* r)
{
    if (r->memoryLimit == kNoMemoryLimit)
        return false;
    if (r->memoryExhausted)
        return true;
    return GetParserMemoryCounters().inUse > r->memoryLimit;
}

bool ResourcesExhausted(ParserResources* r)
{
    if (TimerExpired(r))
        r->timerExpired = 1;
    if (MemoryExhausted(r))
        r->memoryExhausted = 1;
    return r->timerExpired || r->memoryExhausted;
}

void StartRequestLineBudget(ParserResources* r)
{
    ResetResources(r);
    r->timeLimitMs = kRequestLineTimeMs;
    int64_t limit = GetParserMemoryCounters().inUse + kRequestLineMemoryBytes;
    // An active limit is any value but the "none" one; the counter is 32-bit.
    if (limit >= kNoMemoryLimit)
        limit = kNoMemoryLimit - 1;
    if (limit > INT32_MAX)
        limit = INT32_MAX;
    r->memoryLimit = static_cast<int32_t>(limit);
}
