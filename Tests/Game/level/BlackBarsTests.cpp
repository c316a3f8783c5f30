#include "level/BlackBars.h"

#include "graphics/Camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
    class BlackBarsTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            myCamera->myTransform.SetTranslation({ 300.0f, 100.0f, -1000.0f });
            myBars.Init(myCamera, nullptr);
        }

        void Step(float aDeltaTime, int aCount)
        {
            for (int frame = 0; frame < aCount; ++frame)
            {
                myBars.Update(aDeltaTime);
            }
        }

        void ExpectBars(float anUpperY, float aLowerY) const
        {
            const Vra::Vector3f upper = myBars.GetUpperBar().myTransform.GetTranslation();
            const Vra::Vector3f lower = myBars.GetLowerBar().myTransform.GetTranslation();
            EXPECT_NEAR(upper.x, -700.0f, 1e-3f);
            EXPECT_NEAR(upper.y, anUpperY, 1e-3f);
            EXPECT_FLOAT_EQ(upper.z, -900.0f);
            EXPECT_NEAR(lower.x, -700.0f, 1e-3f);
            EXPECT_NEAR(lower.y, aLowerY, 1e-3f);
            EXPECT_FLOAT_EQ(lower.z, -900.0f);
        }

        std::shared_ptr<Vra::Camera> myCamera = std::make_shared<Vra::Camera>();
        BlackBars myBars;
    };

    TEST_F(BlackBarsTest, InitScalesTheBarsOnceAndKeepsTheFirstCamera)
    {
        EXPECT_TRUE(myBars.IsInitialised());
        EXPECT_FLOAT_EQ(myBars.GetUpperBar().myTransform(1, 1), 2000.0f);
        EXPECT_FLOAT_EQ(myBars.GetUpperBar().myTransform(2, 2), 200.0f);
        EXPECT_FLOAT_EQ(myBars.GetLowerBar().myTransform(1, 1), 2000.0f);
        EXPECT_FALSE(myBars.IsShowing());
        EXPECT_FALSE(myBars.IsHiding());

        auto other = std::make_shared<Vra::Camera>();
        myBars.Init(other, nullptr);
        EXPECT_FLOAT_EQ(myBars.GetUpperBar().myTransform(1, 1), 2000.0f);
        myBars.Show(1.0f);
        Step(0.25f, 2);
        ExpectBars(800.0f - 200.0f * 0.5f, -400.0f + 200.0f * 0.5f);
    }

    TEST_F(BlackBarsTest, ShowSlidesTheBarsInAndHoldsThemAtTheShownOffsets)
    {
        myBars.Show(1.0f);
        myBars.Update(0.25f);
        ExpectBars(800.0f - 200.0f * 0.25f, -400.0f + 200.0f * 0.25f);
        Step(0.25f, 10);
        EXPECT_FLOAT_EQ(myBars.GetProgress(), 1.0f);
        ExpectBars(600.0f, -200.0f);
        // The bars follow the camera while shown.
        myCamera->myTransform.SetTranslation({ 300.0f, 0.0f, -1000.0f });
        myBars.Update(0.1f);
        ExpectBars(500.0f, -300.0f);
    }

    TEST_F(BlackBarsTest, HideWhileSlidingInSlidesBackFromWhereTheBarsAre)
    {
        myBars.Show(1.0f);
        Step(0.25f, 2);
        myBars.Hide();
        EXPECT_TRUE(myBars.IsHiding());
        EXPECT_FALSE(myBars.IsShowing());
        myBars.Update(0.25f);
        ExpectBars(800.0f - 200.0f * 0.25f, -400.0f + 200.0f * 0.25f);
        Step(0.25f, 2);
        EXPECT_FLOAT_EQ(myBars.GetProgress(), 0.0f);
        EXPECT_FALSE(myBars.IsHiding());
    }

    TEST_F(BlackBarsTest, AShowTimeOfZeroOrLessShowsTheBarsAtOnce)
    {
        for (const float time : { 0.0f, -1.0f })
        {
            BlackBars bars;
            bars.Init(myCamera, nullptr);
            bars.Show(time);
            bars.Update(0.016f);
            const Vra::Vector3f upper = bars.GetUpperBar().myTransform.GetTranslation();
            const Vra::Vector3f lower = bars.GetLowerBar().myTransform.GetTranslation();
            EXPECT_FALSE(std::isnan(upper.y)) << time;
            EXPECT_NEAR(upper.y, 600.0f, 1e-3f) << time;
            EXPECT_NEAR(lower.y, -200.0f, 1e-3f) << time;
            bars.Hide();
            bars.Update(0.016f);
            EXPECT_FALSE(std::isnan(bars.GetUpperBar().myTransform.GetTranslation().y));
        }
    }

    TEST_F(BlackBarsTest, ASecondShowOnlyChangesTheTime)
    {
        myBars.Show(1.0f);
        Step(0.25f, 2);
        myBars.Show(2.0f);
        EXPECT_FLOAT_EQ(myBars.GetProgress(), 0.5f);
        myBars.Update(0.5f);
        ExpectBars(800.0f - 200.0f * 0.5f, -400.0f + 200.0f * 0.5f);
    }
}
