#pragma once
#include "effects/Particle.h"
#include "effects/ParticleEmitter.h"
#include "effects/ParticleEmitterSettings.h"

#include "Math/Vector3.h"
#include "drawers/SpriteInstanceData.h"

#include <cstddef>
#include <memory>
#include <vector>

// A fixed-capacity pool of sprite particles drawn in one batch (the level's snow and cave dust).
// Particles 0 to live count - 1 are alive; a dead one is replaced by the last live one.
class ParticleSystem
{
public:
    // Default settings, no capacity until Init, the standard emitter.
    ParticleSystem();
    // The same with an emitter of the caller's.
    explicit ParticleSystem(std::unique_ptr<ParticleEmitter> anEmitter);
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;
    ParticleSystem(ParticleSystem&&) = default;
    ParticleSystem& operator=(ParticleSystem&&) = default;
    ~ParticleSystem();

    // Takes the settings (white squares without a colour texture) and makes room for max count
    // particles; none is alive.
    void Init(const ParticleEmitterSettings& someSettings);
    // The previous position takes the current one.
    void SetPosition(float anX, float aY, float aZ);
    // Emits, then ages, moves and blends every live particle.
    void Update(float aDeltaTime);
    // One sprite batch of the live particles, with the current graphics state.
    void Render() const;

    // For emitters: the next free particle, made alive and counted, or null when all are in use.
    Particle* AddParticle();

    const ParticleEmitterSettings& GetSettings() const { return mySettings; }
    const Vra::Vector3f& GetPosition() const { return myPosition; }
    const Vra::Vector3f& GetPreviousPosition() const { return myPreviousPosition; }
    std::size_t GetLiveCount() const { return myLiveCount; }
    std::size_t GetCapacity() const { return myParticles.size(); }
    const std::vector<Particle>& GetParticles() const { return myParticles; }
    const std::vector<Vra::Sprite2DInstanceData>& GetInstances() const { return myInstances; }

private:
    std::vector<Particle> myParticles;
    std::vector<Vra::Sprite2DInstanceData> myInstances;
    ParticleEmitterSettings mySettings;
    std::unique_ptr<ParticleEmitter> myEmitter;
    std::size_t myLiveCount = 0;
    Vra::Vector3f myPosition;
    Vra::Vector3f myPreviousPosition;
};
