#pragma once
#include <cstdint>

namespace ContentTool
{
    // Repeatable pseudo-random numbers: every maker seeds its own, so the content is the same on every build.
    class Random
    {
    public:
        explicit Random(std::uint32_t aSeed);

        std::uint32_t Next();
        // Uniform in [aMin, aMax).
        float Range(float aMin, float aMax);
        int Below(int aCount);

    private:
        std::uint64_t myState;
    };

    // Smooth value noise in [0, 1] on a unit lattice; aSeed picks an independent field.
    float ValueNoise(float aX, float aY, std::uint32_t aSeed);
    // Sum of aOctaves noise layers, each twice the frequency and half the weight; in [0, 1].
    float Fbm(float aX, float aY, int aOctaves, std::uint32_t aSeed);
    // Value noise along one axis, periodic with aPeriod lattice cells (for columns that must wrap).
    float PeriodicNoise1D(float aX, int aPeriod, std::uint32_t aSeed);
    // Fbm that repeats every aPeriodX by aPeriodY lattice cells of its first octave (tiles that
    // must join their copies on every side); in [0, 1].
    float PeriodicFbm(float aX, float aY, int aPeriodX, int aPeriodY, int aOctaves, std::uint32_t aSeed);
}
