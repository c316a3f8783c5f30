#include "PlayerTestSupport.h"

#include "player/states/DashState.h"
#include "player/states/JumpState.h"
#include "player/states/WalkState.h"
#include "player/states/WallJumpState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <utility>
#include <vector>

namespace
{
    using namespace PlayerTestSupport;

    const PlayerTuning TUNING;

    // The highest point of a jump and the time it took, measured from the press.
    struct Apex
    {
        float myHeight = 0.0f;
        float myTime = 0.0f;
    };

    Apex MeasureJump(bool aHold, float aDeltaTime)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        EXPECT_TRUE(world.Settle());
        const float ground = world.myPlayer.GetPosition().y;
        world.Down(KEY_JUMP);
        world.Frame(aDeltaTime);
        EXPECT_EQ(world.State(), "Jump");
        if (!aHold)
        {
            world.Up(KEY_JUMP);
        }
        Apex apex;
        for (int frame = 1; frame < 1000 && world.State() == "Jump"; ++frame)
        {
            world.Frame(aDeltaTime);
            const float height = world.myPlayer.GetPosition().y - ground;
            if (height > apex.myHeight)
            {
                apex = { height, static_cast<float>(frame) * aDeltaTime };
            }
        }
        EXPECT_EQ(world.State(), "Fall");
        return apex;
    }

    TEST(PlayerMovement, HeldJumpKeepsTheJumpSpeedForTheLongestHoldThenFallsUnderGravity)
    {
        const float v = TUNING.myJumpVelocity;
        const float g = TUNING.myGravity;
        const Apex apex = MeasureJump(true, DT);
        // Closed form: v for the hold, then a parabola under g.
        EXPECT_NEAR(apex.myHeight, v * TUNING.myMaxJumpHoldTime + v * v / (2.0f * g), v * DT);
        EXPECT_NEAR(apex.myTime, TUNING.myMaxJumpHoldTime + v / g, 2.0f * DT);
    }

    TEST(PlayerMovement, TappedJumpRisesForTheShortestJumpThenFallsThreeTimesAsFast)
    {
        const float v = TUNING.myJumpVelocity;
        const float cutGravity = TUNING.myGravity * TUNING.myReleaseGravityFactor;
        const Apex apex = MeasureJump(false, DT);
        // The shortest jump ends on the first frame at or past 0.05 s.
        const float shortest = std::ceil(TUNING.myMinJumpTime / DT) * DT;
        EXPECT_GE(apex.myHeight, v * TUNING.myMinJumpTime);
        EXPECT_NEAR(apex.myHeight, v * shortest + v * v / (2.0f * cutGravity), v * DT);
        EXPECT_NEAR(apex.myTime, shortest + v / cutGravity, 2.0f * DT);
        EXPECT_LT(apex.myHeight, MeasureJump(true, DT).myHeight / 3.0f);
    }

    // A running jump held for a second, then a second without keys, in frames of aFrameTime:
    // where the bird is at the end of each second.
    std::pair<Vector3f, Vector3f> HeldRunningJump(float aFrameTime)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 10000.0f, 0.0f);
        EXPECT_TRUE(world.Settle());
        const int frames = static_cast<int>(std::lround(1.0f / aFrameTime));
        world.Down(KEY_RIGHT);
        world.Down(KEY_JUMP);
        world.Run(1.0f, aFrameTime);
        EXPECT_NE(world.State(), "Idle");
        const Vector3f held = world.myPlayer.GetPosition();
        world.Up(KEY_RIGHT);
        world.Up(KEY_JUMP);
        for (int frame = 0; frame < frames; ++frame)
        {
            world.Frame(aFrameTime);
        }
        return { held, world.myPlayer.GetPosition() };
    }

    class FrameTimeTest : public testing::TestWithParam<float>
    {
    };

    TEST_P(FrameTimeTest, AHeldRunningJumpTakesTheSamePathAsInFramesOfOneStep)
    {
        const auto [held, after] = HeldRunningJump(GetParam());
        const auto [heldInSteps, afterInSteps] = HeldRunningJump(Player::STEP);
        EXPECT_NEAR(held.x, heldInSteps.x, 1e-2f);
        EXPECT_NEAR(held.y, heldInSteps.y, 1e-2f);
        EXPECT_NEAR(after.x, afterInSteps.x, 1e-2f);
        EXPECT_NEAR(after.y, afterInSteps.y, 1e-2f);
        // A full jump: up the whole held rise and the parabola after it, and down again.
        EXPECT_GT(heldInSteps.y, 150.0f);
        EXPECT_NEAR(afterInSteps.y, 0.0f, 1e-2f);
    }

    // Frames of whole steps, frames that end between steps, and the longest frame.
    INSTANTIATE_TEST_SUITE_P(FrameTimes, FrameTimeTest,
        testing::Values(1.0f / 128.0f, 1.0f / 64.0f, 1.0f / 60.0f, 1.0f / 30.0f, 1.0f / 15.0f, 0.25f, Player::MAX_FRAME_TIME));

    TEST(PlayerMovement, RunReachesTheMaximumSpeedAtAccelerationLessDeceleration)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 10000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.Down(KEY_RIGHT);
        // The walk starts in the first step of the press's frame and runs from the second on.
        const float netAcceleration = TUNING.myAcceleration - TUNING.myDeceleration;
        const auto speedAfter = [&](int aStep) {
            return std::min(netAcceleration * Player::STEP * static_cast<float>(aStep - 1), TUNING.myMaxSpeed);
        };
        const int stepsPerFrame = static_cast<int>(std::lround(DT / Player::STEP));
        int step = 0;
        for (int update = 1; update <= 40; ++update)
        {
            const float x = world.myPlayer.GetPosition().x;
            world.Frame();
            ASSERT_EQ(world.State(), "Walk");
            float distance = 0.0f;
            for (int frameStep = 0; frameStep < stepsPerFrame; ++frameStep)
            {
                distance += speedAfter(++step) * Player::STEP;
            }
            ASSERT_NEAR(world.myPlayer.GetVelocity().x, speedAfter(step), 1e-3f) << "update " << update;
            ASSERT_NEAR(world.myPlayer.GetPosition().x - x, distance, 1e-3f) << "update " << update;
        }
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, 400.0f);
        EXPECT_FALSE(world.myPlayer.IsFacingLeft());
        EXPECT_EQ(world.State(), "Walk");
    }

    TEST(PlayerMovement, BlackBarsHalveTheRunSpeed)
    {
        PlayerWorld world;
        world.AddFloor(-10000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.myPlayer.SetSpeedFactor(true);
        world.Down(KEY_LEFT);
        world.Run(0.5f);
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, -200.0f);
        EXPECT_TRUE(world.myPlayer.IsFacingLeft());
        EXPECT_TRUE(world.StateAs<WalkState>() != nullptr && world.StateAs<WalkState>()->IsSlow());
    }

    TEST(PlayerMovement, FallSpeedGrowsWithGravityUpToTheMaximum)
    {
        PlayerWorld world({ 0.0f, 10000.0f, 0.0f });
        // The first step finds no ground and falls; gravity acts from the second.
        world.Frame();
        ASSERT_EQ(world.State(), "Fall");
        const int stepsPerFrame = static_cast<int>(std::lround(DT / Player::STEP));
        for (int update = 1; update <= 128; ++update)
        {
            world.Frame();
            const int steps = (update + 1) * stepsPerFrame - 1;
            const float expected = std::max(-TUNING.myGravity * Player::STEP * static_cast<float>(steps), -TUNING.myMaxFallSpeed);
            ASSERT_NEAR(world.myPlayer.GetVelocity().y, expected, 1e-2f) << "update " << update;
        }
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, -1000.0f);
    }

    TEST(PlayerMovement, DashRunsAtItsSpeedForItsDurationThenCoolsDown)
    {
        PlayerWorld world({ 0.0f, 0.0f, 0.0f }, { true, false, false });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        const float start = world.myPlayer.GetPosition().x;
        world.Tap(KEY_DASH);
        ASSERT_EQ(world.State(), "Dash");
        EXPECT_FALSE(world.myPlayer.IsDashAvailable());
        int frames = 0;
        while (world.State() == "Dash" && frames < 100)
        {
            world.Frame();
            ++frames;
            if (world.State() == "Dash")
            {
                EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, TUNING.myDashSpeed);
                EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, 0.0f);
            }
        }
        EXPECT_EQ(frames, static_cast<int>(std::ceil(TUNING.myDashDuration / DT)));
        EXPECT_NEAR(world.myPlayer.GetPosition().x - start, TUNING.myDashSpeed * TUNING.myDashDuration, TUNING.myDashSpeed * DT);
        EXPECT_EQ(world.State(), "Idle");
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, 0.0f);
        EXPECT_FLOAT_EQ(world.myPlayer.GetDashCooldownTimer(), TUNING.myDashCooldown);

        // A press 0.1 s into the cooldown stays buffered and dashes when the cooldown is over.
        world.Run(0.1f);
        world.Tap(KEY_DASH);
        EXPECT_EQ(world.State(), "Idle");
        const int wait = world.FramesUntil("Dash", 100);
        EXPECT_NEAR(0.1f + static_cast<float>(wait) * DT, TUNING.myDashCooldown, 2.0f * DT);
    }

    TEST(PlayerMovement, DashEndingWithMoveInputKeepsTheRunSpeed)
    {
        PlayerWorld world({ 0.0f, 0.0f, 0.0f }, { true, false, false });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.Tap(KEY_DASH);
        world.Down(KEY_RIGHT);
        EXPECT_GT(world.FramesUntil("Walk", 100), 0);
        EXPECT_LE(world.myPlayer.GetVelocity().x, TUNING.myMaxSpeed);
        EXPECT_GT(world.myPlayer.GetVelocity().x, 300.0f);
    }

    // A wall at x 200 to 300, and the bird against it, high in the air.
    PlayerWorld& AgainstWall(PlayerWorld& aWorld)
    {
        aWorld.AddWall({ { 200.0f, -2000.0f, 0.0f }, { 300.0f, 2000.0f, 100.0f } });
        return aWorld;
    }

    TEST(PlayerMovement, WallSlideFallsAtTheWallSlideFactorOfTheMaximumFall)
    {
        PlayerWorld world({ 160.0f, 1000.0f, 0.0f }, { false, true, false });
        AgainstWall(world);
        EXPECT_GT(world.FramesUntil("WallSlide", 10), 0);
        EXPECT_TRUE(world.myPlayer.IsTouchingWall());
        EXPECT_FALSE(world.myPlayer.IsWallOnLeft());
        world.Run(0.5f);
        ASSERT_EQ(world.State(), "WallSlide");
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, -TUNING.myMaxFallSpeed * TUNING.myWallSlideFallFactor);
        EXPECT_TRUE(world.myPlayer.IsFacingLeft()) << "the bird faces away from the wall";
    }

    TEST(PlayerMovement, WallJumpIgnoresSteeringDuringItsLock)
    {
        PlayerWorld world({ 160.0f, 1000.0f, 0.0f }, { false, true, false });
        AgainstWall(world);
        ASSERT_GT(world.FramesUntil("WallSlide", 10), 0);
        world.Run(0.1f);
        // Jump off and push back toward the wall at once.
        world.Down(KEY_JUMP);
        world.Down(KEY_RIGHT);
        world.Frame();
        ASSERT_EQ(world.State(), "WallJump");
        const float wallX = world.myPlayer.GetPosition().x;
        const int lockFrames = static_cast<int>(std::ceil(TUNING.myWallJumpLockTime / DT));
        for (int frame = 1; frame < lockFrames; ++frame)
        {
            world.Frame();
            ASSERT_EQ(world.State(), "WallJump");
            EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, TUNING.myJumpVelocity);
            EXPECT_LT(world.myPlayer.GetVelocity().x, 0.0f) << "pushed away from the wall in frame " << frame;
            EXPECT_GE(world.myPlayer.GetVelocity().x, -TUNING.myMaxSpeed * TUNING.myWallJumpFactor);
        }
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, -TUNING.myMaxSpeed * TUNING.myWallJumpFactor);
        EXPECT_LT(world.myPlayer.GetPosition().x, wallX - 50.0f);
        // The lock's last frame turns the push toward the held side; then steering and gravity rule.
        world.Frame();
        EXPECT_GT(world.myPlayer.GetVelocity().x, 0.0f);
        world.Frame();
        EXPECT_LT(world.myPlayer.GetVelocity().y, TUNING.myJumpVelocity);
    }

    TEST(PlayerMovement, BothDirectionsHeldLeaveTheSpeedAndFaceRight)
    {
        PlayerWorld world;
        world.Down(KEY_LEFT);
        world.Down(KEY_RIGHT);
        world.RollInput();
        world.RollInput();
        world.myPlayer.SetFacing(true);
        world.myPlayer.SetVelocity({ 123.0f, 0.0f, 0.0f });
        world.myPlayer.MoveHorizontal(DT, world.myInput);
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, 123.0f);
        EXPECT_FALSE(world.myPlayer.IsFacingLeft());
        EXPECT_FALSE(world.myPlayer.HasMoveInput(world.myInput));
    }

    struct DecelerationCase
    {
        float myStart;
        float myExpected;
    };

    class DecelerationTest : public testing::TestWithParam<DecelerationCase>
    {
    };

    TEST_P(DecelerationTest, SlowsTowardZeroWithoutCrossingItAndLeavesTinySpeeds)
    {
        PlayerWorld world;
        world.myPlayer.SetVelocity({ GetParam().myStart, 0.0f, 7.0f });
        world.myPlayer.ApplyMovement(DT, 1.0f, 1.0f);
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().x, GetParam().myExpected);
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().z, 0.0f);
    }

    INSTANTIATE_TEST_SUITE_P(Cases, DecelerationTest,
        testing::Values(DecelerationCase{ 0.05f, 0.05f }, DecelerationCase{ -0.09f, -0.09f }, DecelerationCase{ 0.1f, 0.0f },
                        DecelerationCase{ 10.0f, 0.0f }, DecelerationCase{ -10.0f, 0.0f }, DecelerationCase{ 100.0f, 100.0f - 2000.0f * DT },
                        DecelerationCase{ 900.0f, 400.0f }, DecelerationCase{ -900.0f, -400.0f }));

    TEST(PlayerMovement, ApplyMovementClampsTheFallByTheFallFactorAndTheRiseAt50000)
    {
        PlayerWorld world;
        world.myPlayer.SetVelocity({ 0.0f, -5000.0f, 0.0f });
        world.myPlayer.ApplyMovement(DT, 1.0f, 1.5f);
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, -1500.0f);
        world.myPlayer.SetVelocity({ 0.0f, 90000.0f, 0.0f });
        world.myPlayer.ApplyMovement(DT, 1.0f, 1.0f);
        EXPECT_FLOAT_EQ(world.myPlayer.GetVelocity().y, 50000.0f);
    }

    // Lands the bird from 400 units up; a jump pressed aLead seconds before the landing frame.
    std::string StateAfterBufferedJump(float aLead)
    {
        PlayerWorld dryRun({ 0.0f, 400.0f, 0.0f });
        dryRun.AddFloor(-1000.0f, 1000.0f, 0.0f);
        int landing = 0;
        while (!dryRun.myPlayer.IsGrounded() && landing < 1000)
        {
            dryRun.Frame();
            ++landing;
        }

        PlayerWorld world({ 0.0f, 400.0f, 0.0f });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        const int press = landing - static_cast<int>(aLead / DT + 0.5f);
        for (int frame = 1; frame < press; ++frame)
        {
            world.Frame();
        }
        world.Tap(KEY_JUMP);
        for (int frame = press + 1; frame <= landing + 4 && world.State() != "Jump"; ++frame)
        {
            world.Frame();
        }
        return world.State();
    }

    TEST(PlayerMovement, AJumpPressedShortlyBeforeLandingIsUsedOnLanding)
    {
        EXPECT_EQ(StateAfterBufferedJump(0.1f), "Jump");
        EXPECT_EQ(StateAfterBufferedJump(0.2f), "Idle");
    }

    // Walks off a ledge at x 100 and presses jump aDelay seconds after leaving it.
    PlayerWorld& WalkOffLedge(PlayerWorld& aWorld, float aDelay)
    {
        aWorld.AddFloor(-1000.0f, 100.0f, 0.0f);
        EXPECT_TRUE(aWorld.Settle());
        aWorld.Down(KEY_RIGHT);
        EXPECT_GT(aWorld.FramesUntil("Fall", 200), 0);
        aWorld.Up(KEY_RIGHT);
        EXPECT_FLOAT_EQ(aWorld.myPlayer.GetCoyoteTimer(), TUNING.myCoyoteTime);
        aWorld.Run(aDelay);
        aWorld.Tap(KEY_JUMP);
        return aWorld;
    }

    TEST(PlayerMovement, CoyoteTimeTurnsAJumpAfterTheLedgeIntoAGroundJump)
    {
        PlayerWorld world({ 0.0f, 0.0f, 0.0f }, { false, false, true });
        WalkOffLedge(world, 0.05f);
        EXPECT_EQ(world.State(), "Jump");
        EXPECT_TRUE(world.myPlayer.IsDoubleJumpAvailable());
        // Once the jump turns to a fall, a second press is the double jump.
        ASSERT_GT(world.FramesUntil("Fall", 200), 0);
        world.Tap(KEY_JUMP);
        EXPECT_EQ(world.State(), "DoubleJump");
        EXPECT_FALSE(world.myPlayer.IsDoubleJumpAvailable());
    }

    TEST(PlayerMovement, AfterCoyoteTimeAJumpIsTheDoubleJumpWhenUnlocked)
    {
        PlayerWorld unlocked({ 0.0f, 0.0f, 0.0f }, { false, false, true });
        WalkOffLedge(unlocked, 0.15f);
        EXPECT_EQ(unlocked.State(), "DoubleJump");

        PlayerWorld locked;
        WalkOffLedge(locked, 0.15f);
        EXPECT_EQ(locked.State(), "Fall");
    }

    struct DashRefusal
    {
        const char* myName;
        bool myUnlocked;
        bool myCoolingDown;
        bool myAvailable;
    };

    void PrintTo(const DashRefusal& aCase, std::ostream* aStream)
    {
        *aStream << aCase.myName;
    }

    class DashRefusalTest : public testing::TestWithParam<DashRefusal>
    {
    };

    TEST_P(DashRefusalTest, LeavesThePressBuffered)
    {
        const DashRefusal& refusal = GetParam();
        PlayerWorld world({ 0.0f, 0.0f, 0.0f }, { refusal.myUnlocked, false, false });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.myPlayer.SetDashAvailable(refusal.myAvailable);
        if (refusal.myCoolingDown)
        {
            world.myPlayer.StartDashCooldown();
        }
        world.Tap(KEY_DASH);
        EXPECT_EQ(world.State(), "Idle");
        // Buffered in the frame's first step, run down by the others.
        const float buffered = world.myPlayer.GetDashBuffer();
        EXPECT_NEAR(buffered, TUNING.myInputBufferTime - (DT - Player::STEP), 1e-6f);
        EXPECT_FALSE(world.myPlayer.ConsumeDash());
        EXPECT_FLOAT_EQ(world.myPlayer.GetDashBuffer(), buffered);
    }

    INSTANTIATE_TEST_SUITE_P(Cases, DashRefusalTest,
        testing::Values(DashRefusal{ "Locked", false, false, true }, DashRefusal{ "CoolingDown", true, true, true },
                        DashRefusal{ "SpentInTheAir", true, false, false }),
        [](const testing::TestParamInfo<DashRefusal>& anInfo) { return std::string(anInfo.param.myName); });

    TEST(PlayerMovement, ASpentDashComesBackOnlyOnTheGround)
    {
        PlayerWorld world({ 0.0f, 600.0f, 0.0f }, { true, false, false });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        world.Frame();
        ASSERT_EQ(world.State(), "Fall");
        world.Tap(KEY_DASH);
        ASSERT_EQ(world.State(), "Dash");
        ASSERT_GT(world.FramesUntil("Fall", 100), 0);
        world.Run(0.25f);
        world.Tap(KEY_DASH);
        EXPECT_EQ(world.State(), "Fall") << "no second dash in the air";
        ASSERT_GT(world.FramesUntil("Idle", 400), 0);
        EXPECT_TRUE(world.myPlayer.IsDashAvailable());
    }

    TEST(PlayerMovement, AHazardStopsInputAndStatesAndTheBirdDiesOnce)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        const Vector3f position = world.myPlayer.GetPosition();
        world.myPlayer.Kill();
        world.Down(KEY_JUMP);
        world.Frame();
        EXPECT_TRUE(world.myPlayer.IsDead());
        EXPECT_EQ(world.State(), "Idle");
        EXPECT_FLOAT_EQ(world.myPlayer.GetJumpBuffer(), 0.0f);
        EXPECT_EQ(world.myPlayer.GetPosition(), position);
        ASSERT_EQ(world.myPlayer.GetFeathers().size(), 25u);
        for (int frame = 0; frame < 10; ++frame)
        {
            world.Frame();
        }
        EXPECT_EQ(world.myPlayer.GetFeathers().size(), 25u);
        EXPECT_EQ(world.myPlayer.GetPosition(), position);
    }

    TEST(PlayerMovement, RespawnClearsTheDeathAndStandsIdleFacingRightAtThePoint)
    {
        PlayerWorld world({ 0.0f, 0.0f, 0.0f }, { true, true, true });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.myPlayer.SetFacing(true);
        world.myPlayer.SetVelocity({ 50.0f, 60.0f, 0.0f });
        world.myPlayer.Kill();
        world.Frame();
        ASSERT_TRUE(world.myPlayer.IsDead());

        world.myPlayer.Respawn({ 300.0f, 0.0f, 50.0f });
        EXPECT_FALSE(world.myPlayer.IsDead());
        EXPECT_FALSE(world.myPlayer.IsHazardHit());
        EXPECT_FALSE(world.myPlayer.IsGrounded());
        EXPECT_FALSE(world.myPlayer.IsFacingLeft());
        EXPECT_EQ(world.State(), "Idle");
        EXPECT_EQ(world.myPlayer.GetPosition(), Vector3f(300.0f, 0.0f, 50.0f));
        EXPECT_EQ(world.myPlayer.GetVelocity(), Vector3f(0.0f, 0.0f, 0.0f));
        EXPECT_TRUE(world.myPlayer.IsDashUnlocked() && world.myPlayer.IsWallJumpUnlocked() && world.myPlayer.IsDoubleJumpUnlocked());
        EXPECT_TRUE(world.Settle());
    }

    class UnusableFrameTimeTest : public testing::TestWithParam<float>
    {
    };

    TEST_P(UnusableFrameTimeTest, MovesNothingAndLeavesTheBirdPlayable)
    {
        PlayerWorld world({ 0.0f, 1000.0f, 0.0f });
        world.Down(KEY_RIGHT);
        world.Run(0.25f);
        ASSERT_EQ(world.State(), "Fall");
        world.myPlayer.SpawnFeathers(3.0f);
        world.Frame();
        const Vector3f position = world.myPlayer.GetPosition();
        const Vector3f velocity = world.myPlayer.GetVelocity();
        const std::vector<Feather> feathers = world.myPlayer.GetFeathers();

        world.Frame(GetParam());
        EXPECT_EQ(world.myPlayer.GetPosition(), position);
        EXPECT_EQ(world.myPlayer.GetVelocity(), velocity);
        ASSERT_EQ(world.myPlayer.GetFeathers().size(), feathers.size());
        for (std::size_t index = 0; index < feathers.size(); ++index)
        {
            EXPECT_EQ(world.myPlayer.GetFeathers()[index].myAge, feathers[index].myAge);
            EXPECT_EQ(world.myPlayer.GetFeathers()[index].mySprite.myPosition.x, feathers[index].mySprite.myPosition.x);
        }

        world.Frame();
        EXPECT_EQ(world.State(), "Fall");
        EXPECT_GT(world.myPlayer.GetPosition().x, position.x);
        EXPECT_LT(world.myPlayer.GetPosition().y, position.y);
    }

    INSTANTIATE_TEST_SUITE_P(FrameTimes, UnusableFrameTimeTest,
        testing::Values(std::numeric_limits<float>::quiet_NaN(), -DT, -1.0f, -std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::infinity(), 0.0f));

    TEST(PlayerMovement, TheBirdStaysInItsDepthPlaneAndRecordsTheGroundHeight)
    {
        PlayerWorld world({ 0.0f, 300.0f, 0.0f });
        world.AddFloor(-1000.0f, 1000.0f, 120.0f);
        world.Frame();
        EXPECT_FLOAT_EQ(world.myPlayer.GetPosition().z, Player::DEPTH);
        ASSERT_TRUE(world.Settle(200));
        EXPECT_NEAR(world.myPlayer.GetGroundHeight(), 120.0f, 1e-3f);
        EXPECT_EQ(world.myPlayer.GetCameraTarget(), world.myPlayer.GetPosition() + Vector3f(0.0f, 40.0f, 0.0f));
    }
}
