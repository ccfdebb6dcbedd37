// The units of parsing: connectors, disjuncts and links.
#pragma once
#include <cstdint>

class ParserArena;

constexpr int kMaxSentenceWords = 250;
constexpr int kMaxWordLength = 500;
constexpr int kMaxLinks = 2 * kMaxSentenceWords - 3; // 497
constexpr uint8_t kDeadConnectorWord = 251;
constexpr uint8_t kUnlimitedLength = 255;

struct Connector {
    int16_t label;       // -1 until labelled; two connectors link only with equal labels
    uint8_t word;        // nearest word it may attach to
    uint8_t lengthLimit; // largest effective distance it may span
    uint8_t priority;    // 0 plain, 1 up, 2 down
    uint8_t multi;       // may take several links
    Connector* next;
    const char* text;    // upper-case type letters, then subscript characters
    uint32_t id;         // stable identity for the count and parse-set hashes
    uint32_t matchHash;  // ConnectorMatchHash, filled in by the passes that bucket connectors by it
};

struct Disjunct {
    Disjunct* next;
    int16_t cost;
    uint8_t marked;
    const char* text; // the word text it was made for
    Connector* left;  // first element links farthest from the word
    Connector* right;
};

struct Link {
    int l, r;
    Connector* lc;
    Connector* rc;
    const char* name;
};

Connector* NewConnector(ParserArena& arena, const char* text, bool multi);
Connector* CopyConnectorList(ParserArena& arena, const Connector* c);
Disjunct* CopyDisjunct(ParserArena& arena, const Disjunct* d);
Disjunct* CatenateDisjuncts(Disjunct* a, Disjunct* b);
int CountDisjuncts(const Disjunct* d);
unsigned NextPowerOfTwo(unsigned n);
// Keeps the disjuncts whose `marked` flag is set (the kept list comes out
// reversed); the others are dropped with the sentence's disjunct memory.
Disjunct* KeepMarkedDisjuncts(Disjunct* list);
inline bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
