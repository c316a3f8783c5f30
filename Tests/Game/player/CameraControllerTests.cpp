#include "player/CameraController.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    using CommonUtilities::Vector3f;

    // A camera area far larger than any target of these tests.
    void SetWideBounds(CameraController& aController, float aFollowSpeed = 5.0f)
    {
        aController.SetSettings(aFollowSpeed, 2.0f, 3.0f, 800.0f, 450.0f, -100000.0f, -100000.0f, 100000.0f, 100000.0f);
    }

    TEST(CameraController, StartsWithTheDefaults)
    {
        const CameraController controller;
        EXPECT_EQ(controller.GetPosition(), Vector3f(0.0f, 0.0f, 0.0f));
        EXPECT_FLOAT_EQ(controller.GetFollowSpeed(), 5.0f);
        EXPECT_FLOAT_EQ(controller.GetLookAheadDistance(), 2.0f);
        EXPECT_FLOAT_EQ(controller.GetThirdSetting(), 3.0f);
        EXPECT_FLOAT_EQ(controller.GetHalfViewWidth(), 800.0f);
        EXPECT_FLOAT_EQ(controller.GetHalfViewHeight(), 450.0f);
        EXPECT_FLOAT_EQ(controller.GetBoundsMinX(), -1000.0f);
        EXPECT_FLOAT_EQ(controller.GetBoundsMinY(), -200.0f);
        EXPECT_FLOAT_EQ(controller.GetBoundsMaxX(), 1000.0f);
        EXPECT_FLOAT_EQ(controller.GetBoundsMaxY(), 1000.0f);
    }

    struct EaseCase
    {
        float myDeltaTime;
        float myFollowSpeed;
        float myExpectedFraction;
    };

    class CameraEaseTest : public testing::TestWithParam<EaseCase>
    {
    };

    TEST_P(CameraEaseTest, CoversTheFrameTimesFollowSpeedOfTheDistanceAtMostAll)
    {
        CameraController controller;
        SetWideBounds(controller, GetParam().myFollowSpeed);
        controller.SetPosition({ 100.0f, 200.0f, -1000.0f });
        controller.Update(GetParam().myDeltaTime, { 1100.0f, -800.0f, -500.0f });
        const float fraction = GetParam().myExpectedFraction;
        EXPECT_NEAR(controller.GetPosition().x, 100.0f + 1000.0f * fraction, 1e-3f);
        EXPECT_NEAR(controller.GetPosition().y, 200.0f - 1000.0f * fraction, 1e-3f);
        EXPECT_NEAR(controller.GetPosition().z, -1000.0f + 500.0f * fraction, 1e-3f);
    }

    INSTANTIATE_TEST_SUITE_P(Cases, CameraEaseTest,
        testing::Values(EaseCase{ 0.01f, 5.0f, 0.05f }, EaseCase{ 0.1f, 5.0f, 0.5f }, EaseCase{ 0.2f, 5.0f, 1.0f },
                        EaseCase{ 0.3f, 5.0f, 1.0f }, EaseCase{ 0.1f, 2.0f, 0.2f }, EaseCase{ 0.0f, 5.0f, 0.0f },
                        EaseCase{ 0.1f, -1.0f, 0.0f }));

    struct BoundsCase
    {
        Vector3f myTarget;
        float myMinX, myMinY, myMaxX, myMaxY;
        Vector3f myExpected;
    };

    class CameraBoundsTest : public testing::TestWithParam<BoundsCase>
    {
    };

    TEST_P(CameraBoundsTest, KeepsTheViewInsideTheArea)
    {
        const BoundsCase& testCase = GetParam();
        CameraController controller;
        controller.SetSettings(5.0f, 2.0f, 3.0f, 800.0f, 450.0f, testCase.myMinX, testCase.myMinY, testCase.myMaxX, testCase.myMaxY);
        controller.SetPosition(testCase.myTarget);
        controller.Update(0.3f, testCase.myTarget);
        EXPECT_FLOAT_EQ(controller.GetPosition().x, testCase.myExpected.x);
        EXPECT_FLOAT_EQ(controller.GetPosition().y, testCase.myExpected.y);
    }

    INSTANTIATE_TEST_SUITE_P(Cases, CameraBoundsTest,
        testing::Values(
            // Inside: unchanged.
            BoundsCase{ { 0.0f, 100.0f, 0.0f }, -1000.0f, -1000.0f, 1000.0f, 1000.0f, { 0.0f, 100.0f, 0.0f } },
            // Beyond the right and top bounds: the view's edge sits on the bound.
            BoundsCase{ { 5000.0f, 5000.0f, 0.0f }, -1000.0f, -200.0f, 3000.0f, 2000.0f, { 2200.0f, 1550.0f, 0.0f } },
            // Beyond the left and bottom bounds.
            BoundsCase{ { -5000.0f, -5000.0f, 0.0f }, -1000.0f, -200.0f, 3000.0f, 2000.0f, { -200.0f, 250.0f, 0.0f } },
            // An area narrower than the view: the upper bound wins.
            BoundsCase{ { 0.0f, 0.0f, 0.0f }, 0.0f, 0.0f, 500.0f, 300.0f, { -300.0f, -150.0f, 0.0f } },
            // 110 wide still clamps; 100 wide does not.
            BoundsCase{ { 0.0f, 0.0f, 0.0f }, 0.0f, 0.0f, 110.0f, 0.0f, { -690.0f, -450.0f, 0.0f } },
            BoundsCase{ { 5000.0f, -5000.0f, 0.0f }, 0.0f, 0.0f, 100.0f, 0.0f, { 5000.0f, -5000.0f, 0.0f } },
            // The width counts whichever way round the bounds are given.
            BoundsCase{ { 0.0f, 0.0f, 0.0f }, 100.0f, 0.0f, 0.0f, 0.0f, { 0.0f, 0.0f, 0.0f } }));

    TEST(CameraController, ShakeOffsetsByTheMagnitudeUntilItsDurationHasPassed)
    {
        CameraController controller;
        SetWideBounds(controller);
        const Vector3f rest(300.0f, 400.0f, -1000.0f);
        controller.Shake(0.2f, 2.0f);
        int shakenFrames = 0;
        for (int frame = 0; frame < 10; ++frame)
        {
            // Jumping straight to the target each frame leaves only the shake's offset.
            controller.SetPosition(rest);
            controller.Update(0.3f, rest);
            const Vector3f offset = controller.GetPosition() - rest;
            const float length = std::sqrt(offset.x * offset.x + offset.y * offset.y);
            if (length > 0.0f)
            {
                EXPECT_NEAR(length, 2.0f, 1e-4f);
                EXPECT_FLOAT_EQ(offset.z, 0.0f);
                ++shakenFrames;
            }
        }
        // Elapsed 0, 0.3: only the first frame starts below the duration.
        EXPECT_EQ(shakenFrames, 1);
        EXPECT_FLOAT_EQ(controller.GetShakeElapsed(), 0.3f);
    }

    TEST(CameraController, ShakeOffsetStaysInThePositionAndEasesAway)
    {
        CameraController controller;
        SetWideBounds(controller);
        controller.Shake(1.0f, 5.0f);
        controller.Update(0.1f, { 0.0f, 0.0f, 0.0f });
        const Vector3f shaken = controller.GetPosition();
        EXPECT_NEAR(std::sqrt(shaken.x * shaken.x + shaken.y * shaken.y), 5.0f, 1e-4f);
        controller.Shake(0.0f, 5.0f);
        controller.Update(0.1f, { 0.0f, 0.0f, 0.0f });
        EXPECT_NEAR(controller.GetPosition().x, shaken.x * 0.5f, 1e-4f);
        EXPECT_NEAR(controller.GetPosition().y, shaken.y * 0.5f, 1e-4f);
    }

    TEST(CameraController, NoShakeWithZeroDurationOrANarrowArea)
    {
        CameraController still;
        SetWideBounds(still);
        still.Shake(0.0f, 50.0f);
        still.Update(0.3f, { 10.0f, 20.0f, 0.0f });
        EXPECT_EQ(still.GetPosition(), Vector3f(10.0f, 20.0f, 0.0f));

        CameraController narrow;
        narrow.SetSettings(5.0f, 2.0f, 3.0f, 800.0f, 450.0f, 0.0f, 0.0f, 100.0f, 100.0f);
        narrow.Shake(1.0f, 50.0f);
        narrow.Update(0.3f, { 10.0f, 20.0f, 0.0f });
        EXPECT_EQ(narrow.GetPosition(), Vector3f(10.0f, 20.0f, 0.0f));
        EXPECT_FLOAT_EQ(narrow.GetShakeElapsed(), 0.0f);
    }
}
