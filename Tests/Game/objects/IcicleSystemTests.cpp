#include "../player/PlayerTestSupport.h"

#include "objects/IcicleSystem.h"

#include "properties/CopyOnWriteWrapper.h"
#include "properties/PropertyType.h"
#include "properties/PropertyTypes.h"
#include "properties/SceneSprite.h"
#include "scene/SceneObject.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    using namespace PlayerTestSupport;

    constexpr float TIME_STEP = 1.0f / 128.0f;

    struct IcicleSettings
    {
        float myDropDelay = 0.5f;
        float myGravity = 2000.0f;
        Vra::Vector2<float> myTrigger{ 2.0f, 4.0f };
        Vra::Vector2<float> myHitbox{ 0.3f, 1.0f };
    };

    template <typename T>
    Vra::PropertyDefinition Property(std::string_view aName, const T& aValue)
    {
        Vra::PropertyDefinition property;
        property.myName = Vra::StringRegistry::RegisterOrGet(aName);
        property.myType = &Vra::PropertyType<T>::Get();
        property.myValue = Vra::PropertyValue::Make(aValue);
        return property;
    }

    void LoadIcicle(IcicleSystem& aSystem, const Vector3f& aTop, const IcicleSettings& someSettings = {})
    {
        Vra::SceneObject object;
        object.myName = "O_FallingIce";
        object.myTranslation = { aTop.x, aTop.y, aTop.z };
        object.myScale = { 2.0f, 3.0f, 1.0f };
        Vra::CopyOnWriteWrapper<Vra::SceneSprite> sprite;
        sprite.GetMutable().mySize = { 50.0f, 100.0f };
        sprite.GetMutable().myPivot = { 0.5f, 0.0f };
        aSystem.Load(object, { Property("DropDelay", someSettings.myDropDelay), Property("Gravity", someSettings.myGravity),
                               Property("Trigger", someSettings.myTrigger), Property("Hitbox", someSettings.myHitbox),
                               Property("Sprite", sprite) });
    }

    // The bird with its camera target point at aTarget.
    void PlaceBird(PlayerWorld& aWorld, const Vector3f& aTarget)
    {
        aWorld.myPlayer.SetPosition(aTarget - Vector3f(0.0f, 40.0f, 0.0f));
    }

    const Vector3f FAR_AWAY{ 5000.0f, 5000.0f, 50.0f };

    TEST(IcicleSystem, LoadReadsTheSettingsInHundredUnitSteps)
    {
        IcicleSystem icicles;
        LoadIcicle(icicles, { 10.0f, 500.0f, 0.0f });
        ASSERT_EQ(icicles.GetCount(), 1u);
        EXPECT_FLOAT_EQ(icicles.GetDropDelay(), 0.5f);
        EXPECT_FLOAT_EQ(icicles.GetGravity(), 2000.0f);
        EXPECT_FLOAT_EQ(icicles.GetTriggerHalfWidth(), 100.0f);
        EXPECT_FLOAT_EQ(icicles.GetTriggerHeight(), 400.0f);
        EXPECT_FLOAT_EQ(icicles.GetHitHalfWidth(), 30.0f);
        EXPECT_FLOAT_EQ(icicles.GetHitHeight(), 100.0f);
        EXPECT_FALSE(icicles.IsTriggered(0));
        EXPECT_FALSE(icicles.IsFalling(0));
        EXPECT_FLOAT_EQ(icicles.GetTimer(0), 0.0f);
        EXPECT_FLOAT_EQ(icicles.GetVelocity(0), 0.0f);
        // The sprite, 100 by 300 after the object's scale, hangs from its top centre.
        const Vra::Matrix4x4& transform = icicles.GetSprite(0).myTransform;
        EXPECT_FLOAT_EQ(transform(1, 1), 100.0f);
        EXPECT_FLOAT_EQ(transform(2, 2), 300.0f);
        EXPECT_FLOAT_EQ(transform(4, 1), 10.0f - 50.0f);
        EXPECT_FLOAT_EQ(transform(4, 2), 500.0f);
    }

    TEST(IcicleSystem, ShakesOnceTheBirdComesUnderAndFallsEvenIfItLeaves)
    {
        PlayerWorld world;
        IcicleSystem icicles;
        LoadIcicle(icicles, { 0.0f, 500.0f, 0.0f });
        float time = 0.0f;

        // The reach box spans y 100 to 500; 50 units below it is still out of reach.
        PlaceBird(world, { 0.0f, 49.0f, 50.0f });
        icicles.Update(world.myPlayer, TIME_STEP, time += TIME_STEP);
        EXPECT_FALSE(icicles.IsTriggered(0));
        PlaceBird(world, { 0.0f, 50.0f, 50.0f });
        icicles.Update(world.myPlayer, TIME_STEP, time += TIME_STEP);
        ASSERT_TRUE(icicles.IsTriggered(0));
        EXPECT_FLOAT_EQ(icicles.GetTimer(0), 0.5f);

        PlaceBird(world, FAR_AWAY);
        int shakingFrames = 0;
        bool shook = false;
        while (icicles.IsTriggered(0) && shakingFrames < 1000)
        {
            icicles.Update(world.myPlayer, TIME_STEP, time += TIME_STEP);
            ++shakingFrames;
            shook = shook || std::abs(icicles.GetShakeAngle(0)) > 0.1f;
            EXPECT_LE(std::abs(icicles.GetShakeAngle(0)), 10.0f * 0.5f);
        }
        EXPECT_TRUE(shook);
        EXPECT_EQ(shakingFrames, static_cast<int>(0.5f / TIME_STEP) + 1);
        ASSERT_TRUE(icicles.IsFalling(0));
        EXPECT_FLOAT_EQ(icicles.GetTimer(0), 5.0f);
        EXPECT_FLOAT_EQ(icicles.GetShakeAngle(0), 0.0f);
        const Vra::Matrix4x4& transform = icicles.GetSprite(0).myTransform;
        EXPECT_FLOAT_EQ(transform(1, 1), 100.0f) << "upright again, its size kept";
        EXPECT_NEAR(transform(1, 2), 0.0f, 1e-5f);
    }

    TEST(IcicleSystem, NoDelayFallsOnTheFrameAfterTheTrigger)
    {
        PlayerWorld world;
        IcicleSystem icicles;
        IcicleSettings settings;
        settings.myDropDelay = 0.0f;
        LoadIcicle(icicles, { 0.0f, 500.0f, 0.0f }, settings);
        PlaceBird(world, { 0.0f, 300.0f, 50.0f });
        icicles.Update(world.myPlayer, TIME_STEP, 1.0f);
        EXPECT_TRUE(icicles.IsTriggered(0));
        PlaceBird(world, FAR_AWAY);
        icicles.Update(world.myPlayer, TIME_STEP, 1.1f);
        EXPECT_TRUE(icicles.IsFalling(0));
        EXPECT_FLOAT_EQ(icicles.GetPosition(0).y, 500.0f);
        icicles.Update(world.myPlayer, TIME_STEP, 1.2f);
        EXPECT_LT(icicles.GetPosition(0).y, 500.0f);
    }

    TEST(IcicleSystem, AFallThatMissesEverythingBreaksAfterFiveSeconds)
    {
        AudioProbe audio({ "Icicle_Break" });
        PlayerWorld world;
        IcicleSystem icicles;
        IcicleSettings settings;
        settings.myDropDelay = 0.0f;
        settings.myGravity = 10.0f;
        LoadIcicle(icicles, { 0.0f, 500.0f, 0.0f }, settings);
        PlaceBird(world, { 0.0f, 300.0f, 50.0f });
        icicles.Update(world.myPlayer, TIME_STEP, 0.0f);
        PlaceBird(world, FAR_AWAY);
        icicles.Update(world.myPlayer, TIME_STEP, 0.0f);
        ASSERT_TRUE(icicles.IsFalling(0));
        int frames = 0;
        while (icicles.GetCount() == 1 && frames < 2000)
        {
            icicles.Update(world.myPlayer, TIME_STEP, 0.0f);
            ++frames;
        }
        EXPECT_EQ(frames, static_cast<int>(5.0f / TIME_STEP));
        EXPECT_EQ(icicles.GetCount(), 0u);
        EXPECT_FALSE(world.myPlayer.IsHazardHit());
        EXPECT_EQ(audio.Plays("Icicle_Break"), 1u);
    }

    TEST(IcicleSystem, FallingIcicleKillsTheBirdItHitsAndBreaks)
    {
        PlayerWorld world;
        IcicleSystem icicles;
        LoadIcicle(icicles, { 0.0f, 500.0f, 0.0f });
        PlaceBird(world, { 0.0f, 200.0f, 50.0f });
        for (int frame = 0; frame < 1000 && icicles.GetCount() == 1; ++frame)
        {
            icicles.Update(world.myPlayer, TIME_STEP, 0.0f);
        }
        EXPECT_EQ(icicles.GetCount(), 0u);
        EXPECT_TRUE(world.myPlayer.IsHazardHit());
    }

    TEST(IcicleSystem, FallingIcicleBreaksOnAWall)
    {
        PlayerWorld world;
        CollisionSet walls;
        walls.SetWallBoxes({ { { -500.0f, -100.0f, 0.0f }, { 500.0f, 0.0f, 100.0f } } });
        IcicleSystem icicles;
        icicles.SetCollisionSet(&walls);
        IcicleSettings settings;
        settings.myDropDelay = 0.0f;
        LoadIcicle(icicles, { 300.0f, 500.0f, 0.0f }, settings);
        // Triggered from the side, then the bird goes away.
        PlaceBird(world, { 300.0f, 400.0f, 50.0f });
        icicles.Update(world.myPlayer, TIME_STEP, 0.0f);
        PlaceBird(world, FAR_AWAY);
        float lowestTip = 1000.0f;
        for (int frame = 0; frame < 1000 && icicles.GetCount() == 1; ++frame)
        {
            lowestTip = icicles.GetPosition(0).y - icicles.GetHitHeight();
            icicles.Update(world.myPlayer, TIME_STEP, 0.0f);
        }
        EXPECT_EQ(icicles.GetCount(), 0u);
        EXPECT_FALSE(world.myPlayer.IsHazardHit());
        // Its tip came down to the wall's top, no further than one step past it.
        EXPECT_LT(lowestTip, 60.0f);
        EXPECT_GT(lowestTip, -20.0f);
    }

    struct RemoveCase
    {
        std::size_t myRemoved;
        std::vector<float> myExpectedX;
    };

    class IcicleRemoveTest : public testing::TestWithParam<RemoveCase>
    {
    };

    TEST_P(IcicleRemoveTest, MovesTheLastIntoTheGap)
    {
        PlayerWorld world;
        IcicleSystem icicles;
        for (float x : { 0.0f, 1000.0f, 2000.0f, 3000.0f })
        {
            LoadIcicle(icicles, { x, 500.0f, 0.0f });
        }
        // Only the second one shakes, so its state shows where it went.
        PlaceBird(world, { 1000.0f, 300.0f, 50.0f });
        icicles.Update(world.myPlayer, TIME_STEP, 0.0f);

        icicles.Remove(GetParam().myRemoved);
        ASSERT_EQ(icicles.GetCount(), GetParam().myExpectedX.size());
        for (std::size_t index = 0; index < icicles.GetCount(); ++index)
        {
            const float x = icicles.GetPosition(index).x;
            EXPECT_FLOAT_EQ(x, GetParam().myExpectedX[index]) << "slot " << index;
            EXPECT_EQ(icicles.IsTriggered(index), x == 1000.0f);
            EXPECT_FLOAT_EQ(icicles.GetSprite(index).myTransform(4, 1), x - 50.0f);
        }
    }

    INSTANTIATE_TEST_SUITE_P(Cases, IcicleRemoveTest,
        testing::Values(RemoveCase{ 3, { 0.0f, 1000.0f, 2000.0f } }, RemoveCase{ 1, { 0.0f, 3000.0f, 2000.0f } },
                        RemoveCase{ 0, { 3000.0f, 1000.0f, 2000.0f } }));

    TEST(IcicleSystem, EulerDegreesGiveTheRotatedAxesAsRows)
    {
        const Vra::Matrix4x4 quarter = EulerDegreesToQuaternion(0.0f, 0.0f, 90.0f);
        EXPECT_NEAR(quarter(1, 1), 0.0f, 1e-6f);
        EXPECT_NEAR(quarter(1, 2), 1.0f, 1e-6f);
        EXPECT_NEAR(quarter(2, 1), -1.0f, 1e-6f);
        EXPECT_NEAR(quarter(2, 2), 0.0f, 1e-6f);
        EXPECT_NEAR(quarter(3, 3), 1.0f, 1e-6f);
        const Vra::Matrix4x4 identity = EulerDegreesToQuaternion(0.0f, 0.0f, 0.0f);
        EXPECT_EQ(identity, Vra::Matrix4x4());
        const Vra::Matrix4x4 aboutY = EulerDegreesToQuaternion(0.0f, 90.0f, 0.0f);
        EXPECT_NEAR(aboutY(1, 3), -1.0f, 1e-6f);
        EXPECT_NEAR(aboutY(3, 1), 1.0f, 1e-6f);
    }
}
