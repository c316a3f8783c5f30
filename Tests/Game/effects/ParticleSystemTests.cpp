#include "effects/ParticleSystem.h"

#include "../GameTestSupport.h"

#include "graphics/TextureManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

namespace
{
    // Makes the particles the test lists, one per emit, in order.
    class ListEmitter : public ParticleEmitter
    {
    public:
        explicit ListEmitter(std::vector<Particle> someParticles) : myParticles(std::move(someParticles)) {}

        void Emit(float, ParticleSystem& aSystem) override
        {
            if (myNext >= myParticles.size())
            {
                return;
            }
            if (Particle* const particle = aSystem.AddParticle())
            {
                *particle = myParticles[myNext++];
                particle->myIsAlive = true;
            }
        }

    private:
        std::vector<Particle> myParticles;
        std::size_t myNext = 0;
    };

    Particle MakeParticle(float aLifetime, float aSize, Vra::Vector3f aPosition = {}, Vra::Vector3f aVelocity = {})
    {
        Particle particle;
        particle.myLifetime = aLifetime;
        particle.myStartSize = aSize;
        particle.myEndSize = aSize;
        particle.myPosition = aPosition;
        particle.myVelocity = aVelocity;
        particle.myStartColor = { 1.0f, 1.0f, 1.0f, 1.0f };
        particle.myEndColor = { 1.0f, 1.0f, 1.0f, 1.0f };
        return particle;
    }

    ParticleEmitterSettings Capacity(std::int32_t aCount)
    {
        ParticleEmitterSettings settings;
        settings.myMaxCount = aCount;
        return settings;
    }

    TEST(ParticleSystem, NewSettingsHaveTheDocumentedDefaults)
    {
        const ParticleEmitterSettings settings;
        EXPECT_FLOAT_EQ(settings.mySpawnRate, 10.0f);
        EXPECT_FLOAT_EQ(settings.myLifetimeMin, 0.5f);
        EXPECT_FLOAT_EQ(settings.myLifetimeMax, 1.5f);
        EXPECT_EQ(settings.myStartColor, (Vra::Color{ 1.0f, 1.0f, 1.0f, 1.0f }));
        EXPECT_EQ(settings.myEndColor, (Vra::Color{ 1.0f, 1.0f, 1.0f, 0.0f }));
        EXPECT_FLOAT_EQ(settings.myStartSizeMin, 5.0f);
        EXPECT_FLOAT_EQ(settings.myStartSizeMax, 10.0f);
        EXPECT_FLOAT_EQ(settings.myEndSizeMin, 50.0f);
        EXPECT_FLOAT_EQ(settings.myEndSizeMax, 100.0f);
        EXPECT_EQ(settings.myMaxCount, 1000);
    }

    TEST(ParticleSystem, WithNoCapacityNothingIsEverSpawned)
    {
        ParticleSystem system;
        system.Init(Capacity(0));
        for (int frame = 0; frame < 100; ++frame)
        {
            system.Update(0.1f);
        }
        EXPECT_EQ(system.GetLiveCount(), 0u);
    }

    TEST(ParticleSystem, SpawnsAtTheRateButAtMostOneParticlePerUpdate)
    {
        ParticleEmitterSettings settings = Capacity(100);
        settings.myLifetimeMin = settings.myLifetimeMax = 100.0f;
        ParticleSystem system;
        system.Init(settings);
        system.Update(0.01f);
        EXPECT_EQ(system.GetLiveCount(), 1u);
        for (int frame = 0; frame < 8; ++frame)
        {
            system.Update(0.01f);
        }
        EXPECT_EQ(system.GetLiveCount(), 1u) << "the next is due 0.1 s after the first";
        system.Update(0.011f);
        EXPECT_EQ(system.GetLiveCount(), 2u);
        system.Update(5.0f);
        EXPECT_EQ(system.GetLiveCount(), 3u) << "a long frame still makes only one";
    }

    TEST(ParticleSystem, ARateOfZeroOrBelowOrNotANumberSpawnsNothing)
    {
        for (const float rate : { 0.0f, -0.0f, -1.0f, -1000.0f, std::numeric_limits<float>::quiet_NaN() })
        {
            ParticleEmitterSettings settings = Capacity(100);
            settings.mySpawnRate = rate;
            settings.myLifetimeMin = settings.myLifetimeMax = 100.0f;
            ParticleSystem system;
            system.Init(settings);
            for (int frame = 0; frame < 50; ++frame)
            {
                system.Update(0.1f);
            }
            EXPECT_EQ(system.GetLiveCount(), 0u) << rate;
        }
    }

