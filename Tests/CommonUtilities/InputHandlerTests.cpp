#include "InputHandler.h"

#include "AssertionCatcher.h"
#include "input/Gamepad.h"
#include "input/RawInput.h"

#include "VirtualPad.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>

namespace
{
    using CommonUtilities::InputHandler;

    // Pads for the handler to poll: each user either absent or holding a state set by the test.
    class FakePads
    {
    public:
        FakePads()
        {
            Platform::SetGamepadStateSource([this](std::uint32_t aUser, Platform::GamepadInputState& aState) {
                ++myPolls;
                if (aUser >= myPads.size() || !myPads[aUser])
                {
                    return false;
                }
                aState = *myPads[aUser];
                return true;
            });
        }
        ~FakePads() { Platform::SetGamepadStateSource({}); }

        void Set(std::uint32_t aUser, std::uint16_t someButtons, std::int16_t aLeftX = 0, std::int16_t aLeftY = 0,
                 std::uint8_t aRightTrigger = 0)
        {
            Platform::GamepadInputState state = myPads[aUser].value_or(Platform::GamepadInputState{});
            ++state.myPacketNumber;
            state.myGamepad.myButtons = someButtons;
            state.myGamepad.myThumbLeftX = aLeftX;
            state.myGamepad.myThumbLeftY = aLeftY;
            state.myGamepad.myRightTrigger = aRightTrigger;
            myPads[aUser] = state;
        }
        void Disconnect(std::uint32_t aUser) { myPads[aUser].reset(); }

        std::array<std::optional<Platform::GamepadInputState>, 4> myPads;
        int myPolls = 0;
    };

    class InputHandlerTest : public testing::Test
    {
    protected:
        void KeyDown(int aKey) { myInput.HandleMessage(Platform::WM_KEYDOWN, static_cast<Platform::WParam>(aKey), 0); }
        void KeyUp(int aKey) { myInput.HandleMessage(Platform::WM_KEYUP, static_cast<Platform::WParam>(aKey), 0); }

        FakePads myPads;
        InputHandler myInput;
    };

    TEST_F(InputHandlerTest, KeyPressIsOneFrameThenHeld)
    {
        KeyDown('Z');
        myInput.Update();
        EXPECT_TRUE(myInput.IsKeyPressed('Z'));
        EXPECT_FALSE(myInput.IsKeyHeld('Z'));
        for (int frame = 0; frame < 3; ++frame)
        {
            KeyDown('Z'); // auto-repeat changes nothing
            myInput.Update();
            EXPECT_FALSE(myInput.IsKeyPressed('Z'));
            EXPECT_TRUE(myInput.IsKeyHeld('Z'));
        }
        KeyUp('Z');
        myInput.Update();
        EXPECT_FALSE(myInput.IsKeyPressed('Z'));
        EXPECT_FALSE(myInput.IsKeyHeld('Z'));
    }

    TEST_F(InputHandlerTest, KeyDownAndUpBetweenUpdatesIsNeverSeen)
    {
        KeyDown(32);
        KeyUp(32);
        myInput.Update();
        EXPECT_FALSE(myInput.IsKeyPressed(32));
        myInput.Update();
        EXPECT_FALSE(myInput.IsKeyHeld(32));
    }

    TEST_F(InputHandlerTest, MouseButtonsAreTheirVirtualKeys)
    {
        myInput.HandleMessage(Platform::WM_LBUTTONDOWN, 0, 0);
        myInput.HandleMessage(Platform::WM_RBUTTONDOWN, 0, 0);
        myInput.HandleMessage(Platform::WM_MBUTTONDOWN, 0, 0);
        myInput.Update();
        EXPECT_TRUE(myInput.IsKeyPressed(1));
        EXPECT_TRUE(myInput.IsKeyPressed(2));
        EXPECT_TRUE(myInput.IsKeyPressed(4));
        myInput.HandleMessage(Platform::WM_RBUTTONUP, 0, 0);
        myInput.Update();
        EXPECT_TRUE(myInput.IsKeyHeld(1));
        EXPECT_FALSE(myInput.IsKeyHeld(2));
        EXPECT_TRUE(myInput.IsKeyHeld(4));
    }

