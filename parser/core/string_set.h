// Interned texts: equal texts share one copy and compare by pointer.
#pragma once
#include <cstddef>

struct StringSet {
    int size;
    int count;
    char** table;
};

StringSet* CreateStringSet();
void DeleteStringSet(StringSet* set);
// The set's copy of text, added when absent. A null text is a fatal error.
const char* Intern(StringSet* set, const char* text);
const char* FindInterned(const StringSet* set, const char* text);
// The first odd prime not below n with its lowest bit set.
int StringSetPrime(int n);