    TEST(ParticleSystem, NewParticlesTakeTheirValuesFromTheSettingsAroundThePosition)
    {
        ParticleEmitterSettings settings = Capacity(50);
        settings.mySpawnRate = 1000.0f;
        settings.myVelocity = { 1.0f, -2.0f, 0.0f };
        settings.myRotationMin = 1.0f;
        settings.myRotationMax = 2.0f;
        settings.myAngularVelocityMin = 3.0f;
        settings.myAngularVelocityMax = 4.0f;
        settings.myLifetimeMin = 50.0f;
        settings.myLifetimeMax = 60.0f;
        ParticleSystem system;
        system.Init(settings);
        system.SetPosition(1000.0f, 500.0f, 7.0f);
        for (int frame = 0; frame < 50; ++frame)
        {
            system.Update(0.002f); // twice the spawn interval: one each update
        }
        ASSERT_EQ(system.GetLiveCount(), 50u);
        for (std::size_t index = 0; index < system.GetLiveCount(); ++index)
        {
            const Particle& particle = system.GetParticles()[index];
            // Where and how it started: the updates since have moved and turned it.
            const Vra::Vector3f start = particle.myPosition - particle.myVelocity * particle.myAge;
            EXPECT_GE(start.x, -1000.0f - 1e-3f);
            EXPECT_LT(start.x, 3000.0f + 1e-3f);
            EXPECT_GE(start.y, 300.0f - 1e-3f);
            EXPECT_LT(start.y, 1300.0f + 1e-3f);
            EXPECT_EQ(particle.myPosition.z, 0.0f);
            EXPECT_GE(particle.myLifetime, 50.0f);
            EXPECT_LT(particle.myLifetime, 60.0f);
            EXPECT_EQ(particle.myVelocity, settings.myVelocity);
            const float startRotation = particle.myRotation - particle.myAngularVelocity * particle.myAge;
            EXPECT_GE(startRotation, 1.0f - 1e-4f);
            EXPECT_LT(startRotation, 2.0f + 1e-4f);
            EXPECT_GE(particle.myAngularVelocity, 3.0f);
            EXPECT_LT(particle.myAngularVelocity, 4.0f);
            EXPECT_GE(particle.myStartSize, 5.0f);
            EXPECT_LT(particle.myStartSize, 10.0f);
            EXPECT_GE(particle.myEndSize, 50.0f);
            EXPECT_LT(particle.myEndSize, 100.0f);
            EXPECT_TRUE(particle.myIsAlive);
        }
    }

    TEST(ParticleSystem, ADeadParticleIsReplacedByTheLastInTheSameUpdate)
    {
        // Sizes tell the particles apart; the second dies first.
        ParticleSystem system(std::make_unique<ListEmitter>(std::vector<Particle>{ MakeParticle(10.0f, 1.0f), MakeParticle(0.15f, 2.0f), MakeParticle(10.0f, 3.0f), MakeParticle(0.05f, 4.0f) }));
        system.Init(Capacity(10));
        for (int frame = 0; frame < 4; ++frame)
        {
            system.Update(0.0f);
        }
        ASSERT_EQ(system.GetLiveCount(), 4u);

        // Particle 4 (last) and particle 2 die in this update: 4 moves into place 1's slot... and
        // is processed there again, dying in turn, so 3 ends up in place 1.
        system.Update(0.2f);
        ASSERT_EQ(system.GetLiveCount(), 2u);
        EXPECT_FLOAT_EQ(system.GetInstances()[0].mySize.x, 1.0f);
        EXPECT_FLOAT_EQ(system.GetInstances()[1].mySize.x, 3.0f);
        EXPECT_FLOAT_EQ(system.GetParticles()[1].myAge, 0.2f) << "the moved particle aged once";
    }

