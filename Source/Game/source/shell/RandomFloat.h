#pragma once
#include <cstdint>
#include <optional>

// A uniformly distributed float in [aMin, aMax), drawn from one generator that the whole game
// shares (particles, feather bursts, camera shake). Main thread only.
float RandomFloat(float aMin, float aMax);

// Starts the shared generator over from aSeed, and makes every seed that MakeRandomSeed hands out
// from now on aSeed too, so that a run of the game can be repeated exactly; without a seed, the
// seeds come from the random device again. Main thread only.
void SeedGameRandomness(std::optional<std::uint32_t> aSeed);

// A seed for a generator of its own (one that a loading task may draw from): from the random
// device, or the seed SeedGameRandomness fixed.
std::uint32_t MakeRandomSeed();