    TEST_F(InputHandlerTest, WhichMessagesAreHandled)
    {
        struct Case
        {
            std::uint32_t myMessage;
            bool myHandled;
        };
        const Case cases[] = {
            { Platform::WM_MOUSEMOVE, true }, { Platform::WM_LBUTTONDOWN, true }, { Platform::WM_LBUTTONUP, true },
            { Platform::WM_RBUTTONDOWN, true }, { Platform::WM_RBUTTONUP, true }, { Platform::WM_MBUTTONDOWN, true },
            { Platform::WM_MBUTTONUP, true }, { Platform::WM_MOUSEWHEEL, true }, { Platform::WM_KEYDOWN, true },
            { Platform::WM_KEYUP, true }, { Platform::WM_INPUT, true }, { Platform::WM_CREATE, true },
            { Platform::WM_WINDOWPOSCHANGED, true }, { Platform::WM_LBUTTONDBLCLK, false },
            { Platform::WM_RBUTTONDBLCLK, false }, { Platform::WM_SIZE, false }, { Platform::WM_CHAR, false },
            { Platform::WM_SETFOCUS, false }, { Platform::WM_DESTROY, false },
        };
        for (const Case& testCase : cases)
        {
            EXPECT_EQ(myInput.HandleMessage(testCase.myMessage, 0, 0), testCase.myHandled) << testCase.myMessage;
        }
    }

    TEST_F(InputHandlerTest, MousePositionRollsAndIsSigned)
    {
        myInput.HandleMessage(Platform::WM_MOUSEMOVE, 0, Platform::MakeLParam(100, 200));
        myInput.Update();
        myInput.HandleMessage(Platform::WM_MOUSEMOVE, 0, Platform::MakeLParam(static_cast<std::uint16_t>(-3), 7));
        myInput.Update();
        EXPECT_EQ(myInput.GetMousePosition(), (CommonUtilities::MousePosition{ -3, 7 }));
        EXPECT_EQ(myInput.GetPreviousMousePosition(), (CommonUtilities::MousePosition{ 100, 200 }));
    }

    TEST_F(InputHandlerTest, WheelTakesTheLastMessageInNotchesThenResets)
    {
        myInput.HandleMessage(Platform::WM_MOUSEWHEEL, Platform::MakeWParam(0, 360), 0);
        myInput.HandleMessage(Platform::WM_MOUSEWHEEL, Platform::MakeWParam(0, static_cast<std::uint16_t>(-250)), 0);
        myInput.Update();
        EXPECT_EQ(myInput.GetMouseWheel(), -2);
        myInput.Update();
        EXPECT_EQ(myInput.GetMouseWheel(), 0);
        myInput.HandleMessage(Platform::WM_MOUSEWHEEL, Platform::MakeWParam(0, 119), 0);
        myInput.Update();
        EXPECT_EQ(myInput.GetMouseWheel(), 0);
    }

    TEST_F(InputHandlerTest, RawMouseMotionAccumulatesPerFrame)
    {
        const Platform::RawInputRecord first{ Platform::RAW_INPUT_TYPE_MOUSE, 3, -4 };
        const Platform::RawInputRecord second{ Platform::RAW_INPUT_TYPE_MOUSE, 10, 1 };
        const Platform::RawInputRecord keyboard{ Platform::RAW_INPUT_TYPE_KEYBOARD, 100, 100 };
        myInput.HandleMessage(Platform::WM_INPUT, 0, Platform::MakeRawInputHandle(first));
        myInput.HandleMessage(Platform::WM_INPUT, 0, Platform::MakeRawInputHandle(second));
        myInput.HandleMessage(Platform::WM_INPUT, 0, Platform::MakeRawInputHandle(keyboard));
        myInput.Update();
        EXPECT_EQ(myInput.GetRawMouseDelta(), (CommonUtilities::MousePosition{ 13, -3 }));
        myInput.Update();
        EXPECT_EQ(myInput.GetRawMouseDelta(), (CommonUtilities::MousePosition{ 0, 0 }));
    }