    TEST(ParticleSystem, ParticlesMoveTurnAndBlendOverTheirLifetime)
    {
        Particle particle = MakeParticle(2.0f, 0.0f, { 0.0f, 0.0f, 0.0f }, { 10.0f, 0.0f, 0.0f });
        particle.myStartSize = 10.0f;
        particle.myEndSize = 30.0f;
        particle.myStartColor = { 1.0f, 0.0f, 0.0f, 1.0f };
        particle.myEndColor = { 0.0f, 1.0f, 0.0f, 0.0f };
        particle.myAngularVelocity = 2.0f;
        ParticleEmitterSettings settings = Capacity(1);
        settings.myAcceleration = { 0.0f, -10.0f, 0.0f };
        ParticleSystem system(std::make_unique<ListEmitter>(std::vector<Particle>{ particle }));
        system.Init(settings);

        system.Update(0.5f);
        const Vra::Sprite2DInstanceData& instance = system.GetInstances()[0];
        // The position moves with the velocity from before this update's change.
        EXPECT_EQ(instance.myPosition, (Vra::Vector2f{ 5.0f, 0.0f }));
        EXPECT_FLOAT_EQ(system.GetParticles()[0].myVelocity.y, -5.0f);
        EXPECT_FLOAT_EQ(instance.myRotation, 1.0f);
        EXPECT_EQ(instance.mySize, (Vra::Vector2f{ 15.0f, 15.0f }));
        EXPECT_EQ(instance.myColor, (Vra::Color{ 0.75f, 0.25f, 0.0f, 0.75f }));

        system.Update(0.5f);
        EXPECT_EQ(instance.myPosition, (Vra::Vector2f{ 10.0f, -2.5f }));
        EXPECT_EQ(instance.mySize, (Vra::Vector2f{ 20.0f, 20.0f }));
        system.Update(1.0f);
        EXPECT_EQ(system.GetLiveCount(), 0u) << "gone once its age reaches its lifetime";
    }

    TEST(ParticleSystem, SetPositionKeepsThePreviousOne)
    {
        ParticleSystem system;
        system.SetPosition(1.0f, 2.0f, 3.0f);
        system.SetPosition(4.0f, 5.0f, 6.0f);
        EXPECT_EQ(system.GetPosition(), (Vra::Vector3f{ 4.0f, 5.0f, 6.0f }));
        EXPECT_EQ(system.GetPreviousPosition(), (Vra::Vector3f{ 1.0f, 2.0f, 3.0f }));
    }

    class ParticleDrawTest : public GameTestSupport::GameEngineTest
    {
    };

    TEST_F(ParticleDrawTest, WithoutATextureTheParticlesAreWhiteSquaresThatGrowAndFade)
    {
        // Default settings; one particle placed on screen with the default ranges' extremes.
        const ParticleEmitterSettings defaults;
        Particle particle = MakeParticle(1.0f, defaults.myStartSizeMax, { 40.0f, 50.0f, 0.0f });
        particle.myEndSize = defaults.myEndSizeMin;
        particle.myStartColor = defaults.myStartColor;
        particle.myEndColor = defaults.myEndColor;
        ParticleSystem system(std::make_unique<ListEmitter>(std::vector<Particle>{ particle }));
        system.Init(defaults);
        EXPECT_EQ(system.GetSettings().mySpriteData.myColorTexture, Vra::Engine::GetInstance()->GetTextureManager()->GetDefaultTexture());

        // The top-left corner lands on the position (screen y up); count the lit pixels of the
        // row just under it and their brightness.
        const auto measure = [&](int& aWidth, int& aLevel) {
            NextFrame();
            system.Render();
            const Screen screen = ReadScreen();
            aWidth = 0;
            aLevel = 0;
            for (int x = 0; x < 128; ++x)
            {
                const EngineTestSupport::Pixel pixel = screen.At(x, 48);
                if (pixel.r > 0)
                {
                    ++aWidth;
                    aLevel = std::max(aLevel, pixel.r);
                    EXPECT_EQ(pixel.r, pixel.g);
                    EXPECT_EQ(pixel.g, pixel.b) << "white";
                }
            }
        };
        int earlyWidth = 0;
        int earlyLevel = 0;
        system.Update(0.1f); // size 10 + (50 - 10) * 0.1 = 14, alpha 0.9
        measure(earlyWidth, earlyLevel);
        int lateWidth = 0;
        int lateLevel = 0;
        system.Update(0.6f); // size 38, alpha 0.3
        measure(lateWidth, lateLevel);

        EXPECT_NEAR(earlyWidth, 14, 1);
        EXPECT_NEAR(lateWidth, 38, 1);
        EXPECT_GT(earlyLevel, lateLevel) << "it fades";
        EXPECT_GT(lateLevel, 0);
    }
}
