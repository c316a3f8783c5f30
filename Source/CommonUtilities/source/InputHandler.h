#pragma once
#include "input/CursorClip.h"
#include "input/Gamepad.h"
#include "window/WindowMessages.h"

#include <array>
#include <bitset>
#include <cstdint>

namespace CommonUtilities
{
    struct StickDirection
    {
        bool myLeft = false;
        bool myRight = false;
        bool myUp = false;
        bool myDown = false;
    };

    struct MousePosition
    {
        std::int32_t x = 0;
        std::int32_t y = 0;
        bool operator==(const MousePosition&) const = default;
    };

    // Keyboard, mouse and gamepad state. Window messages write a tentative state as they arrive;
    // Update, once a frame, polls the gamepads and rolls tentative -> current -> previous, so a press
    // is whatever went down between the last two updates, whatever the order of messages in between.
    // Keys are virtual-key codes (mouse buttons 1, 2 and 4 among them); gamepad buttons are masks.
    class InputHandler
    {
    public:
        InputHandler();

        // True for the messages this handler takes.
        bool HandleMessage(std::uint32_t aMessage, Platform::WParam aWParam, Platform::LParam aLParam);
        void Update();

        bool IsKeyPressed(int aKeyCode) const;
        bool IsKeyHeld(int aKeyCode) const;

        // Some bit of aMask down now and no bit of it down in the previous frame.
        bool IsButtonPressed(std::uint16_t aMask) const;
        bool IsButtonHeld(std::uint16_t aMask) const;

        StickDirection GetLeftStickDirection() const;
        StickDirection GetRightStickDirection() const;
        // Raw thumb values, -32768 to 32767, positive Y up.
        float GetLeftStickX() const { return myLeftStickX; }
        float GetLeftStickY() const { return myLeftStickY; }
        float GetRightStickX() const { return myRightStickX; }
        float GetRightStickY() const { return myRightStickY; }

        bool IsRightTriggerPressed() const { return myRightTriggerCurrent && !myRightTriggerPrevious; }
        bool IsRightTriggerHeld() const { return myRightTriggerCurrent && myRightTriggerPrevious; }

        MousePosition GetMousePosition() const { return myMouseCurrent; }
        MousePosition GetPreviousMousePosition() const { return myMousePrevious; }
        MousePosition GetRawMouseDelta() const { return myRawDeltaCurrent; }
        // Wheel notches of the last wheel message before the latest update.
        std::int32_t GetMouseWheel() const { return myWheelCurrent; }

        bool IsKeyboardMouseActive() const { return myKeyboardMouseActive; }
        void SetKeyboardMouseActive() { myKeyboardMouseActive = true; }

    private:
        void PollGamepads();
        StickDirection GetStickDirection(float aX, float aY) const;
        void SetKey(Platform::WParam aKeyCode, bool anIsDown);

        float myLeftStickX = 0.0f;
        float myLeftStickY = 0.0f;
        float myRightStickX = 0.0f;
        float myRightStickY = 0.0f;
        float myStickThresholdX = 8000.0f;
        float myStickThresholdY = 16000.0f;
        bool myRightTriggerCurrent = false;
        bool myRightTriggerTentative = false;
        bool myRightTriggerPrevious = false;
        std::uint16_t myButtonsCurrent = 0;
        std::uint16_t myButtonsTentative = 0;
        std::uint16_t myButtonsPrevious = 0;
        // Each pad numbers its own packets: one shared number would make every frame look new
        // with two pads connected.
        std::array<std::uint32_t, Platform::GAMEPAD_USER_COUNT> myLastPacketNumbers{};
        std::bitset<256> myCurrentState;
        std::bitset<256> myPreviousState;
        std::bitset<256> myTentativeState;
        MousePosition myMouseCurrent;
        MousePosition myMousePrevious;
        MousePosition myMouseTentative;
        MousePosition myRawDeltaTentative;
        MousePosition myRawDeltaCurrent;
        Platform::WindowHandle myWindow = nullptr;
        Platform::Rect myClipRect;
        std::int32_t myWheelCurrent = 0;
        std::int32_t myWheelTentative = 0;
        bool myClipCursor = false;
        bool myKeyboardMouseActive = false;
    };
}
