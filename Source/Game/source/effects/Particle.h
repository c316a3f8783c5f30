#pragma once
#include "Math/Color.h"
#include "Math/Vector3.h"

// One particle of a ParticleSystem: it moves with the system's constant acceleration, turns, and
// blends its colour and size from start to end over its lifetime.
struct Particle
{
    float myAge = 0.0f;
    float myLifetime = 0.0f;
    Vra::Vector3f myPosition; // z stays 0
    Vra::Vector3f myVelocity;
    Vra::Color myStartColor;
    Vra::Color myEndColor;
    float myAngularVelocity = 0.0f;
    float myRotation = 0.0f;
    float myStartSize = 0.0f;
    float myEndSize = 0.0f;
    bool myIsAlive = false;
};