    TEST_F(InputHandlerTest, KeyCodesOutsideTheTableFail)
    {
        const char* expected = "static_cast<int>(aKeyCode) >= 0 && static_cast<int>(aKeyCode) < myTentativeState.size()";
        for (const int code : { -1, 256, 1000 })
        {
            EXPECT_EQ(TestSupport::FailedAssertion([&] { myInput.IsKeyPressed(code); }), expected);
            EXPECT_EQ(TestSupport::FailedAssertion([&] { myInput.IsKeyHeld(code); }), expected);
        }
        EXPECT_EQ(TestSupport::FailedAssertion([&] { myInput.IsKeyHeld(255); }), "");
        // A key message with no real key code is taken but changes no key.
        EXPECT_TRUE(myInput.HandleMessage(Platform::WM_KEYDOWN, 300, 0));
        myInput.Update();
        for (int code = 0; code < 256; ++code)
        {
            EXPECT_FALSE(myInput.IsKeyPressed(code));
        }
    }

    TEST_F(InputHandlerTest, GamepadButtonsPressAndHold)
    {
        myPads.Set(0, Platform::GAMEPAD_A);
        myInput.Update();
        EXPECT_TRUE(myInput.IsButtonPressed(Platform::GAMEPAD_A));
        EXPECT_FALSE(myInput.IsButtonHeld(Platform::GAMEPAD_A));
        EXPECT_FALSE(myInput.IsButtonPressed(Platform::GAMEPAD_X));
        myInput.Update();
        EXPECT_FALSE(myInput.IsButtonPressed(Platform::GAMEPAD_A));
        EXPECT_TRUE(myInput.IsButtonHeld(Platform::GAMEPAD_A));

        // A mask meets the buttons when any of its bits does.
        myPads.Set(0, Platform::GAMEPAD_A | Platform::GAMEPAD_DPAD_UP);
        myInput.Update();
        EXPECT_FALSE(myInput.IsButtonPressed(Platform::GAMEPAD_A | Platform::GAMEPAD_DPAD_UP));
        EXPECT_TRUE(myInput.IsButtonPressed(Platform::GAMEPAD_DPAD_UP));
        EXPECT_TRUE(myInput.IsButtonHeld(Platform::GAMEPAD_A | Platform::GAMEPAD_DPAD_UP));
    }

    TEST_F(InputHandlerTest, StickDirectionsUseStrictThresholds)
    {
        struct Case
        {
            std::int16_t myX;
            std::int16_t myY;
            CommonUtilities::StickDirection myExpected;
        };
        const Case cases[] = {
            { 8000, 0, { false, false, false, false } },
            { 8001, 0, { false, true, false, false } },
            { -8001, 0, { true, false, false, false } },
            { 0, 16000, { false, false, false, false } },
            { 0, 16001, { false, false, true, false } },
            { -32768, -32768, { true, false, false, true } },
            { 32767, 12000, { false, true, false, false } },
        };
        for (const Case& testCase : cases)
        {
            myPads.Set(0, 0, testCase.myX, testCase.myY);
            myInput.Update();
            const CommonUtilities::StickDirection direction = myInput.GetLeftStickDirection();
            EXPECT_EQ(direction.myLeft, testCase.myExpected.myLeft) << testCase.myX << "," << testCase.myY;
            EXPECT_EQ(direction.myRight, testCase.myExpected.myRight) << testCase.myX << "," << testCase.myY;
            EXPECT_EQ(direction.myUp, testCase.myExpected.myUp) << testCase.myX << "," << testCase.myY;
            EXPECT_EQ(direction.myDown, testCase.myExpected.myDown) << testCase.myX << "," << testCase.myY;
            EXPECT_EQ(myInput.GetLeftStickX(), static_cast<float>(testCase.myX));
        }
        const CommonUtilities::StickDirection right = myInput.GetRightStickDirection();
        EXPECT_FALSE(right.myLeft || right.myRight || right.myUp || right.myDown);
    }

