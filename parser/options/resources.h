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
