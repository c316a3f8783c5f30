#include "input/Gamepad.h"

#include <gtest/gtest.h>

namespace
{
    TEST(Gamepad, UsersPastTheFourthAreNeverConnected)
    {
        Platform::GamepadInputState state;
        state.myPacketNumber = 77;
        EXPECT_FALSE(Platform::GetGamepadState(Platform::GAMEPAD_USER_COUNT, state));
        EXPECT_FALSE(Platform::GetGamepadState(1000, state));
        EXPECT_EQ(state.myPacketNumber, 77u);
    }

    TEST(Gamepad, RealPadsAnswerConsistently)
    {
        // Whatever is plugged in, asking twice without input keeps the packet number.
        for (std::uint32_t user = 0; user < Platform::GAMEPAD_USER_COUNT; ++user)
        {
            Platform::GamepadInputState first;
            Platform::GamepadInputState second;
            const bool connected = Platform::GetGamepadState(user, first);
            EXPECT_EQ(Platform::GetGamepadState(user, second), connected);
            if (connected)
            {
                EXPECT_NE(first.myPacketNumber, 0u);
            }
        }
    }

    TEST(Gamepad, InstalledSourceAnswersUntilRemoved)
    {
        Platform::SetGamepadStateSource([](std::uint32_t aUser, Platform::GamepadInputState& aState) {
            aState.myPacketNumber = aUser + 10;
            aState.myGamepad.myButtons = Platform::GAMEPAD_A;
            return aUser == 1;
        });
        Platform::GamepadInputState state;
        EXPECT_TRUE(Platform::GetGamepadState(1, state));
        EXPECT_EQ(state.myPacketNumber, 11u);
        EXPECT_EQ(state.myGamepad.myButtons, Platform::GAMEPAD_A);
        EXPECT_FALSE(Platform::GetGamepadState(0, state));
        Platform::SetGamepadStateSource({});
        EXPECT_FALSE(Platform::GetGamepadState(Platform::GAMEPAD_USER_COUNT, state));
    }
}
