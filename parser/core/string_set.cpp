#include "parser/core/string_set.h"

#include "parser/core/parser_error.h"
#include "parser/core/parser_memory.h"

#include <cstring>
#include <new>

namespace {

bool IsOddPrime(unsigned candidate)
{
    for (unsigned d = 3; d * d <= candidate; d += 2)
        if (candidate % d == 0)
            return false;
    return true;
}

char** AllocTable(int size)
{
    char** t = static_cast<char**>(ParserAlloc(sizeof(char*) * size));
    if (!t)
        throw std::bad_alloc();
    for (int i = 0; i < size; ++i)
        t[i] = nullptr;
    return t;
}

unsigned Probe(const char* text, int size)
{
    unsigned h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        h = static_cast<unsigned>((256ull * h + *p) % static_cast<unsigned>(size));
    return h;
}

unsigned Stride(const char* text, int size)
{
    unsigned h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        h = static_cast<unsigned>((17ull * h + *p) % static_cast<unsigned>(size));
    return h ? h : 1;
}

int FindSlot(char** table, int size, const char* text)
{
    unsigned h = Probe(text, size);
    unsigned step = Stride(text, size);
    // The size is prime and the stride below it, so the probe visits every slot;
    // the load factor stays under 3/4, so an empty slot is always found.
    for (;;) {
        if (!table[h] || std::strcmp(table[h], text) == 0)
            return static_cast<int>(h);
        h = (h + step) % static_cast<unsigned>(size);
    }
}

void Grow(StringSet* set)
{
    int newSize = StringSetPrime(2 * set->size);
    char** table = AllocTable(newSize);
    for (int i = 0; i < set->size; ++i)
        if (set->table[i])
            table[FindSlot(table, newSize, set->table[i])] = set->table[i];
    ParserFree(set->table, sizeof(char*) * set->size);
    set->table = table;
    set->size = newSize;
}

} // namespace

int StringSetPrime(int n)
{
    unsigned candidate = static_cast<unsigned>(n) | 1u;
    while (!IsOddPrime(candidate))
        candidate += 2;
    return static_cast<int>(candidate);
}

StringSet* CreateStringSet()
{
    StringSet* set = static_cast<StringSet*>(ParserAlloc(sizeof(StringSet)));
    if (!set)
        throw std::bad_alloc();
    set->size = StringSetPrime(100);
    set->count = 0;
    set->table = AllocTable(set->size);
    return set;
}

void DeleteStringSet(StringSet* set)
{
    if (!set)
        return;
    for (int i = 0; i < set->size; ++i)
        if (set->table[i])
            ParserFree(set->table[i], std::strlen(set->table[i]) + 1);
    ParserFree(set->table, sizeof(char*) * set->size);
    ParserFree(set, sizeof(StringSet));
}

const char* Intern(StringSet* set, const char* text)
{
    if (!text)
        ThrowParserLimit("null text interned");
    int slot = FindSlot(set->table, set->size, text);
    if (set->table[slot])
        return set->table[slot];
    size_t len = std::strlen(text) + 1;
    char* copy = static_cast<char*>(ParserAlloc(len));
    if (!copy)
        throw std::bad_alloc();
    std::memcpy(copy, text, len);
    set->table[slot] = copy;
    set->count++;
    if (4 * set->count > 3 * set->size)
        Grow(set);
    return copy;
}

const char* FindInterned(const StringSet* set, const char* text)
{
    if (!text)
        return nullptr;
    int slot = FindSlot(set->table, set->size, text);
    return set->table[slot];
}
