// The random table that seeds every hash of the parser, and the linkage sampler.
#pragma once
#include <cstdint>

// 256 numbers from a fixed seed, the same on every platform and in every run.
const uint32_t* RandomTable();
void FillRandomTable();

// The sampler that spreads the linkages a parse looks at. One per sentence; it
// refuses nesting (a second Seed before End is a fatal error).
class RandomSampler {
public:
    void Seed(int32_t s);
    int32_t Next();
    void End();
    bool InUse() const { return m_inUse; }

private:
    int32_t m_x = 0, m_y = 0, m_c = 0;
    bool m_inUse = false;
};

// Ends the sampler when the scope is left, also by an exception, so that a
// failure between seeding and ending never leaves it "in use".
class SamplerScope {
public:
    SamplerScope(RandomSampler& sampler, int32_t seed) : m_sampler(sampler) { sampler.Seed(seed); }
    ~SamplerScope()
    {
        if (m_sampler.InUse())
            m_sampler.End();
    }
    SamplerScope(const SamplerScope&) = delete;
    SamplerScope& operator=(const SamplerScope&) = delete;

private:
    RandomSampler& m_sampler;
};
