#include "effects/ParticleEmitter.h"

#include "effects/ParticleSystem.h"
#include "shell/RandomFloat.h"

void ParticleEmitter::Emit(float aDeltaTime, ParticleSystem& aSystem)
{
    const ParticleEmitterSettings& settings = aSystem.GetSettings();
    // No particles a second is none at all. Below that, or not a number, the timer would never
    // come back above zero and every update would spawn: such a rate spawns nothing either.
    if (!(settings.mySpawnRate > 0.0f))
    {
        return;
    }
    mySpawnTimer -= aDeltaTime;
    if (mySpawnTimer > 0.0f)
    {
        return;
    }
    mySpawnTimer += 1.0f / settings.mySpawnRate;

    Particle* const particle = aSystem.AddParticle();
    if (!particle)
    {
        return;
    }
    const Vra::Vector3f& origin = aSystem.GetPosition();
    particle->myPosition = { RandomFloat(origin.x - SPREAD_LEFT, origin.x + SPREAD_RIGHT), RandomFloat(origin.y - SPREAD_BELOW, origin.y + SPREAD_ABOVE), 0.0f };
    particle->myAge = 0.0f;
    particle->myLifetime = RandomFloat(settings.myLifetimeMin, settings.myLifetimeMax);
    particle->myVelocity = settings.myVelocity;
    particle->myStartColor = settings.myStartColor;
    particle->myEndColor = settings.myEndColor;
    particle->myRotation = RandomFloat(settings.myRotationMin, settings.myRotationMax);
    particle->myAngularVelocity = RandomFloat(settings.myAngularVelocityMin, settings.myAngularVelocityMax);
    particle->myStartSize = RandomFloat(settings.myStartSizeMin, settings.myStartSizeMax);
    particle->myEndSize = RandomFloat(settings.myEndSizeMin, settings.myEndSizeMax);
}
