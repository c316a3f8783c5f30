#include "Timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
    TEST(Timer, ZeroBeforeTheFirstUpdate)
    {
        const CommonUtilities::Timer timer;
        EXPECT_EQ(timer.GetDeltaTime(), 0.0f);
        EXPECT_EQ(timer.GetTotalTime(), 0.0);
    }

    TEST(Timer, FirstUpdateMeasuresFromConstruction)
    {
        CommonUtilities::Timer timer;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        timer.Update();
        EXPECT_GE(timer.GetDeltaTime(), 0.03f);
        EXPECT_LT(timer.GetDeltaTime(), 5.0f);
    }

    TEST(Timer, DeltasAreNonNegativeAndSumToTheTotal)
    {
        CommonUtilities::Timer timer;
        double sum = 0.0;
        for (int i = 0; i < 100; ++i)
        {
            timer.Update();
            EXPECT_GE(timer.GetDeltaTime(), 0.0f);
            sum += timer.GetDeltaTime();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        timer.Update();
        EXPECT_GE(timer.GetDeltaTime(), 0.005f);
        sum += timer.GetDeltaTime();
        EXPECT_NEAR(timer.GetTotalTime(), sum, 1e-5);
    }
}
