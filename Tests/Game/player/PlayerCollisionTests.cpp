#include "PlayerTestSupport.h"

#include "player/states/PogoReadyState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

namespace
{
    using namespace PlayerTestSupport;

    // The bird's feet at aPosition, its sphere's contacts resolved once.
    void CollideAt(PlayerWorld& aWorld, const Vector3f& aPosition, const Vector3f& aVelocity = { 0.0f, 0.0f, 0.0f })
    {
        aWorld.myPlayer.SetPosition(aPosition);
        aWorld.myPlayer.SetVelocity(aVelocity);
        aWorld.myPlayer.CheckCollision();
    }

    Box FloorBox(float aMinX, float aMaxX, float aTop)
    {
        return { { aMinX, aTop - 100.0f, 0.0f }, { aMaxX, aTop, 100.0f } };
    }

    Box Reversed(const Box& aBox)
    {
        return { aBox.myMax, aBox.myMin };
    }

    TEST(PlayerCollision, AFloorUnderTheSphereGroundsAndStopsTheFall)
    {
        for (const Box& floor : { FloorBox(-1000.0f, 1000.0f, 0.0f), Reversed(FloorBox(-1000.0f, 1000.0f, 0.0f)) })
        {
            PlayerWorld world;
            world.myCollisionSet.AddBox(floor);
            CollideAt(world, { 0.0f, -5.0f, 50.0f }, { 30.0f, -200.0f, 0.0f });
            EXPECT_TRUE(world.myPlayer.IsGrounded());
            EXPECT_FALSE(world.myPlayer.IsTouchingWall());
            EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-3f);
            EXPECT_LT(world.myPlayer.GetPosition().y, 0.0f) << "left just touching, so the contact stays";
            EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, 0.0f);
            EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, 30.0f);
        }
    }

    TEST(PlayerCollision, TwoFloorBoxesSideBySidePushOutOnce)
    {
        PlayerWorld world;
        world.myCollisionSet.AddBox(FloorBox(-100.0f, 0.0f, 0.0f));
        world.myCollisionSet.AddBox(FloorBox(0.0f, 100.0f, 0.0f));
        CollideAt(world, { 0.0f, -5.0f, 50.0f });
        EXPECT_TRUE(world.myPlayer.IsGrounded());
        EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-3f);
    }

    // Two wall boxes stacked with their seam at y 45, their near faces at aFaceX: the sphere
    // touches the lower box's face and the upper box's corner, 0.14 rad apart.
    void AddStackedWall(PlayerWorld& aWorld, float aFaceX, bool anIsOnTheRight)
    {
        const float nearX = aFaceX;
        const float farX = anIsOnTheRight ? aFaceX + 100.0f : aFaceX - 100.0f;
        const float minX = std::min(nearX, farX);
        const float maxX = std::max(nearX, farX);
        aWorld.AddWall({ { minX, -1000.0f, 0.0f }, { maxX, 45.0f, 100.0f } });
        aWorld.AddWall({ { minX, 45.0f, 0.0f }, { maxX, 1000.0f, 100.0f } });
    }

    struct StackedWallCase
    {
        const char* myName;
        float myFaceX;
        bool myIsOnTheRight;
        float myExpectX;
    };

    void PrintTo(const StackedWallCase& aCase, std::ostream* aStream)
    {
        *aStream << aCase.myName;
    }

    class StackedWallTest : public testing::TestWithParam<StackedWallCase>
    {
    };

    TEST_P(StackedWallTest, AWallOfTwoStackedBoxesPushesOutOnceOnEitherSide)
    {
        const StackedWallCase& wallCase = GetParam();
        PlayerWorld world;
        AddStackedWall(world, wallCase.myFaceX, wallCase.myIsOnTheRight);
        CollideAt(world, { 100.0f, 0.0f, 50.0f });
        EXPECT_NEAR(world.myPlayer.GetPosition().x, wallCase.myExpectX, 1e-3f);
        EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-3f);
        EXPECT_TRUE(world.myPlayer.IsTouchingWall());
        EXPECT_EQ(world.myPlayer.IsWallOnLeft(), !wallCase.myIsOnTheRight);
    }

    INSTANTIATE_TEST_SUITE_P(Cases, StackedWallTest,
        testing::Values(StackedWallCase{ "OnTheRight", 135.0f, true, 95.0f }, StackedWallCase{ "OnTheLeft", 65.0f, false, 105.0f }),
        [](const testing::TestParamInfo<StackedWallCase>& anInfo) { return std::string(anInfo.param.myName); });

    TEST(PlayerCollision, ADashIntoAStackedWallStopsAtItsFaceAndStaysThere)
    {
        PlayerWorld world({ 0.0f, 0.0f, 0.0f }, { true, false, false });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        AddStackedWall(world, 335.0f, true);
        ASSERT_TRUE(world.Settle());
        world.Tap(KEY_DASH);
        ASSERT_EQ(world.State(), "Dash");
        float previous = world.myPlayer.GetPosition().x;
        for (int frame = 0; frame < 64; ++frame)
        {
            world.Frame();
            const float x = world.myPlayer.GetPosition().x;
            ASSERT_GE(x, previous - 1e-3f) << "pushed back from the wall in frame " << frame;
            ASSERT_LT(x, 295.0f + 1e-2f) << "into the wall in frame " << frame;
            previous = x;
        }
        EXPECT_NEAR(world.myPlayer.GetPosition().x, 295.0f, 1e-2f);
        EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-2f);
    }

    TEST(PlayerCollision, AContactMovingAwayKeepsItsVelocity)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        CollideAt(world, { 0.0f, -1.0f, 50.0f }, { 0.0f, 700.0f, 0.0f });
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, 700.0f);
    }

    struct WallCase
    {
        const char* myName;
        Box myBox;
        bool myIsWall;
        float myFeetX;
        bool myExpectOnWall;
        bool myExpectWallOnLeft;
        float myExpectX;
    };

    void PrintTo(const WallCase& aCase, std::ostream* aStream)
    {
        *aStream << aCase.myName;
    }

    class WallFlagTest : public testing::TestWithParam<WallCase>
    {
    };

    TEST_P(WallFlagTest, SideContactsOfWallBoxesRightOfTheEdgeHoldTheBird)
    {
        const WallCase& wallCase = GetParam();
        for (const Box& box : { wallCase.myBox, Reversed(wallCase.myBox) })
        {
            PlayerWorld world;
            if (wallCase.myIsWall)
            {
                world.AddWall(box);
            }
            else
            {
                world.myCollisionSet.AddBox(box);
            }
            CollideAt(world, { wallCase.myFeetX, 500.0f, 50.0f }, { 100.0f * (wallCase.myExpectWallOnLeft ? -1.0f : 1.0f), 0.0f, 0.0f });
            EXPECT_EQ(world.myPlayer.IsTouchingWall(), wallCase.myExpectOnWall);
            if (wallCase.myExpectOnWall)
            {
                EXPECT_EQ(world.myPlayer.IsWallOnLeft(), wallCase.myExpectWallOnLeft);
            }
            EXPECT_FALSE(world.myPlayer.IsGrounded());
            EXPECT_NEAR(world.myPlayer.GetPosition().x, wallCase.myExpectX, 1e-3f);
            EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, 0.0f);
        }
    }

    const Box TALL_RIGHT{ { 200.0f, 0.0f, 0.0f }, { 300.0f, 1000.0f, 100.0f } };
    const Box TALL_LEFT{ { -100.0f, 0.0f, 0.0f }, { 100.0f, 1000.0f, 100.0f } };
    const Box EDGE_LEFT{ { -100.0f, 0.0f, 0.0f }, { 0.0f, 1000.0f, 100.0f } };

    INSTANTIATE_TEST_SUITE_P(Cases, WallFlagTest,
        testing::Values(WallCase{ "WallOnTheRight", TALL_RIGHT, true, 165.0f, true, false, 160.0f },
                        WallCase{ "WallOnTheLeft", TALL_LEFT, true, 135.0f, true, true, 140.0f },
                        // Left of x 50 a wall never holds the bird (the level's left edge).
                        WallCase{ "WallLeftOfTheEdge", EDGE_LEFT, true, 35.0f, false, true, 40.0f },
                        WallCase{ "SolidBoxIsNoWall", TALL_RIGHT, false, 165.0f, false, false, 160.0f }),
        [](const testing::TestParamInfo<WallCase>& anInfo) { return std::string(anInfo.param.myName); });

    TEST(PlayerCollision, StandingOnTheGroundBesideAWallIsNotOnTheWall)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        world.AddWall(TALL_RIGHT);
        CollideAt(world, { 165.0f, -2.0f, 50.0f });
        EXPECT_TRUE(world.myPlayer.IsGrounded());
        EXPECT_FALSE(world.myPlayer.IsTouchingWall());
    }

    TEST(PlayerCollision, OneWayPlatformsHoldOnlyFromAbove)
    {
        PlayerWorld world;
        world.myCollisionSet.SetOneWayBoxes({ FloorBox(-100.0f, 100.0f, 0.0f) });

        CollideAt(world, { 0.0f, -5.0f, 50.0f }, { 0.0f, -300.0f, 0.0f });
        EXPECT_TRUE(world.myPlayer.IsGrounded());
        EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-3f);

        // From below: the bird rises on through it.
        CollideAt(world, { 0.0f, -170.0f, 50.0f }, { 0.0f, 300.0f, 0.0f });
        EXPECT_FALSE(world.myPlayer.IsGrounded());
        EXPECT_EQ(world.myPlayer.GetPosition(), Vector3f(0.0f, -170.0f, 50.0f));
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, 300.0f);

        // From the side: no push either.
        CollideAt(world, { 130.0f, -60.0f, 50.0f }, { -100.0f, 0.0f, 0.0f });
        EXPECT_FALSE(world.myPlayer.IsGrounded());
        EXPECT_EQ(world.myPlayer.GetPosition(), Vector3f(130.0f, -60.0f, 50.0f));
    }

    TEST(PlayerCollision, ADeepContactPushesOutButDoesNotGround)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        // 30 units deep: more than two thirds of the radius.
        CollideAt(world, { 0.0f, -30.0f, 50.0f });
        EXPECT_FALSE(world.myPlayer.IsGrounded());
        EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-3f);
        // 26 units deep still stands.
        CollideAt(world, { 0.0f, -26.0f, 50.0f });
        EXPECT_TRUE(world.myPlayer.IsGrounded());
    }

    TEST(PlayerCollision, ACentreInsideABoxIsPushedOutTheShortestWay)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        // The sphere's centre 20 units under the floor's top.
        CollideAt(world, { 0.0f, -60.0f, 50.0f }, { 0.0f, -500.0f, 0.0f });
        EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-3f);
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, 0.0f);
        EXPECT_FALSE(world.myPlayer.IsGrounded()) << "that deep a contact does not count as standing";
        // The next contact is a plain one: the bird stands.
        world.myPlayer.CheckCollision();
        EXPECT_TRUE(world.myPlayer.IsGrounded());

        // Inside a wall near its left face: out to the left.
        PlayerWorld side;
        side.AddWall(TALL_RIGHT);
        CollideAt(side, { 210.0f, 500.0f, 50.0f });
        EXPECT_NEAR(side.myPlayer.GetPosition().x, 160.0f, 1e-3f);
        EXPECT_TRUE(side.myPlayer.IsTouchingWall());
        EXPECT_FALSE(side.myPlayer.IsWallOnLeft());
    }

    TEST(PlayerCollision, TouchingATrapSetsTheHazard)
    {
        PlayerWorld world;
        world.myPlayer.SetTrapBoxes({ { { 100.0f, 0.0f, 0.0f }, { 200.0f, 100.0f, 100.0f } } });
        CollideAt(world, { 59.0f, 0.0f, 50.0f });
        EXPECT_FALSE(world.myPlayer.IsHazardHit());
        CollideAt(world, { 60.0f, 0.0f, 50.0f });
        EXPECT_TRUE(world.myPlayer.IsHazardHit());
    }

    TEST(PlayerCollision, TriggerBoxesCountTheSphereSurfaceAsInside)
    {
        PlayerWorld world;
        world.myPlayer.SetEventTriggers({ { { { 100.0f, 0.0f, 0.0f }, { 200.0f, 100.0f, 100.0f } }, 3 },
                                          { { { 1000.0f, 0.0f, 0.0f }, { 1100.0f, 100.0f, 100.0f } }, 4 } });
        ASSERT_EQ(world.myPlayer.GetInsideTriggers().size(), 2u);
        CollideAt(world, { 59.0f, 0.0f, 50.0f });
        EXPECT_EQ(world.myPlayer.GetInsideTriggers(), std::vector<bool>({ false, false }));
        // The centre exactly 40 units from the box.
        CollideAt(world, { 60.0f, 0.0f, 50.0f });
        EXPECT_EQ(world.myPlayer.GetInsideTriggers(), std::vector<bool>({ true, false }));
        CollideAt(world, { 150.0f, 0.0f, 50.0f });
        EXPECT_EQ(world.myPlayer.GetInsideTriggers(), std::vector<bool>({ true, false }));
        CollideAt(world, { 250.0f, 0.0f, 50.0f });
        EXPECT_EQ(world.myPlayer.GetInsideTriggers(), std::vector<bool>({ false, false }));

        CollideAt(world, { 150.0f, 0.0f, 50.0f });
        world.myPlayer.Respawn({ 150.0f, 0.0f, 50.0f });
        EXPECT_EQ(world.myPlayer.GetInsideTriggers(), std::vector<bool>({ false, false }));
    }

    // A falling bird meets a floor 100 units thick, or a dashing one a wall 100 wide, at any
    // frame time up to a quarter second: it stops on the near side.
    class TunnellingTest : public testing::TestWithParam<float>
    {
    };

    TEST_P(TunnellingTest, AFastFallStopsOnTheFloor)
    {
        const float frameTime = GetParam();
        PlayerWorld world({ 0.0f, 700.0f, 0.0f });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        world.myPlayer.ChangeState(std::make_unique<PogoReadyState>());
        world.myPlayer.SetVelocity({ 0.0f, -1500.0f, 0.0f });
        for (float time = 0.0f; time < 2.0f; time += frameTime)
        {
            world.Frame(frameTime);
            ASSERT_GT(world.myPlayer.GetPosition().y, -1.0f) << "fell through at " << time << " s";
        }
        EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-2f);
        EXPECT_TRUE(world.myPlayer.IsGrounded());
    }

    TEST_P(TunnellingTest, ADashStopsAtTheWall)
    {
        const float frameTime = GetParam();
        PlayerWorld world({ 0.0f, 0.0f, 0.0f }, { true, false, false });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        world.AddWall({ { 240.0f, 0.0f, 0.0f }, { 340.0f, 500.0f, 100.0f } });
        ASSERT_TRUE(world.Settle());
        world.Tap(KEY_DASH, frameTime);
        ASSERT_EQ(world.State(), "Dash");
        for (float time = 0.0f; time < 1.0f; time += frameTime)
        {
            world.Frame(frameTime);
            ASSERT_LT(world.myPlayer.GetPosition().x, 201.0f) << "passed into the wall at " << time << " s";
        }
        EXPECT_NEAR(world.myPlayer.GetPosition().x, 200.0f, 1e-2f);
    }

    TEST(PlayerCollision, AnEndlessFrameMovesTheBirdByTheLongestFrameOnly)
    {
        PlayerWorld world({ 0.0f, 0.0f, 0.0f });
        world.AddFloor(-1000.0f, 100000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.Down(KEY_RIGHT);
        world.Frame();
        const float start = world.myPlayer.GetPosition().x;
        world.Frame(1.0e9f);
        EXPECT_LE(world.myPlayer.GetPosition().x - start, world.myPlayer.GetMaxSpeed() * Player::MAX_FRAME_TIME + 1e-2f);
        EXPECT_GT(world.myPlayer.GetPosition().x - start, world.myPlayer.GetMaxSpeed() * (Player::MAX_FRAME_TIME - 0.1f));
        EXPECT_NEAR(world.myPlayer.GetPosition().y, 0.0f, 1e-2f);
        EXPECT_TRUE(world.myPlayer.IsGrounded());
    }

    INSTANTIATE_TEST_SUITE_P(FrameTimes, TunnellingTest, testing::Values(1.0f / 240.0f, 1.0f / 60.0f, 1.0f / 30.0f, 0.1f, 0.25f));
}
