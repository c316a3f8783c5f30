#include "InputHandler.h"

#include "Assert.h"
#include "input/Gamepad.h"
#include "input/RawInput.h"

namespace CommonUtilities
{
    namespace
    {
        constexpr std::uint8_t RIGHT_TRIGGER_THRESHOLD = 60;
    }

    InputHandler::InputHandler() = default;

    bool InputHandler::HandleMessage(std::uint32_t aMessage, Platform::WParam aWParam, Platform::LParam aLParam)
    {
        switch (aMessage)
        {
        case Platform::WM_MOUSEMOVE:
            myMouseTentative = { Platform::GetXFromLParam(aLParam), Platform::GetYFromLParam(aLParam) };
            return true;
        case Platform::WM_LBUTTONDOWN:
        case Platform::WM_LBUTTONUP:
            SetKey(1, aMessage == Platform::WM_LBUTTONDOWN);
            return true;
        case Platform::WM_RBUTTONDOWN:
        case Platform::WM_RBUTTONUP:
            SetKey(2, aMessage == Platform::WM_RBUTTONDOWN);
            return true;
        case Platform::WM_MBUTTONDOWN:
        case Platform::WM_MBUTTONUP:
            SetKey(4, aMessage == Platform::WM_MBUTTONDOWN);
            return true;
        case Platform::WM_MOUSEWHEEL:
            // Integer division truncates toward zero: less than a notch counts as none.
            myWheelTentative = Platform::GetWheelDeltaFromWParam(aWParam) / Platform::WHEEL_DELTA;
            return true;
        case Platform::WM_KEYDOWN:
        case Platform::WM_KEYUP:
            SetKey(aWParam, aMessage == Platform::WM_KEYDOWN);
            return true;
        case Platform::WM_INPUT:
        {
            Platform::RawInputRecord record;
            if (Platform::GetRawInputData(aLParam, record) && record.myType == Platform::RAW_INPUT_TYPE_MOUSE)
            {
                myRawDeltaTentative.x += record.myMouseLastX;
                myRawDeltaTentative.y += record.myMouseLastY;
            }
            return true;
        }
        case Platform::WM_CREATE:
            if (myClipCursor)
            {
                Platform::ClipCursor(&myClipRect);
            }
            return true;
        case Platform::WM_WINDOWPOSCHANGED:
            Platform::GetWindowRect(myWindow, myClipRect);
            if (myClipCursor)
            {
                Platform::ClipCursor(&myClipRect);
            }
            return true;
        default:
            return false;
        }
    }

    void InputHandler::SetKey(Platform::WParam aKeyCode, bool anIsDown)
    {
        // A code past the table (no real key has one) must not write outside it.
        if (aKeyCode < myTentativeState.size())
        {
            myTentativeState.set(aKeyCode, anIsDown);
        }
    }

    void InputHandler::PollGamepads()
    {
        for (std::uint32_t user = 0; user < Platform::GAMEPAD_USER_COUNT; ++user)
        {
            Platform::GamepadInputState state;
            if (!Platform::GetGamepadState(user, state) || state.myPacketNumber == myLastPacketNumbers[user])
            {
                continue;
            }
            myLastPacketNumbers[user] = state.myPacketNumber;
            myButtonsTentative = state.myGamepad.myButtons;
            myRightTriggerTentative = state.myGamepad.myRightTrigger > RIGHT_TRIGGER_THRESHOLD;
            myLeftStickX = state.myGamepad.myThumbLeftX;
            myLeftStickY = state.myGamepad.myThumbLeftY;
            myRightStickX = state.myGamepad.myThumbRightX;
            myRightStickY = state.myGamepad.myThumbRightY;
            myKeyboardMouseActive = false;
        }
    }

    void InputHandler::Update()
    {
        PollGamepads();

        myButtonsPrevious = myButtonsCurrent;
        myButtonsCurrent = myButtonsTentative;

        myRightTriggerPrevious = myRightTriggerCurrent;
        myRightTriggerCurrent = myRightTriggerTentative;

        myPreviousState = myCurrentState;
        myCurrentState = myTentativeState;

        myMousePrevious = myMouseCurrent;
        myMouseCurrent = myMouseTentative;

        myWheelCurrent = myWheelTentative;
        myWheelTentative = 0;

        myRawDeltaCurrent = myRawDeltaTentative;
        myRawDeltaTentative = {};
    }

    bool InputHandler::IsKeyPressed(int aKeyCode) const
    {
        CU_ASSERT_MSG(aKeyCode >= 0 && static_cast<size_t>(aKeyCode) < myTentativeState.size(),
                      "static_cast<int>(aKeyCode) >= 0 && static_cast<int>(aKeyCode) < myTentativeState.size()");
        return myCurrentState[aKeyCode] && !myPreviousState[aKeyCode];
    }

    bool InputHandler::IsKeyHeld(int aKeyCode) const
    {
        CU_ASSERT_MSG(aKeyCode >= 0 && static_cast<size_t>(aKeyCode) < myTentativeState.size(),
                      "static_cast<int>(aKeyCode) >= 0 && static_cast<int>(aKeyCode) < myTentativeState.size()");
        return myCurrentState[aKeyCode] && myPreviousState[aKeyCode];
    }

    bool InputHandler::IsButtonPressed(std::uint16_t aMask) const
    {
        return (myButtonsCurrent & aMask) != 0 && (myButtonsPrevious & aMask) == 0;
    }

    bool InputHandler::IsButtonHeld(std::uint16_t aMask) const
    {
        return (myButtonsCurrent & aMask) != 0 && (myButtonsPrevious & aMask) != 0;
    }

    StickDirection InputHandler::GetStickDirection(float aX, float aY) const
    {
        StickDirection direction;
        if (aX > myStickThresholdX)
        {
            direction.myRight = true;
        }
        else if (aX < -myStickThresholdX)
        {
            direction.myLeft = true;
        }
        if (aY > myStickThresholdY)
        {
            direction.myUp = true;
        }
        else if (aY < -myStickThresholdY)
        {
            direction.myDown = true;
        }
        return direction;
    }

    StickDirection InputHandler::GetLeftStickDirection() const
    {
        return GetStickDirection(myLeftStickX, myLeftStickY);
    }

    StickDirection InputHandler::GetRightStickDirection() const
    {
        return GetStickDirection(myRightStickX, myRightStickY);
    }
}
