#include "uuid/Uuid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
    TEST(Uuid, ParsesTheFieldsInEitherCase)
    {
        Platform::Uuid lower;
        Platform::Uuid upper;
        ASSERT_TRUE(Platform::UuidFromString("0123abcd-4567-89ef-a0b1-c2d3e4f56789", lower));
        ASSERT_TRUE(Platform::UuidFromString("0123ABCD-4567-89EF-A0B1-C2D3E4F56789", upper));
        EXPECT_EQ(lower, upper);
        EXPECT_EQ(lower.myData1, 0x0123abcdu);
        EXPECT_EQ(lower.myData2, 0x4567u);
        EXPECT_EQ(lower.myData3, 0x89efu);
        const std::uint8_t tail[8] = {0xa0, 0xb1, 0xc2, 0xd3, 0xe4, 0xf5, 0x67, 0x89};
        for (int i = 0; i < 8; ++i)
        {
            EXPECT_EQ(lower.myData4[i], tail[i]) << i;
        }

        Platform::Uuid nil;
        nil.myData1 = 5;
        ASSERT_TRUE(Platform::UuidFromString("00000000-0000-0000-0000-000000000000", nil));
        EXPECT_EQ(nil, Platform::Uuid{});
    }

    TEST(Uuid, RejectsEverythingButTheHyphenatedForm)
    {
        const std::vector<std::string> rejected = {
            "",
            "0123abcd-4567-89ef-a0b1-c2d3e4f5678",    // one digit short
            "0123abcd-4567-89ef-a0b1-c2d3e4f567890",  // one digit too many
            "{0123abcd-4567-89ef-a0b1-c2d3e4f56789}", // braces
            "0123abcd45678-9ef-a0b1-c2d3e4f56789",    // hyphen moved
            "0123abcd-4567-89ef-a0b1_c2d3e4f56789",   // wrong separator
            "0123abcg-4567-89ef-a0b1-c2d3e4f56789",   // not a hex digit
            " 0123abcd-4567-89ef-a0b1-c2d3e4f5678",   // leading space
            "0123abcd-4567-89ef-a0b1-c2d3e4f56789 ",  // trailing space
            "0123abcd4567-89ef-a0b1-c2d3e4f56789-",
            "level1",
            "+123abcd-4567-89ef-a0b1-c2d3e4f56789",
        };
        for (const std::string& text : rejected)
        {
            Platform::Uuid untouched;
            untouched.myData1 = 77;
            EXPECT_FALSE(Platform::UuidFromString(text.c_str(), untouched)) << text;
            EXPECT_EQ(untouched.myData1, 77u) << text;
        }
        Platform::Uuid any;
        EXPECT_FALSE(Platform::UuidFromString(nullptr, any));
    }
}
