#pragma once

class ParticleSystem;

// Decides when and where a system's new particles appear. This one spawns at the settings' rate,
// at most one particle per call, scattered around the system's position; a rate that is not
// above 0 spawns nothing.
class ParticleEmitter
{
public:
    // The spread of new particles around the system's position, in units.
    static constexpr float SPREAD_LEFT = 2000.0f;
    static constexpr float SPREAD_RIGHT = 2000.0f;
    static constexpr float SPREAD_BELOW = 200.0f;
    static constexpr float SPREAD_ABOVE = 800.0f;

    virtual ~ParticleEmitter() = default;

    virtual void Emit(float aDeltaTime, ParticleSystem& aSystem);

protected:
    float mySpawnTimer = 0.0f;
};
