#include "RigFiles.h"

#include <algorithm>
#include <numeric>

// What each clip has to show, told from where its joints go (the game's axes: x right, y up,
// z into the view).
using namespace RigFiles;
using Vra::FBX::ImportedAnimation;
using Vra::FBX::ImportedMatrix;

namespace
{
    const ImportedAnimation& BirdClip(const std::string& aName) { return Clip("animation/Bird/" + aName + ".fbx"); }
    const ImportedAnimation& FoxClip(const std::string& aName) { return Clip("animation/Fox/" + aName + ".fbx"); }
    const ImportedAnimation& BeetleClip(const std::string& aName) { return Clip("animation/Beetle/" + aName + ".fbx"); }

    // One coordinate of a joint over every frame of a clip.
    std::vector<float> Track(const ImportedAnimation& aClip, const std::string& aJoint, int anAxis)
    {
        std::vector<float> values;
        for (std::size_t frame = 0; frame < aClip.Frames.size(); ++frame)
        {
            values.push_back(JointAt(aClip, frame, aJoint)[anAxis]);
        }
        return values;
    }

    float Range(const std::vector<float>& someValues)
    {
        const auto [low, high] = std::minmax_element(someValues.begin(), someValues.end());
        return *high - *low;
    }

    float Correlation(const std::vector<float>& a, const std::vector<float>& b)
    {
        const float meanA = std::accumulate(a.begin(), a.end(), 0.f) / a.size();
        const float meanB = std::accumulate(b.begin(), b.end(), 0.f) / b.size();
        float ab = 0.f, aa = 0.f, bb = 0.f;
        for (std::size_t i = 0; i < a.size(); ++i)
        {
            ab += (a[i] - meanA) * (b[i] - meanB);
            aa += (a[i] - meanA) * (a[i] - meanA);
            bb += (b[i] - meanB) * (b[i] - meanB);
        }
        return ab / std::sqrt(aa * bb);
    }

    // The angle in degrees between a joint's local orientation on two frames.
    float TurnBetween(const ImportedAnimation& aClip, const std::string& aJoint, std::size_t aFirst, std::size_t aSecond)
    {
        const ImportedMatrix& a = aClip.Frames.at(aFirst).LocalTransforms.at(aJoint);
        const ImportedMatrix& b = aClip.Frames.at(aSecond).LocalTransforms.at(aJoint);
        float trace = 0.f;
        for (int axis = 1; axis <= 3; ++axis)
        {
            float lengthA = 0.f, lengthB = 0.f, dot = 0.f;
            for (int k = 1; k <= 3; ++k)
            {
                lengthA += a(axis, k) * a(axis, k);
                lengthB += b(axis, k) * b(axis, k);
                dot += a(axis, k) * b(axis, k);
            }
            trace += dot / std::sqrt(lengthA * lengthB);
        }
        return std::acos(std::clamp((trace - 1.f) / 2.f, -1.f, 1.f)) * 57.29578f;
    }

    float LargestTurn(const ImportedAnimation& aClip, const std::string& aJoint)
    {
        float largest = 0.f;
        for (std::size_t frame = 1; frame < aClip.Frames.size(); ++frame)
        {
            largest = std::max(largest, TurnBetween(aClip, aJoint, 0, frame));
        }
        return largest;
    }

    constexpr int X = 0, Y = 1, Z = 2;
}

