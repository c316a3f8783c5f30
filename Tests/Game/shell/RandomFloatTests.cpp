#include "shell/RandomFloat.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
    TEST(RandomFloat, AnEmptyRangeGivesItsBound)
    {
        for (int draw = 0; draw < 1000; ++draw)
        {
            ASSERT_EQ(RandomFloat(2.0f, 2.0f), 2.0f);
        }
    }

    TEST(RandomFloat, UnitRangeIsHalfOpenAndEvenlySpread)
    {
        constexpr int DRAWS = 200000;
        int buckets[10] = {};
        double sum = 0.0;
        for (int draw = 0; draw < DRAWS; ++draw)
        {
            const float value = RandomFloat(0.0f, 1.0f);
            ASSERT_GE(value, 0.0f);
            ASSERT_LT(value, 1.0f);
            ++buckets[static_cast<int>(value * 10.0f)];
            sum += value;
        }
        EXPECT_NEAR(sum / DRAWS, 0.5, 0.005);
        for (const int count : buckets)
        {
            EXPECT_NEAR(count, DRAWS / 10, DRAWS / 100);
        }
    }

    TEST(RandomFloat, ScalesAndShiftsIntoTheRange)
    {
        float lowest = 1e9f;
        float highest = -1e9f;
        for (int draw = 0; draw < 20000; ++draw)
        {
            const float value = RandomFloat(-2000.0f, 800.0f);
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
        EXPECT_GE(lowest, -2000.0f);
        EXPECT_LT(lowest, -1900.0f);
        EXPECT_LT(highest, 800.0f);
        EXPECT_GT(highest, 700.0f);
    }

    TEST(RandomFloat, ASeededRunRepeatsAndHandsOutItsSeed)
    {
        const auto draws = [] {
            std::vector<float> values;
            for (int draw = 0; draw < 16; ++draw)
            {
                values.push_back(RandomFloat(0.0f, 1.0f));
            }
            return values;
        };
        SeedGameRandomness(1234u);
        const std::vector<float> first = draws();
        EXPECT_EQ(MakeRandomSeed(), 1234u);
        SeedGameRandomness(1234u);
        EXPECT_EQ(draws(), first);
        SeedGameRandomness(99u);
        EXPECT_NE(draws(), first);
        SeedGameRandomness(std::nullopt);
        // From the random device again: two seeds in a row are not both the old fixed one.
        EXPECT_FALSE(MakeRandomSeed() == 99u && MakeRandomSeed() == 99u);
    }
}
