#include "window/WindowMessages.h"

#include <gtest/gtest.h>

namespace
{
    TEST(WindowMessages, MousePositionsUnpackSigned)
    {
        const Platform::LParam lParam = Platform::MakeLParam(static_cast<std::uint16_t>(-5), 300);
        EXPECT_EQ(Platform::GetXFromLParam(lParam), -5);
        EXPECT_EQ(Platform::GetYFromLParam(lParam), 300);
        EXPECT_EQ(Platform::LowWord(static_cast<std::uintptr_t>(lParam)), 0xFFFB);
    }

    TEST(WindowMessages, WheelDeltaIsTheSignedHighWord)
    {
        EXPECT_EQ(Platform::GetWheelDeltaFromWParam(Platform::MakeWParam(0, static_cast<std::uint16_t>(-240))), -240);
        EXPECT_EQ(Platform::GetWheelDeltaFromWParam(Platform::MakeWParam(Platform::MK_LBUTTON, 120)), 120);
    }
}