TEST(ContentMotion, CharactersFaceTheWayTheGameTurnsThem)
{
    // The bird looks along +x (the player mirrors it to face left); the fox runs to -x unmirrored;
    // the beetle looks along +z, which the pad's quarter turn about y makes its path direction.
    const ImportedAnimation& bird = BirdClip("A_bird_idle");
    EXPECT_GT(JointAt(bird, 0, "Jaw")[X], JointAt(bird, 0, "Root")[X] + 30.f);
    EXPECT_LT(JointAt(bird, 0, "Tail")[X], JointAt(bird, 0, "Root")[X] - 15.f);
    const ImportedAnimation& fox = FoxClip("A_Fox_Idle");
    EXPECT_LT(JointAt(fox, 0, "Head")[X], JointAt(fox, 0, "Hips")[X] - 200.f);
    const ImportedAnimation& beetle = BeetleClip("A_Beetle_Fly");
    EXPECT_GT(JointAt(beetle, 0, "Head")[Z], JointAt(beetle, 0, "Body")[Z] + 40.f);
    EXPECT_NEAR(JointAt(beetle, 0, "Head")[X], 0.f, 1.f);
}

TEST(ContentMotion, BirdWalksAndRunsOnAlternatingFeet)
{
    float walkStride = 0.f;
    for (const char* name : {"A_bird_walk", "A_bird_run"})
    {
        const ImportedAnimation& clip = BirdClip(name);
        const std::vector<float> left = Track(clip, "Foot_L", X);
        const std::vector<float> right = Track(clip, "Foot_R", X);
        EXPECT_GT(Range(left), 20.f) << name;
        EXPECT_LT(Correlation(left, right), -0.8f) << name << ": the feet should take turns";
        if (walkStride == 0.f)
        {
            walkStride = Range(left);
        }
        else
        {
            EXPECT_GT(Range(left), walkStride * 1.2f) << "a run takes longer strides than a walk";
        }
    }
    const ImportedAnimation& idle = BirdClip("A_bird_idle");
    EXPECT_LT(Range(Track(idle, "Foot_L", X)), 1.f) << "standing still, the feet stay planted";
    EXPECT_GT(Range(Track(idle, "Head", Y)), 1.f) << "but the bird breathes and looks about";
}

TEST(ContentMotion, BirdDashStretchesItsBodyAlongTheDash)
{
    const ImportedAnimation& dash = BirdClip("A_bird_dash");
    const float atRest = JointAt(dash, 0, "Head")[X] - JointAt(dash, 0, "Tail")[X];
    float longest = 0.f;
    for (std::size_t frame = 0; frame < dash.Frames.size(); ++frame)
    {
        longest = std::max(longest, JointAt(dash, frame, "Head")[X] - JointAt(dash, frame, "Tail")[X]);
    }
    EXPECT_GT(longest, atRest * 1.3f);
}

TEST(ContentMotion, BirdRaisesItsWingsInTheAirAndFoldsThemOnTheGround)
{
    // How far the wing's elbow stands above its shoulder.
    const auto lift = [](const ImportedAnimation& aClip, std::size_t aFrame) {
        return JointAt(aClip, aFrame, "WingTip_R")[Y] - JointAt(aClip, aFrame, "Wing_R")[Y];
    };
    EXPECT_LT(lift(BirdClip("A_bird_idle"), 0), 0.f);
    for (const char* name : {"A_bird_jumpInAir", "A_bird_falling", "A_bird_doubleJump", "A_Bird_NeutralJumpInAir", "A_Bird_PowerUp"})
    {
        const ImportedAnimation& clip = BirdClip(name);
        float highest = -1e9f;
        for (std::size_t frame = 0; frame < clip.Frames.size(); ++frame)
        {
            highest = std::max(highest, lift(clip, frame));
        }
        EXPECT_GT(highest, 15.f) << name;
    }
    // A flap goes up and down.
    EXPECT_GT(Range(Track(BirdClip("A_bird_jumpInAir"), "WingTip_R", Y)), 20.f);
}

TEST(ContentMotion, BirdFallsOnItsBackWhenItDies)
{
    const ImportedAnimation& death = BirdClip("A_bird_death_fallBack");
    const std::size_t last = death.Frames.size() - 1;
    EXPECT_LT(JointAt(death, last, "Head")[Y], JointAt(death, 0, "Head")[Y] * 0.5f) << "the head ends near the ground";
    EXPECT_LT(JointAt(death, last, "Head")[X], JointAt(death, 0, "Head")[X] - 40.f) << "backwards, away from its beak";
    EXPECT_GT(JointAt(death, last, "Foot_R")[Y], 30.f) << "feet up";
}

