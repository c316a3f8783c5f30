#include "Noise.h"

#include <cmath>

namespace ContentTool
{
    namespace
    {
        std::uint32_t Hash(std::int32_t aX, std::int32_t aY, std::uint32_t aSeed)
        {
            std::uint32_t h = static_cast<std::uint32_t>(aX) * 0x8da6b343u ^ static_cast<std::uint32_t>(aY) * 0xd8163841u ^ aSeed * 0xcb1ab31fu;
            h ^= h >> 13;
            h *= 0x5bd1e995u;
            h ^= h >> 15;
            return h;
        }

        float Lattice(std::int32_t aX, std::int32_t aY, std::uint32_t aSeed)
        {
            return (Hash(aX, aY, aSeed) & 0xffffff) / 16777215.0f;
        }

        float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

        // Smooth interpolation at (aX, aY) between the values aCorner(x, y) of the four lattice
        // points around it.
        template <class Corner>
        float Interpolate(float aX, float aY, Corner&& aCorner)
        {
            const float fx = std::floor(aX);
            const float fy = std::floor(aY);
            const auto ix = static_cast<std::int32_t>(fx);
            const auto iy = static_cast<std::int32_t>(fy);
            const float tx = Fade(aX - fx);
            const float ty = Fade(aY - fy);
            const float top = aCorner(ix, iy) + (aCorner(ix + 1, iy) - aCorner(ix, iy)) * tx;
            const float bottom = aCorner(ix, iy + 1) + (aCorner(ix + 1, iy + 1) - aCorner(ix, iy + 1)) * tx;
            return top + (bottom - top) * ty;
        }
    }

    Random::Random(std::uint32_t aSeed)
        : myState(0x9e3779b97f4a7c15ull ^ (static_cast<std::uint64_t>(aSeed) * 0xbf58476d1ce4e5b9ull))
    {
        Next();
    }

    std::uint32_t Random::Next()
    {
        // SplitMix64.
        myState += 0x9e3779b97f4a7c15ull;
        std::uint64_t z = myState;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
    }

    float Random::Range(float aMin, float aMax)
    {
        return aMin + (aMax - aMin) * ((Next() >> 8) / 16777216.0f);
    }

    int Random::Below(int aCount)
    {
        return static_cast<int>(Next() % static_cast<std::uint32_t>(aCount));
    }

    float ValueNoise(float aX, float aY, std::uint32_t aSeed)
    {
        return Interpolate(aX, aY, [aSeed](std::int32_t aCellX, std::int32_t aCellY) { return Lattice(aCellX, aCellY, aSeed); });
    }

    float Fbm(float aX, float aY, int aOctaves, std::uint32_t aSeed)
    {
        float sum = 0.0f;
        float weight = 0.5f;
        float total = 0.0f;
        for (int octave = 0; octave < aOctaves; ++octave)
        {
            sum += ValueNoise(aX, aY, aSeed + octave * 101u) * weight;
            total += weight;
            aX *= 2.0f;
            aY *= 2.0f;
            weight *= 0.5f;
        }
        return sum / total;
    }

    float PeriodicNoise1D(float aX, int aPeriod, std::uint32_t aSeed)
    {
        const float fx = std::floor(aX);
        const auto ix = static_cast<std::int32_t>(fx);
        const auto wrap = [aPeriod](std::int32_t aCell) { return ((aCell % aPeriod) + aPeriod) % aPeriod; };
        const float t = Fade(aX - fx);
        const float a = Lattice(wrap(ix), 0, aSeed);
        const float b = Lattice(wrap(ix + 1), 0, aSeed);
        return a + (b - a) * t;
    }

    float PeriodicFbm(float aX, float aY, int aPeriodX, int aPeriodY, int aOctaves, std::uint32_t aSeed)
    {
        const auto wrap = [](std::int32_t aCell, int aPeriod) { return ((aCell % aPeriod) + aPeriod) % aPeriod; };
        float sum = 0.0f;
        float weight = 0.5f;
        float total = 0.0f;
        for (int octave = 0; octave < aOctaves; ++octave)
        {
            const std::uint32_t seed = aSeed + octave * 101u;
            sum += Interpolate(aX, aY, [&](std::int32_t aCellX, std::int32_t aCellY) {
                       return Lattice(wrap(aCellX, aPeriodX), wrap(aCellY, aPeriodY), seed);
                   }) *
                   weight;
            total += weight;
            aX *= 2.0f;
            aY *= 2.0f;
            aPeriodX *= 2;
            aPeriodY *= 2;
            weight *= 0.5f;
        }
        return sum / total;
    }
}
