#include "input/Gamepad.h"

#include "VirtualPad.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <memory>

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

    // Pads that SDL reports (its virtual joystick driver), read through the gamepad layer.
    using TestSupport::VirtualPad;

    Platform::GamepadInputState Read(std::uint32_t aUser)
    {
        Platform::GamepadInputState state;
        EXPECT_TRUE(Platform::GetGamepadState(aUser, state)) << "no pad as user " << aUser;
        return state;
    }

    bool IsConnected(std::uint32_t aUser)
    {
        Platform::GamepadInputState state;
        return Platform::GetGamepadState(aUser, state);
    }

    TEST(VirtualGamepad, EveryButtonStickAndTriggerArrivesInTheLayersShape)
    {
        VirtualPad pad;
        EXPECT_EQ(Read(0).myGamepad, Platform::GamepadState{}) << "a pad just plugged in holds nothing";
        for (const std::uint16_t mask : { Platform::GAMEPAD_DPAD_UP, Platform::GAMEPAD_DPAD_DOWN, Platform::GAMEPAD_DPAD_LEFT,
                                          Platform::GAMEPAD_DPAD_RIGHT, Platform::GAMEPAD_START, Platform::GAMEPAD_BACK,
                                          Platform::GAMEPAD_LEFT_THUMB, Platform::GAMEPAD_RIGHT_THUMB, Platform::GAMEPAD_LEFT_SHOULDER,
                                          Platform::GAMEPAD_RIGHT_SHOULDER, Platform::GAMEPAD_A, Platform::GAMEPAD_B, Platform::GAMEPAD_X,
                                          Platform::GAMEPAD_Y })
        {
            pad.SetButtons(mask);
            EXPECT_EQ(Read(0).myGamepad.myButtons, mask) << std::hex << mask;
        }

        Platform::GamepadState sticks;
        sticks.myThumbLeftX = -20000;
        sticks.myThumbLeftY = 12000; // up
        sticks.myThumbRightX = 32767;
        sticks.myThumbRightY = -32768;
        sticks.myLeftTrigger = 255;
        sticks.myRightTrigger = 128;
        pad.Set(sticks);
        const Platform::GamepadState read = Read(0).myGamepad;
        EXPECT_EQ(read.myButtons, 0);
        EXPECT_EQ(read.myThumbLeftX, -20000);
        EXPECT_EQ(read.myThumbLeftY, 12000);
        EXPECT_EQ(read.myThumbRightX, 32767);
        EXPECT_EQ(read.myThumbRightY, -32767) << "SDL's full travel down is as far as up goes";
        EXPECT_EQ(read.myLeftTrigger, 255);
        EXPECT_NEAR(read.myRightTrigger, 128, 1);
    }

    TEST(VirtualGamepad, APadIsReadWhileAWindowWithoutFocusIsOpen)
    {
        // As the game's own window is headless, or behind another: the pad's state is the pad's.
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_Window* window = SDL_CreateWindow("unfocused", 0, 0, 32, 32, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        ASSERT_EQ(SDL_GetKeyboardFocus(), nullptr);
        {
            VirtualPad pad;
            pad.SetButtons(Platform::GAMEPAD_A, 30000);
            const Platform::GamepadState read = Read(0).myGamepad;
            EXPECT_EQ(read.myButtons, Platform::GAMEPAD_A);
            EXPECT_EQ(read.myThumbLeftX, 30000);
        }
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    TEST(VirtualGamepad, PacketNumbersChangeWithTheStateOnly)
    {
        VirtualPad pad;
        const std::uint32_t first = Read(0).myPacketNumber;
        EXPECT_NE(first, 0u);
        EXPECT_EQ(Read(0).myPacketNumber, first);
        pad.SetButtons(Platform::GAMEPAD_X);
        const std::uint32_t pressed = Read(0).myPacketNumber;
        EXPECT_NE(pressed, first);
        EXPECT_EQ(Read(0).myPacketNumber, pressed);
    }

    TEST(VirtualGamepad, PadsTakeTheLowestFreeUserAndKeepItWhileOthersLeave)
    {
        auto first = std::make_unique<VirtualPad>();
        ASSERT_TRUE(IsConnected(0));
        auto second = std::make_unique<VirtualPad>();
        second->SetButtons(Platform::GAMEPAD_B);
        EXPECT_EQ(Read(1).myGamepad.myButtons, Platform::GAMEPAD_B);

        first.reset();
        EXPECT_FALSE(IsConnected(0));
        EXPECT_EQ(Read(1).myGamepad.myButtons, Platform::GAMEPAD_B) << "the second pad stays the second user";
        second->SetButtons(Platform::GAMEPAD_Y);
        EXPECT_EQ(Read(1).myGamepad.myButtons, Platform::GAMEPAD_Y);

        VirtualPad third;
        third.SetButtons(Platform::GAMEPAD_START);
        EXPECT_EQ(Read(0).myGamepad.myButtons, Platform::GAMEPAD_START) << "the freed first user goes to the next pad";
        EXPECT_EQ(Read(1).myGamepad.myButtons, Platform::GAMEPAD_Y);
        EXPECT_FALSE(IsConnected(2));
    }

    TEST(VirtualGamepad, APadPluggedInAgainAfterSDLRestartedIsFound)
    {
        {
            VirtualPad pad;
            ASSERT_TRUE(IsConnected(0));
        }
        // Someone else shuts the controller support down and the layer's handles go with it.
        while (SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0)
        {
            SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        }
        EXPECT_FALSE(IsConnected(0));
        VirtualPad pad;
        pad.SetButtons(Platform::GAMEPAD_Y);
        EXPECT_EQ(Read(0).myGamepad.myButtons, Platform::GAMEPAD_Y);
    }
}
