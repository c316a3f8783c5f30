#include "shell/RandomFloat.h"

#include <atomic>
#include <random>

namespace
{
    // 2^-24: the top 24 bits of a draw become a float in [0, 1) without rounding.
    constexpr float UNIT_SCALE = 5.9604645e-8f;
    // Above any 32-bit seed: no seed is fixed.
    constexpr std::uint64_t NO_FIXED_SEED = 1ull << 32;

    std::atomic<std::uint64_t> ourFixedSeed{ NO_FIXED_SEED };

    std::mt19937& SharedGenerator()
    {
        static std::mt19937 generator(MakeRandomSeed());
        return generator;
    }
}

float RandomFloat(float aMin, float aMax)
{
    const float unit = static_cast<float>(static_cast<std::uint32_t>(SharedGenerator()()) >> 8) * UNIT_SCALE;
    return unit * (aMax - aMin) + aMin;
}

void SeedGameRandomness(std::optional<std::uint32_t> aSeed)
{
    ourFixedSeed = aSeed ? *aSeed : NO_FIXED_SEED;
    SharedGenerator().seed(MakeRandomSeed());
}

std::uint32_t MakeRandomSeed()
{
    const std::uint64_t fixed = ourFixedSeed.load();
    return fixed == NO_FIXED_SEED ? std::random_device{}() : static_cast<std::uint32_t>(fixed);
}
