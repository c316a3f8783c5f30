#pragma once
#include <cstdint>
#include <functional>

// Gamepad state in the shape the game was written against (XInput): button masks, signed 16-bit
// thumb values with positive Y up, 8-bit triggers, and a packet number that changes with the state.
namespace Platform
{
    constexpr std::uint16_t GAMEPAD_DPAD_UP = 0x0001;
    constexpr std::uint16_t GAMEPAD_DPAD_DOWN = 0x0002;
    constexpr std::uint16_t GAMEPAD_DPAD_LEFT = 0x0004;
    constexpr std::uint16_t GAMEPAD_DPAD_RIGHT = 0x0008;
    constexpr std::uint16_t GAMEPAD_START = 0x0010;
    constexpr std::uint16_t GAMEPAD_BACK = 0x0020;
    constexpr std::uint16_t GAMEPAD_LEFT_THUMB = 0x0040;
    constexpr std::uint16_t GAMEPAD_RIGHT_THUMB = 0x0080;
    constexpr std::uint16_t GAMEPAD_LEFT_SHOULDER = 0x0100;
    constexpr std::uint16_t GAMEPAD_RIGHT_SHOULDER = 0x0200;
    constexpr std::uint16_t GAMEPAD_A = 0x1000;
    constexpr std::uint16_t GAMEPAD_B = 0x2000;
    constexpr std::uint16_t GAMEPAD_X = 0x4000;
    constexpr std::uint16_t GAMEPAD_Y = 0x8000;

    // Users 0 to 3; pads take the lowest free user as they connect.
    constexpr std::uint32_t GAMEPAD_USER_COUNT = 4;

    struct GamepadState
    {
        std::uint16_t myButtons = 0;
        std::uint8_t myLeftTrigger = 0;  // 0 to 255
        std::uint8_t myRightTrigger = 0; // 0 to 255
        std::int16_t myThumbLeftX = 0;
        std::int16_t myThumbLeftY = 0;   // positive is up
        std::int16_t myThumbRightX = 0;
        std::int16_t myThumbRightY = 0;  // positive is up

        bool operator==(const GamepadState&) const = default;
    };

    struct GamepadInputState
    {
        std::uint32_t myPacketNumber = 0;
        GamepadState myGamepad;
    };

    // Fills aState for aUser; false when no pad is connected as that user (aState is then untouched).
    bool GetGamepadState(std::uint32_t aUser, GamepadInputState& aState);

    // Answers GetGamepadState in place of the real pads while set; an empty function restores them.
    using GamepadStateSource = std::function<bool(std::uint32_t aUser, GamepadInputState& aState)>;
    void SetGamepadStateSource(GamepadStateSource aSource);
}
