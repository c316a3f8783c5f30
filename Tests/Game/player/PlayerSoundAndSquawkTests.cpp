#include "PlayerTestSupport.h"

#include "player/states/SquakState.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
    using namespace PlayerTestSupport;

    // Drops the bird from aHeight onto a floor; the landing sound's volume.
    float LandingVolume(float aHeight)
    {
        AudioProbe audio({ "Land_Snow" });
        PlayerWorld world({ 0.0f, aHeight, 0.0f });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        const int frames = world.FramesUntil("Land", 2000);
        EXPECT_GT(frames, 0);
        EXPECT_EQ(audio.Plays("Land_Snow"), 1u);
        return audio.Volume("Land_Snow") / AudioManager::GetInstance().GetMasterVolume();
    }

    TEST(PlayerSound, LandingVolumeIsTheFallTimeUpToFull)
    {
        // 0.3 s of falling under 3000 units/s² covers 135 units.
        const float shortFall = 0.5f * 3000.0f * 0.3f * 0.3f;
        EXPECT_NEAR(LandingVolume(shortFall), 0.3f, 2.0f * DT);
        EXPECT_FLOAT_EQ(LandingVolume(3000.0f), 1.0f);
    }

    TEST(PlayerSound, DeathPlaysItsSoundOnce)
    {
        AudioProbe audio({ "Death" });
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.myPlayer.Kill();
        world.Run(0.5f);
        EXPECT_EQ(audio.Plays("Death"), 1u);
        EXPECT_TRUE(world.myPlayer.IsDead());
    }

    TEST(Squawk, ClipFollowsTheSignOfTheDraw)
    {
        EXPECT_STREQ(SquakState::ChooseClip(0u), "Squeak1");
        EXPECT_STREQ(SquakState::ChooseClip(0x7fffffffu), "Squeak1");
        EXPECT_STREQ(SquakState::ChooseClip(0x80000000u), "Squeak2");
        EXPECT_STREQ(SquakState::ChooseClip(0xffffffffu), "Squeak2");
    }

    TEST(Squawk, AlwaysLastsOneSecondAndDrawsOnceFromItsOwnGenerator)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        SquakState::GetClipGenerator().seed(1234u);
        std::mt19937 reference(1234u);
        for (int squawk = 0; squawk < 6; ++squawk)
        {
            world.Down(KEY_SQUAWK);
            world.Frame(); // pressed
            world.Frame(); // held: the squawk starts
            world.Up(KEY_SQUAWK);
            ASSERT_EQ(world.State(), "Squak");
            reference.discard(1);
            const int frames = world.FramesUntil("Idle", 1000);
            EXPECT_EQ(frames, static_cast<int>(1.0f / DT)) << "squawk " << squawk;
        }
        // Six squawks, six draws: the next draws agree.
        EXPECT_EQ(SquakState::GetClipGenerator()(), reference());
        EXPECT_EQ(SquakState::GetClipGenerator()(), reference());
    }

    TEST(Squawk, CountsItsPromptDown)
    {
        PlayerWorld world;
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.myPlayer.ShowSquawkPrompt();
        EXPECT_EQ(world.myPlayer.GetPromptCounter(Player::Prompt::Squawk), 1);
        world.Down(KEY_SQUAWK);
        world.Run(2.0f * DT);
        EXPECT_EQ(world.State(), "Squak");
        EXPECT_EQ(world.myPlayer.GetPromptCounter(Player::Prompt::Squawk), 0);
    }

    TEST(PlayerPrompts, WalkingDismissesTheWalkPromptAfterASecond)
    {
        PlayerWorld world;
        world.AddFloor(-10000.0f, 10000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.myPlayer.ShowWalkPrompt();
        EXPECT_FLOAT_EQ(world.myPlayer.GetWalkPromptTimer(), 1.0f);
        world.Down(KEY_RIGHT);
        world.Run(0.5f);
        EXPECT_GT(world.myPlayer.GetWalkPromptTimer(), 0.0f);
        world.Run(0.6f);
        EXPECT_LE(world.myPlayer.GetWalkPromptTimer(), 0.0f);
    }

    TEST(PlayerPrompts, EachActionCountsItsOwnPromptDown)
    {
        PlayerWorld world({ 0.0f, 0.0f, 0.0f }, { true, false, false });
        world.AddFloor(-1000.0f, 1000.0f, 0.0f);
        ASSERT_TRUE(world.Settle());
        world.myPlayer.ShowJumpPrompt();
        world.myPlayer.ShowPogoPrompt();
        world.Tap(KEY_JUMP);
        ASSERT_EQ(world.State(), "Jump");
        EXPECT_EQ(world.myPlayer.GetPromptCounter(Player::Prompt::Jump), 0);
        EXPECT_EQ(world.myPlayer.GetPromptCounter(Player::Prompt::Pogo), 1);
        world.myPlayer.CountDownPrompt(Player::Prompt::Jump);
        EXPECT_EQ(world.myPlayer.GetPromptCounter(Player::Prompt::Jump), 0) << "never below 0";
    }
}