    TEST_F(InputHandlerTest, RightTriggerCountsAboveSixty)
    {
        myPads.Set(0, 0, 0, 0, 60);
        myInput.Update();
        EXPECT_FALSE(myInput.IsRightTriggerPressed());
        myPads.Set(0, 0, 0, 0, 61);
        myInput.Update();
        EXPECT_TRUE(myInput.IsRightTriggerPressed());
        myInput.Update();
        EXPECT_TRUE(myInput.IsRightTriggerHeld());
    }

    TEST_F(InputHandlerTest, NewPacketClearsKeyboardFlagUntilTheNextHandledMessage)
    {
        myInput.SetKeyboardMouseActive();
        myInput.Update(); // no pad: nothing new
        EXPECT_TRUE(myInput.IsKeyboardMouseActive());
        myPads.Set(0, Platform::GAMEPAD_START);
        myInput.Update();
        EXPECT_FALSE(myInput.IsKeyboardMouseActive());
        myInput.Update(); // same packet: the flag is left alone
        EXPECT_FALSE(myInput.IsKeyboardMouseActive());
        // The window-message handler sets the flag when the handler takes a message.
        if (myInput.HandleMessage(Platform::WM_MOUSEMOVE, 0, Platform::MakeLParam(1, 1)))
        {
            myInput.SetKeyboardMouseActive();
        }
        EXPECT_TRUE(myInput.IsKeyboardMouseActive());
    }

    TEST_F(InputHandlerTest, TwoIdlePadsBringNothingNew)
    {
        myPads.Set(0, Platform::GAMEPAD_A);
        myPads.Set(1, Platform::GAMEPAD_B);
        myPads.Set(1, Platform::GAMEPAD_B); // the pads count their packets apart
        myInput.Update();
        myInput.SetKeyboardMouseActive();
        for (int frame = 0; frame < 3; ++frame)
        {
            myInput.Update();
            EXPECT_TRUE(myInput.IsKeyboardMouseActive()) << "frame " << frame;
        }
        EXPECT_TRUE(myInput.IsButtonHeld(Platform::GAMEPAD_B));
        myPads.Set(0, Platform::GAMEPAD_X);
        myInput.Update();
        EXPECT_FALSE(myInput.IsKeyboardMouseActive());
        EXPECT_TRUE(myInput.IsButtonPressed(Platform::GAMEPAD_X));
    }

    TEST_F(InputHandlerTest, DisconnectKeepsTheLastPadState)
    {
        myPads.Set(2, Platform::GAMEPAD_Y, 20000, -20000);
        myInput.Update();
        myPads.Disconnect(2);
        myInput.Update();
        myInput.Update();
        EXPECT_TRUE(myInput.IsButtonHeld(Platform::GAMEPAD_Y));
        EXPECT_TRUE(myInput.GetLeftStickDirection().myRight);
        EXPECT_TRUE(myInput.GetLeftStickDirection().myDown);
    }

    TEST_F(InputHandlerTest, LastUserWithANewPacketWins)
    {
        myPads.Set(0, Platform::GAMEPAD_A);
        myPads.Set(1, Platform::GAMEPAD_B);
        myPads.Set(1, Platform::GAMEPAD_B); // a different packet number from user 0's
        const int pollsBefore = myPads.myPolls;
        myInput.Update();
        EXPECT_EQ(myPads.myPolls - pollsBefore, 4);
        EXPECT_TRUE(myInput.IsButtonPressed(Platform::GAMEPAD_B));
        EXPECT_FALSE(myInput.IsButtonPressed(Platform::GAMEPAD_A));
    }

    // Pads that SDL reports (its virtual joystick driver), read through the gamepad layer.
    TEST(InputHandlerOnRealPads, APadPluggedInAsAFreedUserIsSeenWithWhatItHolds)
    {
        // A reader that took the last pad's only state must not take the next pad's first state
        // for the same one.
        CommonUtilities::InputHandler input;
        auto first = std::make_unique<TestSupport::VirtualPad>();
        input.Update();
        input.Update();
        first.reset();
        input.Update();

        TestSupport::VirtualPad second;
        second.SetButtons(Platform::GAMEPAD_A, 0, 30000);
        input.Update();
        EXPECT_TRUE(input.IsButtonPressed(Platform::GAMEPAD_A));
        EXPECT_TRUE(input.GetLeftStickDirection().myUp);
    }
}
