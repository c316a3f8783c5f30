#include "level/SnowfallVfx.h"

#include "Engine.h"
#include "graphics/TextureManager.h"

#include <array>
#include <string>

namespace
{
    // One row of the emitter table; acceleration z and velocity z are 0 for every system.
    struct EmitterRow
    {
        float mySpawnRate;
        float myLifetimeMin, myLifetimeMax;
        float myAccelerationX, myAccelerationY;
        float myVelocityX, myVelocityY;
        float myRotationMin, myRotationMax;
        float myAngularVelocityMin, myAngularVelocityMax;
        float myStartSizeMin, myStartSizeMax;
        float myEndSizeMin, myEndSizeMax;
        std::int32_t myMaxCount;
    };

    constexpr std::array<EmitterRow, SnowfallVfx::SYSTEM_COUNT> SNOW_ROWS{ {
        { 3.0f, 3.5f, 6.0f, 0.0f, -5.0f, -1.0f, -50.0f, -2.1f, 2.1f, -0.3f, 0.1f, 50.0f, 85.0f, 100.0f, 120.0f, 100 },
        { 5.0f, 1.5f, 3.0f, 8.0f, -5.0f, -1.0f, -50.0f, -0.1f, 2.1f, -0.1f, 0.1f, 50.0f, 100.0f, 35.0f, 120.0f, 1000 },
        { 5.0f, 4.5f, 5.0f, 2.0f, -5.0f, -1.0f, -50.0f, -0.1f, 3.1f, -0.4f, 0.4f, 5.0f, 30.0f, 30.0f, 40.0f, 1000 },
        { 5.0f, 2.5f, 6.0f, 1.0f, -5.0f, -1.0f, -50.0f, -0.1f, 3.1f, -0.4f, 0.4f, 5.0f, 10.0f, 70.0f, 90.0f, 100 },
        { 15.0f, 3.5f, 8.0f, 3.0f, -5.0f, -1.0f, -50.0f, -0.1f, 3.1f, -0.4f, 0.4f, 5.0f, 10.0f, 45.0f, 60.0f, 1000 },
        { 15.0f, 2.5f, 7.0f, 1.0f, -5.0f, -1.0f, -50.0f, -0.1f, 3.1f, -0.4f, 0.4f, 5.0f, 10.0f, 25.0f, 50.0f, 1000 },
    } };

    constexpr std::array<EmitterRow, SnowfallVfx::SYSTEM_COUNT> CAVE_ROWS{ {
        { 1.5f, 2.0f, 4.0f, 0.0f, 0.0f, -15.0f, 7.0f, -2.1f, 2.1f, -0.3f, 0.1f, 50.0f, 85.0f, 100.0f, 120.0f, 100 },
        { 1.5f, 6.0f, 12.0f, 0.0f, 0.0f, 11.0f, 15.0f, -0.1f, 2.1f, -0.1f, 0.1f, 50.0f, 100.0f, 35.0f, 120.0f, 1000 },
        { 1.5f, 10.0f, 16.0f, 0.0f, 0.0f, 15.0f, -15.0f, -0.1f, 3.1f, -0.4f, 0.4f, 5.0f, 30.0f, 30.0f, 40.0f, 1000 },
        { 1.5f, 2.0f, 4.0f, 0.0f, 0.0f, -15.0f, 11.0f, -0.1f, 3.1f, -0.4f, 0.4f, 5.0f, 10.0f, 70.0f, 90.0f, 100 },
        { 1.5f, 2.0f, 8.0f, 0.0f, 0.0f, -31.0f, -11.0f, -0.1f, 3.1f, -0.4f, 0.4f, 5.0f, 10.0f, 45.0f, 60.0f, 1000 },
        { 1.5f, 6.0f, 8.0f, 0.0f, 0.0f, 7.0f, 31.0f, -0.1f, 3.1f, -0.4f, 0.4f, 5.0f, 10.0f, 25.0f, 50.0f, 1000 },
    } };

    const Vra::Color SNOW_START{ 1.0f, 1.0f, 1.0f, 1.0f };
    const Vra::Color SNOW_END{ 1.0f, 1.0f, 1.0f, 0.0f };
    const Vra::Color CAVE_START{ 0.7f, 0.7f, 0.9f, 0.9f };
    const Vra::Color CAVE_END{ 0.7f, 0.7f, 0.9f, 0.01f };

    ParticleEmitterSettings MakeSettings(const EmitterRow& aRow, const Vra::Color& aStart, const Vra::Color& anEnd, int aFlake)
    {
        ParticleEmitterSettings settings;
        settings.mySpawnRate = aRow.mySpawnRate;
        settings.myLifetimeMin = aRow.myLifetimeMin;
        settings.myLifetimeMax = aRow.myLifetimeMax;
        settings.myAcceleration = { aRow.myAccelerationX, aRow.myAccelerationY, 0.0f };
        settings.myVelocity = { aRow.myVelocityX, aRow.myVelocityY, 0.0f };
        settings.myStartColor = aStart;
        settings.myEndColor = anEnd;
        settings.myRotationMin = aRow.myRotationMin;
        settings.myRotationMax = aRow.myRotationMax;
        settings.myAngularVelocityMin = aRow.myAngularVelocityMin;
        settings.myAngularVelocityMax = aRow.myAngularVelocityMax;
        settings.myStartSizeMin = aRow.myStartSizeMin;
        settings.myStartSizeMax = aRow.myStartSizeMax;
        settings.myEndSizeMin = aRow.myEndSizeMin;
        settings.myEndSizeMax = aRow.myEndSizeMax;
        settings.myMaxCount = aRow.myMaxCount;
        if (Vra::Engine* const engine = Vra::Engine::GetInstance(); engine && engine->GetTextureManager())
        {
            const std::string texture = "sprites/S_VFX_SnowFlake_00" + std::to_string(aFlake) + ".dds";
            settings.mySpriteData.myColorTexture = engine->GetTextureManager()->GetTexture(texture.c_str(), Vra::TextureSrgbMode::ForceSrgb);
        }
        return settings;
    }
}

void SnowfallVfx::CreateSnow()
{
    Create(false);
}

void SnowfallVfx::CreateCaveParticles()
{
    Create(true);
}

void SnowfallVfx::Create(bool anIsCave)
{
    const auto& rows = anIsCave ? CAVE_ROWS : SNOW_ROWS;
    const Vra::Color& start = anIsCave ? CAVE_START : SNOW_START;
    const Vra::Color& end = anIsCave ? CAVE_END : SNOW_END;
    mySystems.clear();
    mySystems.resize(SYSTEM_COUNT);
    for (int index = 0; index < SYSTEM_COUNT; ++index)
    {
        mySystems[static_cast<std::size_t>(index)].Init(MakeSettings(rows[static_cast<std::size_t>(index)], start, end, index + 1));
    }
}

void SnowfallVfx::Update(float aDeltaTime)
{
    if (!myIsActive)
    {
        return;
    }
    for (ParticleSystem& system : mySystems)
    {
        system.Update(aDeltaTime);
    }
}

void SnowfallVfx::SetPosition(const CommonUtilities::Vector3f& aPosition)
{
    for (ParticleSystem& system : mySystems)
    {
        system.SetPosition(aPosition.x, aPosition.y, aPosition.z);
    }
}

void SnowfallVfx::Render() const
{
    if (!myIsActive)
    {
        return;
    }
    for (const ParticleSystem& system : mySystems)
    {
        system.Render();
    }
}
