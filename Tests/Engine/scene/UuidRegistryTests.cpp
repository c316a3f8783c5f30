#include "scene/UuidRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
    TEST(UuidRegistry, IdsAreDenseInFirstSeenOrderAndTheNilUuidIsZero)
    {
        EXPECT_EQ(Vra::UuidRegistry::GetId("00000000-0000-0000-0000-000000000000"), 0u);
        const std::uint32_t first = Vra::UuidRegistry::GetId("a1b2c3d4-0000-4000-8000-000000000001");
        const std::uint32_t second = Vra::UuidRegistry::GetId("a1b2c3d4-0000-4000-8000-000000000002");
        EXPECT_GE(first, 1u);
        EXPECT_EQ(second, first + 1);
        EXPECT_EQ(Vra::UuidRegistry::GetId("A1B2C3D4-0000-4000-8000-000000000001"), first);
        EXPECT_EQ(Vra::UuidRegistry::GetId("a1b2c3d4-0000-4000-8000-000000000002"), second);

        Platform::Uuid expected;
        ASSERT_TRUE(Platform::UuidFromString("a1b2c3d4-0000-4000-8000-000000000002", expected));
        EXPECT_EQ(Vra::UuidRegistry::GetUuid(second), expected);
        EXPECT_EQ(Vra::UuidRegistry::GetUuid(0), Platform::Uuid{});
    }

    TEST(UuidRegistry, TextThatIsNotAUuidIsZero)
    {
        EXPECT_EQ(Vra::UuidRegistry::GetId(nullptr), 0u);
        EXPECT_EQ(Vra::UuidRegistry::GetId("not-a-uuid"), 0u);
        EXPECT_EQ(Vra::UuidRegistry::GetId("{a1b2c3d4-0000-4000-8000-000000000001}"), 0u);
    }
}

namespace
{
    TEST(UuidRegistryDeathTest, TheFirstUuidSeenByAProcessGetsIdOne)
    {
        // A fresh process, so that no other test has handed out ids yet.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                const bool dense = Vra::UuidRegistry::GetId("00000000-0000-0000-0000-000000000000") == 0 &&
                                   Vra::UuidRegistry::GetId("f0000000-0000-4000-8000-000000000001") == 1 &&
                                   Vra::UuidRegistry::GetId("F0000000-0000-4000-8000-000000000001") == 1 &&
                                   Vra::UuidRegistry::GetId("f0000000-0000-4000-8000-000000000002") == 2;
                std::exit(dense ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
}
