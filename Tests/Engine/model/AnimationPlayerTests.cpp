#include "model/AnimationPlayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>

namespace
{
    using Vra::AnimationState;

    // Frame f moves joint 0 to x = f and turns joint 1 by f degrees about z.
    std::shared_ptr<Vra::Animation> Counting(std::uint32_t aFrameCount, float aFramesPerSecond, float aDuration)
    {
        auto animation = std::make_shared<Vra::Animation>();
        animation->myFrameCount = aFrameCount;
        animation->myFramesPerSecond = aFramesPerSecond;
        animation->myDuration = aDuration;
        animation->myFrames.resize(aFrameCount);
        for (std::uint32_t frame = 0; frame < aFrameCount; ++frame)
        {
            Vra::AnimationPose& pose = animation->myFrames[frame];
            pose.myJointCount = 2;
            pose.myJoints[0].myTranslation = { static_cast<float>(frame), 0.0f, 0.0f };
            const float half = static_cast<float>(frame) * std::numbers::pi_v<float> / 360.0f;
            pose.myJoints[1].myRotation = Vra::Quaternion(std::cos(half), 0.0f, 0.0f, std::sin(half));
        }
        return animation;
    }

    // One second at 30 frames a second: frames 0 to 30.
    std::shared_ptr<Vra::Animation> OneSecond()
    {
        return Counting(31, 30.0f, 1.0f);
    }

    Vra::AnimationPlayer Started(std::shared_ptr<const Vra::Animation> anAnimation, bool aLoop)
    {
        Vra::AnimationPlayer player;
        player.Init(std::move(anAnimation));
        player.SetLooping(aLoop);
        player.SetTime(0.0f);
        player.SetState(AnimationState::Playing);
        return player;
    }

    float JointX(const Vra::AnimationPlayer& aPlayer)
    {
        return aPlayer.GetPose().myJoints[0].myTranslation.x;
    }
}

TEST(AnimationPlayerTest, StartsNewWithoutAnimationAndAnIdentityPose)
{
    const Vra::AnimationPlayer player;
    EXPECT_EQ(player.GetState(), AnimationState::New);
    EXPECT_FALSE(player.HasAnimation());
    EXPECT_FALSE(player.IsLooping());
    EXPECT_TRUE(player.IsInterpolating());
    EXPECT_EQ(player.GetTime(), 0.0f);
    EXPECT_EQ(player.GetFramesPerSecond(), 0.0f);
    EXPECT_EQ(player.GetPose().myJointCount, 0);
    EXPECT_EQ(player.GetPose().myJoints[127].myRotation, Vra::Quaternion(1, 0, 0, 0));
}

TEST(AnimationPlayerTest, InitTakesTheFrameRate)
{
    Vra::AnimationPlayer player;
    player.Init(Counting(3, 24.0f, 2.0f / 24.0f));
    EXPECT_EQ(player.GetFramesPerSecond(), 24.0f);
}

TEST(AnimationPlayerTest, AClipThatDoesNotLoopEndsOnItsLastFrameWithoutBlending)
{
    Vra::AnimationPlayer player = Started(OneSecond(), false);
    player.Update(0.4f);
    player.Update(0.4f);
    EXPECT_EQ(player.GetState(), AnimationState::Playing);
    player.Update(0.4f);
    EXPECT_EQ(player.GetState(), AnimationState::Ended);
    EXPECT_FLOAT_EQ(player.GetTime(), 1.0f);
    EXPECT_FLOAT_EQ(JointX(player), 30.0f);
    EXPECT_EQ(player.GetPose().myJointCount, 2);

    // Ended is final: further steps change nothing.
    player.Update(0.5f);
    EXPECT_FLOAT_EQ(player.GetTime(), 1.0f);
}

TEST(AnimationPlayerTest, ALoopingClipWrapsAndStaysWrapped)
{
    Vra::AnimationPlayer player = Started(OneSecond(), true);
    player.Update(2.5f);
    EXPECT_EQ(player.GetState(), AnimationState::Wrapped);
    EXPECT_NEAR(player.GetTime(), 0.5f, 1e-6f);
    EXPECT_NEAR(JointX(player), 15.0f, 1e-4f);
    player.Update(0.1f);
    EXPECT_EQ(player.GetState(), AnimationState::Wrapped);
    EXPECT_NEAR(player.GetTime(), 0.6f, 1e-6f);
}

TEST(AnimationPlayerTest, OnlyPlayingPlayersAdvance)
{
    for (const AnimationState state : { AnimationState::New, AnimationState::Ended })
    {
        Vra::AnimationPlayer player = Started(OneSecond(), false);
        player.SetState(state);
        player.Update(0.5f);
        EXPECT_EQ(player.GetTime(), 0.0f);
        EXPECT_EQ(player.GetPose().myJointCount, 0) << "no pose was sampled";
    }
}

