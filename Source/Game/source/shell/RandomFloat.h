#pragma once

// A uniformly distributed float in [aMin, aMax), drawn from one generator that the whole game
// shares (particles, feather bursts, camera shake). Main thread only.
float RandomFloat(float aMin, float aMax);
