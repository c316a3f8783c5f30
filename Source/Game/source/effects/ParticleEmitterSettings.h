#pragma once
#include "Math/Color.h"
#include "Math/Vector3.h"
#include "drawers/SpriteInstanceData.h"

#include <cstdint>

// How a particle system spawns and shapes its particles. The defaults are those of a new system.
struct ParticleEmitterSettings
{
    float mySpawnRate = 10.0f; // particles per second
    float myLifetimeMin = 0.5f; // seconds
    float myLifetimeMax = 1.5f;
    Vra::Vector3f myAcceleration; // units per second squared, the same for every particle
    Vra::Vector3f myVelocity;     // start velocity, the same for every particle
    Vra::Color myStartColor{ 1.0f, 1.0f, 1.0f, 1.0f };
    Vra::Color myEndColor{ 1.0f, 1.0f, 1.0f, 0.0f };
    float myRotationMin = 0.0f; // start angle, radians
    float myRotationMax = 0.0f;
    float myAngularVelocityMin = 0.0f; // radians per second
    float myAngularVelocityMax = 0.0f;
    float myStartSizeMin = 5.0f; // pixels
    float myStartSizeMax = 10.0f;
    float myEndSizeMin = 50.0f;
    float myEndSizeMax = 100.0f;
    // The particles' texture; without a colour texture they are white squares.
    Vra::SpriteSharedData mySpriteData;
    std::int32_t myMaxCount = 1000;
};
