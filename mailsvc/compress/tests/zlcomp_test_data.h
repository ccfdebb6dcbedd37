// Inputs shared by the compressor's tests.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "zlcomp_core.h"

namespace zlcomp_test {

inline zlcomp::Bytes FromString(const std::string& s) { return zlcomp::Bytes(s.begin(), s.end()); }

inline zlcomp::Bytes RandomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    zlcomp::Bytes b(n);
    for (auto& c : b)
        c = static_cast<uint8_t>(rng());
    return b;
}

// Bytes from a small alphabet: long repeats, but few runs of one byte.
inline zlcomp::Bytes RandomText(size_t n, uint32_t seed, int alphabet)
{
    std::mt19937 rng(seed);
    zlcomp::Bytes b(n);
    for (auto& c : b)
        c = static_cast<uint8_t>('a' + rng() % alphabet);
    return b;
}

// Sentences made of a few words, the kind of text grammar files hold.
inline zlcomp::Bytes WordText(size_t n, uint32_t seed)
{
    static const char* const words[] = {"the ", "mail ", "assistant ", "reads ", "every ", "message ",
                                        "and ", "answers ", "with ", "a ", "link ", "grammar.\r\n"};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n)
        s += words[rng() % (sizeof words / sizeof *words)];
    s.resize(n);
    return FromString(s);
}

inline zlcomp::Bytes Repeat(size_t n, uint8_t c) { return zlcomp::Bytes(n, c); }

inline zlcomp::Bytes Concat(zlcomp::Bytes a, const zlcomp::Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline zlcomp::Bytes AllByteValues(int repeats)
{
    zlcomp::Bytes b;
    for (int r = 0; r < repeats; ++r)
        for (int c = 0; c < 256; ++c)
            b.push_back(static_cast<uint8_t>(r % 2 ? 255 - c : c));
    return b;
}

} // namespace zlcomp_test
