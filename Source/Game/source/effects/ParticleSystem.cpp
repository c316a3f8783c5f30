#include "effects/ParticleSystem.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/TextureManager.h"

namespace
{
    float Blend(float aStart, float anEnd, float aFraction)
    {
        return aStart + (anEnd - aStart) * aFraction;
    }
}

ParticleSystem::ParticleSystem()
    : ParticleSystem(std::make_unique<ParticleEmitter>())
{
}

ParticleSystem::ParticleSystem(std::unique_ptr<ParticleEmitter> anEmitter)
    : myEmitter(std::move(anEmitter))
{
}

ParticleSystem::~ParticleSystem() = default;

void ParticleSystem::Init(const ParticleEmitterSettings& someSettings)
{
    mySettings = someSettings;
    if (!mySettings.mySpriteData.myColorTexture)
    {
        if (const Vra::Engine* const engine = Vra::Engine::GetInstance(); engine && engine->GetTextureManager())
        {
            mySettings.mySpriteData.myColorTexture = engine->GetTextureManager()->GetDefaultTexture();
        }
    }
    const std::size_t capacity = mySettings.myMaxCount > 0 ? static_cast<std::size_t>(mySettings.myMaxCount) : 0;
    myParticles.clear();
    myParticles.resize(capacity);
    myInstances.clear();
    myInstances.resize(capacity);
    myLiveCount = 0;
}

void ParticleSystem::SetPosition(float anX, float aY, float aZ)
{
    myPreviousPosition = myPosition;
    myPosition = { anX, aY, aZ };
}

Particle* ParticleSystem::AddParticle()
{
    if (myLiveCount >= myParticles.size())
    {
        return nullptr;
    }
    Particle& particle = myParticles[myLiveCount++];
    particle = Particle();
    particle.myIsAlive = true;
    return &particle;
}

void ParticleSystem::Update(float aDeltaTime)
{
    myEmitter->Emit(aDeltaTime, *this);
    const Vra::Vector3f velocityChange = mySettings.myAcceleration * aDeltaTime;

    std::size_t index = 0;
    while (index < myLiveCount)
    {
        Particle& particle = myParticles[index];
        particle.myAge += aDeltaTime;
        if (particle.myAge >= particle.myLifetime)
        {
            // The last live particle takes this place and is processed here in the same pass.
            particle = myParticles[myLiveCount - 1];
            myParticles[myLiveCount - 1].myIsAlive = false;
            --myLiveCount;
            continue;
        }
        const float fraction = particle.myAge / particle.myLifetime;
        particle.myRotation += particle.myAngularVelocity * aDeltaTime;
        particle.myPosition += particle.myVelocity * aDeltaTime;
        particle.myVelocity += velocityChange;
        const Vra::Color color{ Blend(particle.myStartColor.r, particle.myEndColor.r, fraction), Blend(particle.myStartColor.g, particle.myEndColor.g, fraction),
                                Blend(particle.myStartColor.b, particle.myEndColor.b, fraction), Blend(particle.myStartColor.a, particle.myEndColor.a, fraction) };
        const float size = Blend(particle.myStartSize, particle.myEndSize, fraction);

        Vra::Sprite2DInstanceData& instance = myInstances[index];
        instance.myPosition = { particle.myPosition.x, particle.myPosition.y };
        instance.mySize = { size, size };
        instance.myColor = color;
        instance.myRotation = particle.myRotation;
        ++index;
    }
}

void ParticleSystem::Render() const
{
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine || !engine->GetGraphicsEngine())
    {
        return;
    }
    Vra::SpriteBatchScope batch = engine->GetGraphicsEngine()->GetSpriteDrawer().BeginBatch(mySettings.mySpriteData);
    batch.Draw(myInstances.data(), myLiveCount);
}
