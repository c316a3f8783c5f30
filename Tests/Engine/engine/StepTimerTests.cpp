#include "engine/StepTimer.h"

#include <gtest/gtest.h>

namespace
{
    constexpr std::int64_t FREQUENCY = 3'000'000; // counts per second, not a multiple of the tick rate's divisors

    struct StepCase
    {
        std::int64_t myCounts;
        std::uint64_t myExpectedTicks;
    };

    class StepTimerSteps : public ::testing::TestWithParam<StepCase> {};

    TEST_P(StepTimerSteps, ConvertsCountsToTicksOfHundredNanosecondsAndClampsAtATenth)
    {
        const StepCase& step = GetParam();
        Vra::StepTimer timer(FREQUENCY, 1000);
        const float delta = timer.Step(1000 + step.myCounts);
        EXPECT_EQ(timer.GetElapsedTicks(), step.myExpectedTicks);
        EXPECT_FLOAT_EQ(delta, static_cast<float>(step.myExpectedTicks) / 10'000'000.0f);
    }

    INSTANTIATE_TEST_SUITE_P(Table, StepTimerSteps, ::testing::Values(
        StepCase{ 0, 0 },
        StepCase{ 1, 3 },                   // integer division: 10,000,000 / 3,000,000 rounds down
        StepCase{ 50'000, 166'666 },        // 1/60 s
        StepCase{ 300'000, 1'000'000 },     // exactly the limit
        StepCase{ 300'001, 1'000'000 },
        StepCase{ 6'000'000, 1'000'000 },   // a 2 s stall advances by 0.1 s only
        StepCase{ -500, 0 }));              // a counter that went back

    TEST(StepTimer, EachStepStartsWhereTheLastOneEnded)
    {
        Vra::StepTimer timer(FREQUENCY, 0);
        timer.Step(6'000'000);
        const float delta = timer.Step(6'000'000 + 30'000);
        EXPECT_FLOAT_EQ(delta, 0.01f);
    }

    std::int64_t theTestCounter = 0;

    TEST(StepTimer, ASetCounterSourceStepsTheTimerUntilItIsCleared)
    {
        theTestCounter = 5'000'000'000;
        Vra::StepTimer::SetCounterSource([] { return theTestCounter; });
        Vra::StepTimer timer;
        theTestCounter += 25'000'000;
        const float delta = timer.Step();
        Vra::StepTimer::SetCounterSource(nullptr);
        EXPECT_FLOAT_EQ(delta, 0.025f);
        EXPECT_NE(Vra::StepTimer::ReadCounter(), theTestCounter);
    }
}
