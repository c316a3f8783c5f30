#include "../player/PlayerTestSupport.h"

#include "objects/PogoPad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace
{
    using namespace PlayerTestSupport;

    constexpr float PAD_DT = 1.0f / 200.0f;

    CommonUtilities::Vector4 ExpectedTextureRectangle(int aFrame)
    {
        const float column = static_cast<float>(aFrame % 4);
        const float row = static_cast<float>(aFrame / 4);
        return { column * 0.25f, row * 0.25f, (column + 1.0f) * 0.25f, (row + 1.0f) * 0.25f };
    }

    void ExpectShowsFrame(const PogoPad& aPad, int aFrame)
    {
        const CommonUtilities::Vector4 expected = ExpectedTextureRectangle(aFrame);
        const Vra::Vector4<float>& shown = aPad.GetSprite().myTextureRectangle;
        EXPECT_FLOAT_EQ(shown.x, expected.x);
        EXPECT_FLOAT_EQ(shown.y, expected.y);
        EXPECT_FLOAT_EQ(shown.z, expected.z);
        EXPECT_FLOAT_EQ(shown.w, expected.w);
    }

    TEST(PogoPad, MushroomStartsWholeAndBouncesFromASphereAboveRightOfItsPosition)
    {
        CapturedOutput output;
        PogoPad pad;
        pad.InitMushroom({ 100.0f, 200.0f, 50.0f }, { 2.0f, 3.0f, 4.0f }, 60.0f, 1.0f);
        EXPECT_TRUE(pad.IsMushroom());
        EXPECT_TRUE(pad.CanBounce());
        const CommonUtilities::Vector4 bounds = pad.GetBounds();
        EXPECT_EQ(bounds, CommonUtilities::Vector4(160.0f, 260.0f, 0.0f, 60.0f));
        EXPECT_EQ(pad.GetSecondVector(), Vector3f(2.0f, 3.0f, 4.0f));
        EXPECT_FLOAT_EQ(pad.GetSprite().myPosition.x, 50.0f);
        EXPECT_FLOAT_EQ(pad.GetSprite().myPosition.y, 150.0f);
        EXPECT_FLOAT_EQ(pad.GetSprite().myPivot.x, 0.2f);
        EXPECT_FLOAT_EQ(pad.GetSprite().myPivot.y, 0.8f);
        ExpectShowsFrame(pad, 0);
    }

    TEST(PogoPad, MushroomBreaksOverFifteenFramesStaysBrokenUntilTheCooldownThenRegrowsFromFrameFour)
    {
        CapturedOutput output;
        PogoPad pad;
        pad.InitMushroom({ 0.0f, 0.0f, 0.0f }, { 1.0f, 1.0f, 1.0f }, 50.0f, 2.0f);
        pad.OnHit();
        EXPECT_FALSE(pad.CanBounce());
        EXPECT_FLOAT_EQ(pad.GetCooldownTimer(), 2.0f);

        // 0.05 s a frame: frame 15 after 0.75 s.
        float time = 0.0f;
        while (pad.GetFrameIndex() < PogoPad::BROKEN_FRAME && time < 2.0f)
        {
            const int before = pad.GetFrameIndex();
            pad.Update(PAD_DT);
            time += PAD_DT;
            ASSERT_LE(pad.GetFrameIndex() - before, 1);
            ASSERT_GE(pad.GetFrameIndex(), before);
        }
        EXPECT_NEAR(time, 0.75f, 15.0f * PAD_DT);
        ExpectShowsFrame(pad, 15);
        for (int frame = 0; frame < 200; ++frame)
        {
            pad.Update(PAD_DT);
        }
        EXPECT_EQ(pad.GetFrameIndex(), 15) << "broken until the cooldown ends";
        EXPECT_FALSE(pad.CanBounce());

        // Run out the cooldown (2.0 s from the hit).
        while (pad.GetCooldownTimer() > 0.0f)
        {
            pad.Update(PAD_DT);
        }
        EXPECT_TRUE(pad.CanBounce());
        pad.Update(PAD_DT);
        EXPECT_EQ(pad.GetFrameIndex(), 4);
        ExpectShowsFrame(pad, 4);
        float regrow = PAD_DT;
        while (pad.GetFrameIndex() > 0 && regrow < 1.0f)
        {
            pad.Update(PAD_DT);
            regrow += PAD_DT;
        }
        EXPECT_NEAR(regrow, 0.2f, 5.0f * PAD_DT);
        ExpectShowsFrame(pad, 0);
        pad.Update(PAD_DT);
        EXPECT_EQ(pad.GetFrameIndex(), 0);
    }

    struct EaseCase
    {
        float myCurrent;
        float myExpected;
    };

    class BeetleEaseTest : public testing::TestWithParam<EaseCase>
    {
    };

    TEST_P(BeetleEaseTest, SlowsToATenthAtEitherEnd)
    {
        const PogoPad pad;
        // Home 0, end 300, ease distance 50.
        EXPECT_NEAR(pad.EaseFactor(GetParam().myCurrent, 0.0f, 300.0f), GetParam().myExpected, 1e-5f);
    }

    INSTANTIATE_TEST_SUITE_P(Cases, BeetleEaseTest,
        testing::Values(EaseCase{ 0.0f, 0.1f }, EaseCase{ 300.0f, 0.1f }, EaseCase{ 150.0f, 1.0f }, EaseCase{ 50.0f, 1.0f },
                        EaseCase{ 25.0f, std::min(1.0f, 0.1f + std::sin(0.25f * 3.14159265f)) },
                        EaseCase{ 295.0f, 0.1f + std::sin(0.05f * 3.14159265f) }, EaseCase{ -20.0f, 0.1f + std::sin(0.2f * 3.14159265f) }));

    struct BeetlePath
    {
        const char* myName;
        bool myVertical;
        bool myInverted;
    };

    void PrintTo(const BeetlePath& aCase, std::ostream* aStream)
    {
        *aStream << aCase.myName;
    }

    class BeetlePathTest : public testing::TestWithParam<BeetlePath>
    {
    };

    TEST_P(BeetlePathTest, FliesToTheEndTurnsAndComesBackHome)
    {
        CapturedOutput output;
        const BeetlePath& path = GetParam();
        PogoPad pad;
        pad.InitBeetle({ 100.0f, 200.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 40.0f, 300.0f, path.myVertical, path.myInverted);
        EXPECT_FALSE(pad.IsMushroom());
        const float home = path.myVertical ? 200.0f : 100.0f;
        const float end = path.myInverted ? home - 300.0f : home + 300.0f;
        auto coordinate = [&pad, &path] { return path.myVertical ? pad.GetPosition().y : pad.GetPosition().x; };
        auto other = [&pad, &path] { return path.myVertical ? pad.GetPosition().x : pad.GetPosition().y; };
        const float otherStart = other();

        float minimum = coordinate();
        float maximum = coordinate();
        int turns = 0;
        bool forward = pad.IsMovingForward();
        for (int frame = 0; frame < 2000 && turns < 2; ++frame)
        {
            pad.Update(PAD_DT);
            minimum = std::min(minimum, coordinate());
            maximum = std::max(maximum, coordinate());
            if (pad.IsMovingForward() != forward)
            {
                forward = pad.IsMovingForward();
                ++turns;
                EXPECT_NEAR(coordinate(), turns == 1 ? end : home, 1.0f);
            }
            ASSERT_FLOAT_EQ(other(), otherStart);
        }
        EXPECT_EQ(turns, 2);
        EXPECT_NEAR(std::min(home, end), minimum, 1.0f);
        EXPECT_NEAR(std::max(home, end), maximum, 1.0f);
        // The model sits one radius right of and above the position.
        EXPECT_FLOAT_EQ(pad.GetOrientation()(4, 1), pad.GetPosition().x + 40.0f);
        EXPECT_FLOAT_EQ(pad.GetOrientation()(4, 2), pad.GetPosition().y + 40.0f);
    }

    INSTANTIATE_TEST_SUITE_P(Paths, BeetlePathTest,
        testing::Values(BeetlePath{ "AlongX", false, false }, BeetlePath{ "AlongXInverted", false, true }, BeetlePath{ "AlongY", true, false },
                        BeetlePath{ "AlongYInverted", true, true }),
        [](const testing::TestParamInfo<BeetlePath>& anInfo) { return std::string(anInfo.param.myName); });

    TEST(PogoPad, BeetleStartsSlowAtHomeAndIsFastestMidway)
    {
        CapturedOutput output;
        PogoPad pad;
        pad.InitBeetle({ 0.0f, 0.0f, 0.0f }, { 1.0f, 1.0f, 1.0f }, 40.0f, 400.0f, false, false);
        pad.Update(0.01f);
        EXPECT_NEAR(pad.GetPosition().x, 250.0f * 0.01f * 0.1f, 1e-4f);
        while (pad.GetPosition().x < 200.0f)
        {
            pad.Update(0.01f);
        }
        const float before = pad.GetPosition().x;
        pad.Update(0.01f);
        EXPECT_NEAR(pad.GetPosition().x - before, 2.5f, 1e-4f);
    }

    TEST(PogoPad, BeetleShortPathStandsStillButGivesWayAndSettlesBackToExactlyZero)
    {
        CapturedOutput output;
        PogoPad pad;
        pad.InitBeetle({ 10.0f, 20.0f, 30.0f }, { 1.0f, 1.0f, 1.0f }, 40.0f, 0.5f, false, false);
        pad.OnHit();
        EXPECT_TRUE(pad.CanBounce()) << "a beetle can always be bounced on";
        float peak = 0.0f;
        bool settled = false;
        for (int frame = 0; frame < 1000 && !settled; ++frame)
        {
            pad.Update(1.0f / 60.0f);
            EXPECT_EQ(pad.GetPosition(), Vector3f(10.0f, 20.0f, 30.0f));
            EXPECT_GE(pad.GetSink(), 0.0f);
            peak = std::max(peak, pad.GetSink());
            EXPECT_FLOAT_EQ(pad.GetOrientation()(4, 2), 20.0f + 40.0f - pad.GetSink());
            settled = pad.GetSinkSpeed() <= 0.0f && pad.GetSink() == 0.0f;
        }
        EXPECT_TRUE(settled);
        // 500 units/s slowed by 1500 units/s²: a peak near 500² / (2 x 1500).
        EXPECT_NEAR(peak, 500.0f * 500.0f / 3000.0f, 5.0f);
        EXPECT_EQ(pad.GetSink(), 0.0f);
        EXPECT_TRUE(pad.CanBounce());
    }

    TEST(PogoPad, APadInReachOfThePogoIsHitByThePogoJump)
    {
        PlayerWorld world({ 0.0f, 1000.0f, 0.0f });
        world.myPogoPads.resize(2);
        world.myPogoPads[0].InitMushroom({ -50.0f, 990.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 50.0f, 2.0f);
        world.myPogoPads[1].InitMushroom({ -60.0f, 980.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 50.0f, 2.0f);
        world.myPlayer.CheckCollision();
        ASSERT_TRUE(world.myPlayer.IsOverPogoPad());
        EXPECT_EQ(world.myPlayer.GetPadInReach(), &world.myPogoPads[1]) << "the last pad in reach wins";

        world.myPogoPads[1].OnHit();
        world.myPlayer.CheckCollision();
        EXPECT_EQ(world.myPlayer.GetPadInReach(), &world.myPogoPads[0]) << "a broken mushroom is out of reach";

        world.myPlayer.HitPogoPad();
        EXPECT_FALSE(world.myPogoPads[0].CanBounce());
        world.myPlayer.CheckCollision();
        EXPECT_FALSE(world.myPlayer.IsOverPogoPad());
        EXPECT_EQ(world.myPlayer.GetPadInReach(), nullptr);
    }
}
