// Time and memory limits of one parse.
#pragma once
#include <cstdint>

// Seconds on a monotonic clock; replaceable so tests need not wait.
using ParserClock = double (*)();
double MonotonicSeconds();
void SetParserClock(ParserClock clock); // null restores the monotonic clock

constexpr int32_t kNoMemoryLimit = 128000000;

struct ParserResources {
    int32_t timeLimit;   // seconds, -1 = none
    int32_t timeLimitMs; // milliseconds, -1 = none: a budget finer than a second
    int32_t memoryLimit; // bytes, kNoMemoryLimit = none
    double timeWhenParseStarted;
    int64_t spaceInUseAtCreation;
    double whenCreated;
    double whenLastReset;
    double cumulativeTime;
    int32_t memoryExhausted;
    int32_t timerExpired;
};

ParserResources* CreateResources();
void DeleteResources(ParserResources* r);
void ResetResources(ParserResources* r);
void ResetSpace(ParserResources* r);
bool TimerExpired(ParserResources* r);
bool MemoryExhausted(ParserResources* r);
bool ResourcesExhausted(ParserResources* r);

// The budget of one request line, for all of its parses together: the clock
// starts now, and the parser may hold at most kRequestLineMemoryBytes more
// than it holds now. Long lines are cut short within it, so a request line
// never holds up the engine for long.
constexpr int32_t kRequestLineTimeMs = 700;
constexpr int32_t kRequestLineMemoryBytes = 64 * 1024 * 1024;
void StartRequestLineBudget(ParserResources* r);
