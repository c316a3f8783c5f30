#include "shell/RandomFloat.h"

#include <cstdint>
#include <random>

namespace
{
    // 2^-24: the top 24 bits of a draw become a float in [0, 1) without rounding.
    constexpr float UNIT_SCALE = 5.9604645e-8f;
}

float RandomFloat(float aMin, float aMax)
{
    static std::mt19937 generator(std::random_device{}());
    const float unit = static_cast<float>(static_cast<std::uint32_t>(generator()) >> 8) * UNIT_SCALE;
    return unit * (aMax - aMin) + aMin;
}