TEST(ContentMotion, BirdOpensItsBeakToSquawk)
{
    for (const char* name : {"A_BirdSquawk001", "A_BirdSquawk002", "A_outro_wip"})
    {
        EXPECT_GT(LargestTurn(BirdClip(name), "Jaw"), 25.f) << name;
    }
    EXPECT_LT(LargestTurn(BirdClip("A_bird_idle"), "Jaw"), 1.f);
}

TEST(ContentMotion, BirdDivesBeakFirstAndPlantsItInTheSnow)
{
    const ImportedAnimation& ready = BirdClip("A_bird_pogoReady");
    for (std::size_t frame = 0; frame < ready.Frames.size(); ++frame)
    {
        EXPECT_LT(JointAt(ready, frame, "Jaw")[Y], JointAt(ready, frame, "Body")[Y]) << "beak below the body";
    }
    const ImportedAnimation& fail = BirdClip("A_bird_pogoFail");
    const std::size_t planted = 4;
    EXPECT_LT(JointAt(fail, planted, "Jaw")[Y], 10.f) << "beak in the snow";
    EXPECT_GT(JointAt(fail, planted, "Foot_L")[Y], JointAt(fail, planted, "Head")[Y]) << "upside down";
    // A landing in play stands the bird up after 0.3 s: by then it is on its feet again.
    for (const std::size_t upright : {std::size_t{9}, fail.Frames.size() - 1})
    {
        EXPECT_LT(JointAt(fail, upright, "Foot_L")[Y], 6.f) << "back on its feet at frame " << upright;
        EXPECT_GT(JointAt(fail, upright, "Head")[Y], 60.f) << "head up at frame " << upright;
    }
}

TEST(ContentMotion, BirdBracesItsFeetOnTheWallInFront)
{
    const ImportedAnimation& wall = BirdClip("A_bird_onWall");
    for (std::size_t frame = 0; frame < wall.Frames.size(); frame += 5)
    {
        EXPECT_GT(JointAt(wall, frame, "Foot_L")[X], JointAt(wall, frame, "Root")[X] + 15.f);
    }
}

TEST(ContentMotion, FoxGallopsAndCrossesTheSceneInItsSneak)
{
    const ImportedAnimation& run = FoxClip("A_Fox_Run");
    EXPECT_GT(Range(Track(run, "FrontLPaw", X)), 100.f);
    EXPECT_GT(Range(Track(run, "HindLPaw", X)), 100.f);

    const ImportedAnimation& sneak = FoxClip("A_fox_event001");
    const std::size_t last = sneak.Frames.size() - 1;
    EXPECT_GT(JointAt(sneak, 0, "Root")[X], 2500.f) << "starts well to the right";
    EXPECT_LT(JointAt(sneak, last, "Root")[X], -2500.f) << "ends well to the left";
    const std::size_t middle = last / 2;
    EXPECT_LT(JointAt(sneak, middle, "Hips")[Y], JointAt(sneak, 0, "Hips")[Y] - 30.f) << "slinks low in the middle";
    const std::vector<float> path = Track(sneak, "Root", X);
    for (std::size_t frame = 1; frame < path.size(); ++frame)
    {
        EXPECT_LT(path[frame], path[frame - 1]) << "never turns back, frame " << frame;
    }
}

