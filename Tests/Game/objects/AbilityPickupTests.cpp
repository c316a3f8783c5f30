#include "../player/PlayerTestSupport.h"

#include "objects/AbilityPickup.h"
#include "player/states/CutsceneState.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    using namespace PlayerTestSupport;

    struct KindCase
    {
        int myKind;
        const char* myName;
    };

    class AbilityKindTest : public testing::TestWithParam<KindCase>
    {
    };

    TEST_P(AbilityKindTest, NamesTheAbilityOfItsKind)
    {
        AbilityPickup pickup;
        pickup.Init({}, { 1.0f, 2.0f, 3.0f }, { 4.0f, 5.0f, 6.0f }, 30.0f, GetParam().myKind);
        EXPECT_EQ(pickup.GetName(), GetParam().myName);
    }

    INSTANTIATE_TEST_SUITE_P(Kinds, AbilityKindTest,
        testing::Values(KindCase{ 1, "Dash" }, KindCase{ 2, "WallJump" }, KindCase{ 3, "DoubleJump" }, KindCase{ 0, "" }, KindCase{ 4, "" },
                        KindCase{ -1, "" }));

    TEST(AbilityPickup, TouchSphereLiesOneRadiusAboveThePosition)
    {
        AbilityPickup pickup;
        pickup.Init({}, { 100.0f, 200.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 30.0f, 1);
        EXPECT_EQ(pickup.GetBounds(), CommonUtilities::Vector4(100.0f, 230.0f, 50.0f, 30.0f));
        EXPECT_EQ(pickup.GetSecondVector(), Vector3f(1.0f, 1.0f, 1.0f));
    }

    TEST(AbilityPickup, TheFeatherBobsTenUnitsAndRocksAQuarterRadian)
    {
        AbilityPickup pickup;
        pickup.Init({}, { 100.0f, 200.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 30.0f, 1);
        EXPECT_FLOAT_EQ(pickup.GetSprite().myPosition.x, 100.0f);
        EXPECT_FLOAT_EQ(pickup.GetSprite().myPosition.y, 250.0f);
        EXPECT_FLOAT_EQ(pickup.GetSprite().myRotation, 0.0f);
        EXPECT_FLOAT_EQ(pickup.GetSprite().myPivot.x, 0.5f);
        EXPECT_FLOAT_EQ(pickup.GetSprite().myPivot.y, 0.5f);

        float highest = -1000.0f;
        float lowest = 1000.0f;
        float widest = 0.0f;
        float time = 0.0f;
        for (int frame = 0; frame < 1000; ++frame)
        {
            pickup.Update(0.01f);
            time += 0.01f;
            const Vra::Sprite2DInstanceData& sprite = pickup.GetSprite();
            ASSERT_NEAR(sprite.myPosition.y, 250.0f + 10.0f * std::sin(time * 1.5f), 1e-3f);
            ASSERT_NEAR(sprite.myRotation, 0.25f * std::sin(time * 2.5f), 1e-4f);
            ASSERT_FLOAT_EQ(sprite.myPosition.x, 100.0f);
            highest = std::max(highest, sprite.myPosition.y);
            lowest = std::min(lowest, sprite.myPosition.y);
            widest = std::max(widest, std::abs(sprite.myRotation));
        }
        EXPECT_NEAR(highest, 260.0f, 1e-2f);
        EXPECT_NEAR(lowest, 240.0f, 1e-2f);
        EXPECT_NEAR(widest, 0.25f, 1e-3f);
    }

    struct CollectCase
    {
        int myKind;
        bool myDash, myWallJump, myDoubleJump;
        Player::Prompt myPrompt;
    };

    class AbilityCollectTest : public testing::TestWithParam<CollectCase>
    {
    };

    TEST_P(AbilityCollectTest, TouchUnlocksPlaysThePowerUpAndRemovesThePickup)
    {
        const CollectCase& collect = GetParam();
        AudioProbe audio({ "Ability" });
        PlayerWorld world({ 0.0f, 0.0f, 0.0f });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        // Far away one, and one the bird touches: sphere centres 30 + 40 apart.
        world.myAbilityPickups.resize(2);
        world.myAbilityPickups[0].Init({}, { 500.0f, 0.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 30.0f, collect.myKind);
        world.myAbilityPickups[1].Init({}, { 70.0f, 10.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 30.0f, collect.myKind);
        world.Frame();

        ASSERT_EQ(world.myAbilityPickups.size(), 1u);
        EXPECT_FLOAT_EQ(world.myAbilityPickups[0].GetPosition().x, 500.0f);
        EXPECT_EQ(world.myPlayer.IsDashUnlocked(), collect.myDash);
        EXPECT_EQ(world.myPlayer.IsWallJumpUnlocked(), collect.myWallJump);
        EXPECT_EQ(world.myPlayer.IsDoubleJumpUnlocked(), collect.myDoubleJump);
        EXPECT_EQ(world.State(), "Cutscene 3");
        EXPECT_EQ(world.myPlayer.GetFeathers().size(), 25u);
        EXPECT_EQ(audio.Plays("Ability"), 1u);
        if (collect.myKind >= 1 && collect.myKind <= 3)
        {
            EXPECT_EQ(world.myPlayer.GetPromptCounter(collect.myPrompt), 1);
        }
        // The power-up lasts 1.4 s, then the bird stands again.
        world.Run(1.45f);
        EXPECT_EQ(world.State(), "Idle");
    }

    INSTANTIATE_TEST_SUITE_P(Kinds, AbilityCollectTest,
        testing::Values(CollectCase{ 1, true, false, false, Player::Prompt::Dash }, CollectCase{ 2, false, true, false, Player::Prompt::WallJump },
                        CollectCase{ 3, false, false, true, Player::Prompt::DoubleJump }, CollectCase{ 0, false, false, false, Player::Prompt::Dash }));

    TEST(AbilityPickup, APickupJustOutOfReachStays)
    {
        PlayerWorld world({ 0.0f, 0.0f, 0.0f });
        world.myAbilityPickups.resize(1);
        // Sphere centres 70.01 apart in x.
        world.myAbilityPickups[0].Init({}, { 70.01f, 10.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 30.0f, 1);
        world.myPlayer.SetPosition({ 0.0f, 0.0f, 50.0f });
        world.myPlayer.CheckCollision();
        EXPECT_EQ(world.myAbilityPickups.size(), 1u);
        EXPECT_FALSE(world.myPlayer.IsDashUnlocked());
    }
}
