#pragma once
#include "input/Gamepad.h"

#include <SDL2/SDL.h>

#include <cstdint>

namespace TestSupport
{
    // A gamepad plugged in through SDL's virtual joystick driver: SDL reports it as it reports a
    // real one, so the gamepad layer finds, opens and reads it on its own. Plugged in while alive
    // (or until Unplug); the state is given in the gamepad layer's shape.
    class VirtualPad
    {
    public:
        VirtualPad()
        {
            SDL_InitSubSystem(SDL_INIT_JOYSTICK);
            Plug();
        }
        ~VirtualPad()
        {
            Unplug();
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        }
        VirtualPad(const VirtualPad&) = delete;
        VirtualPad& operator=(const VirtualPad&) = delete;

        bool IsPlugged() const { return myJoystick != nullptr; }

        // A game controller with SDL's own mapping for virtual pads: every button and axis.
        void Plug()
        {
            if (IsPlugged())
            {
                return;
            }
            const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
            if (index >= 0)
            {
                myJoystick = SDL_JoystickOpen(index);
            }
            myState = {};
        }

        void Unplug()
        {
            if (!IsPlugged())
            {
                return;
            }
            const SDL_JoystickID instance = SDL_JoystickInstanceID(myJoystick);
            for (int index = 0; index < SDL_NumJoysticks(); ++index)
            {
                if (SDL_JoystickGetDeviceInstanceID(index) == instance)
                {
                    SDL_JoystickDetachVirtual(index);
                    break;
                }
            }
            SDL_JoystickClose(myJoystick);
            myJoystick = nullptr;
        }

        // Holds aState from SDL's next joystick update on: buttons by their masks, thumbs with
        // positive Y up, triggers 0 to 255.
        void Set(const Platform::GamepadState& aState)
        {
            myState = aState;
            if (!IsPlugged())
            {
                return;
            }
            for (const ButtonMask& button : BUTTONS)
            {
                SDL_JoystickSetVirtualButton(myJoystick, button.myButton, (aState.myButtons & button.myMask) != 0 ? SDL_PRESSED : SDL_RELEASED);
            }
            SDL_JoystickSetVirtualAxis(myJoystick, SDL_CONTROLLER_AXIS_LEFTX, aState.myThumbLeftX);
            SDL_JoystickSetVirtualAxis(myJoystick, SDL_CONTROLLER_AXIS_LEFTY, Down(aState.myThumbLeftY));
            SDL_JoystickSetVirtualAxis(myJoystick, SDL_CONTROLLER_AXIS_RIGHTX, aState.myThumbRightX);
            SDL_JoystickSetVirtualAxis(myJoystick, SDL_CONTROLLER_AXIS_RIGHTY, Down(aState.myThumbRightY));
            SDL_JoystickSetVirtualAxis(myJoystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, Trigger(aState.myLeftTrigger));
            SDL_JoystickSetVirtualAxis(myJoystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, Trigger(aState.myRightTrigger));
        }

        void SetButtons(std::uint16_t someButtons, std::int16_t aLeftX = 0, std::int16_t aLeftY = 0)
        {
            Platform::GamepadState state = myState;
            state.myButtons = someButtons;
            state.myThumbLeftX = aLeftX;
            state.myThumbLeftY = aLeftY;
            Set(state);
        }

        const Platform::GamepadState& GetState() const { return myState; }

    private:
        struct ButtonMask
        {
            SDL_GameControllerButton myButton;
            std::uint16_t myMask;
        };
        static constexpr ButtonMask BUTTONS[] = {
            { SDL_CONTROLLER_BUTTON_DPAD_UP, Platform::GAMEPAD_DPAD_UP },
            { SDL_CONTROLLER_BUTTON_DPAD_DOWN, Platform::GAMEPAD_DPAD_DOWN },
            { SDL_CONTROLLER_BUTTON_DPAD_LEFT, Platform::GAMEPAD_DPAD_LEFT },
            { SDL_CONTROLLER_BUTTON_DPAD_RIGHT, Platform::GAMEPAD_DPAD_RIGHT },
            { SDL_CONTROLLER_BUTTON_START, Platform::GAMEPAD_START },
            { SDL_CONTROLLER_BUTTON_BACK, Platform::GAMEPAD_BACK },
            { SDL_CONTROLLER_BUTTON_LEFTSTICK, Platform::GAMEPAD_LEFT_THUMB },
            { SDL_CONTROLLER_BUTTON_RIGHTSTICK, Platform::GAMEPAD_RIGHT_THUMB },
            { SDL_CONTROLLER_BUTTON_LEFTSHOULDER, Platform::GAMEPAD_LEFT_SHOULDER },
            { SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, Platform::GAMEPAD_RIGHT_SHOULDER },
            { SDL_CONTROLLER_BUTTON_A, Platform::GAMEPAD_A },
            { SDL_CONTROLLER_BUTTON_B, Platform::GAMEPAD_B },
            { SDL_CONTROLLER_BUTTON_X, Platform::GAMEPAD_X },
            { SDL_CONTROLLER_BUTTON_Y, Platform::GAMEPAD_Y },
        };

        // SDL's Y grows downward.
        static Sint16 Down(std::int16_t anUp) { return static_cast<Sint16>(anUp == -32768 ? 32767 : -anUp); }
        // SDL's mapping for virtual pads reads a trigger's whole axis: -32768 is released.
        static Sint16 Trigger(std::uint8_t aValue) { return static_cast<Sint16>(aValue * 65535 / 255 - 32768); }

        SDL_Joystick* myJoystick = nullptr;
        Platform::GamepadState myState;
    };
}