TEST(ContentMotion, FoxCrouchesAndPounces)
{
    for (const char* name : {"A_Fox_chargeAnticipation", "A_Fox_attackAnticipation"})
    {
        EXPECT_GT(Range(Track(FoxClip(name), "Hips", Y)), 30.f) << name;
    }
    const ImportedAnimation& attack = FoxClip("A_Fox_Attack");
    const std::vector<float> height = Track(attack, "Root", Y);
    const auto peak = std::max_element(height.begin(), height.end()) - height.begin();
    EXPECT_GT(height[peak] - height.front(), 100.f) << "leaps";
    EXPECT_LT(JointAt(attack, peak, "Root")[X], JointAt(attack, 0, "Root")[X] - 100.f) << "forwards, where it faces";
    EXPECT_GT(LargestTurn(attack, "Jaw"), 20.f) << "and snaps";
}

TEST(ContentMotion, BeetleBeatsItsWingsAndGivesWayWhenHit)
{
    const ImportedAnimation& fly = BeetleClip("A_Beetle_Fly");
    const std::vector<float> wing = [&] {
        std::vector<float> values;
        for (std::size_t frame = 0; frame < fly.Frames.size(); ++frame)
        {
            values.push_back(TurnBetween(fly, "Wing_L", 0, frame));
        }
        return values;
    }();
    const float middle = (*std::max_element(wing.begin(), wing.end())) / 2.f;
    int crossings = 0;
    for (std::size_t frame = 1; frame < wing.size(); ++frame)
    {
        crossings += (wing[frame - 1] < middle) != (wing[frame] < middle);
    }
    EXPECT_GE(crossings, 8) << "several beats a second";
    EXPECT_GT(*std::max_element(wing.begin(), wing.end()), 40.f);
    EXPECT_GT(Range(Track(BeetleClip("A_Beetle_Hit"), "Root", Y)), 4.f) << "sinks under the bird";
}

TEST(ContentMotion, ClipsThatFollowEachOtherMeet)
{
    // The animated object cuts from a clip to the one queued after it without blending, so those
    // pairs must share the pose at the cut.
    const struct
    {
        std::string myFirst;
        std::string mySecond;
        float myTolerance;
    } pairs[] = {
        {"animation/Bird/A_bird_jumpStart.fbx", "animation/Bird/A_bird_jumpInAir.fbx", 2.f},
        {"animation/Bird/A_Bird_NeutralJumpStart.fbx", "animation/Bird/A_Bird_NeutralJumpInAir.fbx", 2.f},
        {"animation/Bird/A_bird_FallingTransition.fbx", "animation/Bird/A_bird_falling.fbx", 2.f},
        {"animation/Bird/A_bird_PogoReadyTransition.fbx", "animation/Bird/A_bird_pogoReady.fbx", 2.f},
        {"animation/Bird/A_bird_pogoImpact.fbx", "animation/Bird/A_bird_jumpInAir.fbx", 2.f},
        {"animation/Bird/A_BirdSquawk001.fbx", "animation/Bird/A_bird_idle.fbx", 2.f},
        {"animation/Bird/A_BirdSquawk002.fbx", "animation/Bird/A_bird_idle.fbx", 2.f},
        {"animation/Bird/A_Bird_PowerUp.fbx", "animation/Bird/A_bird_idle.fbx", 2.f},
        {"animation/Fox/A_Fox_chargeAnticipation.fbx", "animation/Fox/A_Fox_Idle.fbx", 8.f},
        {"animation/Fox/A_Fox_Attack.fbx", "animation/Fox/A_Fox_Run.fbx", 8.f},
        {"animation/Beetle/A_Beetle_Hit.fbx", "animation/Beetle/A_Beetle_Fly.fbx", 2.f},
    };
    for (const auto& pair : pairs)
    {
        const ImportedAnimation& first = Clip(pair.myFirst);
        const ImportedAnimation& second = Clip(pair.mySecond);
        ASSERT_FALSE(first.Frames.empty());
        ASSERT_FALSE(second.Frames.empty());
        for (const auto& [joint, matrix] : first.Frames.back().GlobalTransforms)
        {
            EXPECT_LT(Distance(Translation(matrix), JointAt(second, 0, joint)), pair.myTolerance)
                << pair.myFirst << " into " << pair.mySecond << ": " << joint;
        }
    }
}