TEST(AnimationPlayerTest, BlendsTheTwoNeighbouringFrames)
{
    Vra::AnimationPlayer player = Started(OneSecond(), false);
    player.SetTime(0.05f);
    player.UpdatePose();
    EXPECT_NEAR(JointX(player), 1.5f, 1e-4f);
    // Halfway between 1 and 2 degrees about z.
    const float half = 1.5f * std::numbers::pi_v<float> / 360.0f;
    EXPECT_NEAR(player.GetPose().myJoints[1].myRotation.w, std::cos(half), 1e-6f);
    EXPECT_NEAR(player.GetPose().myJoints[1].myRotation.z, std::sin(half), 1e-6f);

    player.SetInterpolate(false);
    player.UpdatePose();
    EXPECT_FLOAT_EQ(JointX(player), 1.0f);
}

TEST(AnimationPlayerTest, TheLastFrameOfAPlayingClipBlendsTowardsTheFirst)
{
    Vra::AnimationPlayer player = Started(OneSecond(), true);
    player.SetTime(30.5f / 30.0f);
    player.UpdatePose();
    EXPECT_NEAR(JointX(player), 15.0f, 1e-3f);
}

TEST(AnimationPlayerTest, AFrameWithoutJointsEmptiesThePose)
{
    auto animation = OneSecond();
    animation->myFrames[0].myJointCount = 0;
    Vra::AnimationPlayer player = Started(OneSecond(), false);
    player.Update(0.1f);
    ASSERT_EQ(player.GetPose().myJointCount, 2);
    player.Init(animation);
    player.SetTime(0.0f);
    player.UpdatePose();
    EXPECT_EQ(player.GetPose().myJointCount, 0);
    EXPECT_FLOAT_EQ(JointX(player), 3.0f) << "the joints themselves stay as they were";
}

struct BrokenClip
{
    const char* myName;
    std::shared_ptr<Vra::Animation> myAnimation;
    bool myLoop;
    float myDelta;
};

class AnimationPlayerOnBrokenClip : public ::testing::TestWithParam<BrokenClip> {};

// None of these may divide by zero, loop forever or index past the frames.
TEST_P(AnimationPlayerOnBrokenClip, StaysInsideItsFrames)
{
    Vra::AnimationPlayer player = Started(GetParam().myAnimation, GetParam().myLoop);
    for (int step = 0; step < 3; ++step)
    {
        player.Update(GetParam().myDelta);
        player.UpdatePose();
    }
    EXPECT_TRUE(std::isfinite(player.GetTime()));
    EXPECT_GE(player.GetTime(), 0.0f);
    const Vra::Animation* animation = GetParam().myAnimation.get();
    if (animation && !animation->myFrames.empty())
    {
        EXPECT_GE(JointX(player), 0.0f);
        EXPECT_LE(JointX(player), static_cast<float>(animation->myFrames.size() - 1));
    }
    else
    {
        EXPECT_EQ(player.GetPose().myJointCount, 0);
    }
}

namespace
{
    std::shared_ptr<Vra::Animation> MoreFramesClaimedThanStored()
    {
        auto animation = Counting(4, 30.0f, 1.0f);
        animation->myFrameCount = 40;
        return animation;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, AnimationPlayerOnBrokenClip, ::testing::Values(
    BrokenClip{ "NoAnimation", nullptr, true, 0.1f },
    BrokenClip{ "NoFrames", Counting(0, 30.0f, 1.0f), true, 0.1f },
    BrokenClip{ "ZeroDurationLooping", Counting(1, 30.0f, 0.0f), true, 0.1f },
    BrokenClip{ "ZeroDurationOnce", Counting(1, 30.0f, 0.0f), false, 0.1f },
    BrokenClip{ "NegativeDuration", Counting(3, 30.0f, -1.0f), true, 0.1f },
    BrokenClip{ "NoFrameRate", Counting(3, 0.0f, 1.0f), true, 0.4f },
    BrokenClip{ "NegativeFrameRate", Counting(3, -30.0f, 1.0f), false, 0.4f },
    BrokenClip{ "HugeStepLooping", Counting(31, 30.0f, 1.0f), true, 1e30f },
    BrokenClip{ "NotANumberStep", Counting(31, 30.0f, 1.0f), true, std::numeric_limits<float>::quiet_NaN() },
    BrokenClip{ "NegativeStep", Counting(31, 30.0f, 1.0f), false, -5.0f },
    BrokenClip{ "FramesPastTheEnd", Counting(5, 30.0f, 1.0f), true, 0.9f },
    BrokenClip{ "CountBeyondTheFrames", MoreFramesClaimedThanStored(), true, 0.95f }),
    [](const auto& anInfo) { return std::string(anInfo.param.myName); });

TEST(AnimationPlayerTest, AOnePoseClipShowsThatPoseAndEndsWhenItDoesNotLoop)
{
    Vra::AnimationPlayer once = Started(Counting(1, 30.0f, 0.0f), false);
    once.Update(0.1f);
    EXPECT_EQ(once.GetState(), AnimationState::Ended);
    EXPECT_EQ(once.GetTime(), 0.0f);
    EXPECT_EQ(once.GetPose().myJointCount, 2);

    Vra::AnimationPlayer looping = Started(Counting(1, 30.0f, 0.0f), true);
    looping.Update(0.1f);
    EXPECT_EQ(looping.GetState(), AnimationState::Playing);
    EXPECT_EQ(looping.GetTime(), 0.0f);
    EXPECT_EQ(looping.GetPose().myJointCount, 2);
}
