#include "input/Gamepad.h"

#include <SDL.h>

#include <algorithm>
#include <array>

namespace Platform
{
    namespace
    {
        GamepadStateSource ourSource;

        struct Slot
        {
            SDL_GameController* myController = nullptr;
            SDL_JoystickID myInstance = -1;
            GamepadState myLastState;
            std::uint32_t myPacketNumber = 0;
        };

        class Pads
        {
        public:
            bool Read(std::uint32_t aUser, GamepadInputState& aState)
            {
                if (aUser >= GAMEPAD_USER_COUNT || !Refresh())
                {
                    return false;
                }
                Slot& slot = mySlots[aUser];
                if (slot.myController == nullptr)
                {
                    return false;
                }
                const GamepadState state = ReadController(slot.myController);
                if (state != slot.myLastState)
                {
                    slot.myLastState = state;
                    slot.myPacketNumber = NextPacketNumber(slot.myPacketNumber);
                }
                aState.myPacketNumber = slot.myPacketNumber;
                aState.myGamepad = slot.myLastState;
                return true;
            }

        private:
            // Opens pads that appeared and forgets those that left. False when SDL has no controller support.
            bool Refresh()
            {
                if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0)
                {
                    // Also after someone else shut SDL down: the old handles are gone with it.
                    for (Slot& slot : mySlots)
                    {
                        Forget(slot);
                    }
                    // A pad's state is the pad's, as with XInput: SDL would otherwise drop presses
                    // while no window of the process has the keyboard focus (always so headless).
                    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
                    if (myInitFailed || SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
                    {
                        myInitFailed = true;
                        return false;
                    }
                }
                SDL_GameControllerUpdate();
                for (Slot& slot : mySlots)
                {
                    if (slot.myController != nullptr && !SDL_GameControllerGetAttached(slot.myController))
                    {
                        SDL_GameControllerClose(slot.myController);
                        Forget(slot);
                    }
                }
                const int joystickCount = SDL_NumJoysticks();
                for (int index = 0; index < joystickCount; ++index)
                {
                    // An open pad is not looked up again: the lookup compares the pad with every
                    // mapping SDL holds, and in a long session it came to take most of each frame.
                    if (IsOpen(SDL_JoystickGetDeviceInstanceID(index)) || !SDL_IsGameController(index))
                    {
                        continue;
                    }
                    const auto freeSlot = std::find_if(mySlots.begin(), mySlots.end(),
                                                       [](const Slot& aSlot) { return aSlot.myController == nullptr; });
                    if (freeSlot == mySlots.end())
                    {
                        break;
                    }
                    if (SDL_GameController* controller = SDL_GameControllerOpen(index))
                    {
                        freeSlot->myController = controller;
                        freeSlot->myInstance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
                        freeSlot->myLastState = ReadController(controller);
                        // The user's numbers go on from its last pad's, so a reader that took that
                        // pad's last state takes this one's first too; never 0, where readers start.
                        freeSlot->myPacketNumber = NextPacketNumber(freeSlot->myPacketNumber);
                    }
                }
                return true;
            }

            // The pad is gone; the user's packet numbers go on.
            static void Forget(Slot& aSlot)
            {
                const std::uint32_t packetNumber = aSlot.myPacketNumber;
                aSlot = Slot{};
                aSlot.myPacketNumber = packetNumber;
            }

            static std::uint32_t NextPacketNumber(std::uint32_t aNumber) { return aNumber + 1 == 0 ? 1 : aNumber + 1; }

            bool IsOpen(SDL_JoystickID anInstance) const
            {
                return std::any_of(mySlots.begin(), mySlots.end(), [anInstance](const Slot& aSlot) {
                    return aSlot.myController != nullptr && aSlot.myInstance == anInstance;
                });
            }

            static std::int16_t FlipAxis(Sint16 aValue)
            {
                // SDL's Y grows downward; -(-32768) does not fit, so it clamps to 32767.
                return static_cast<std::int16_t>(std::min(32767, -static_cast<int>(aValue)));
            }

            static std::uint8_t TriggerValue(Sint16 aValue)
            {
                return static_cast<std::uint8_t>(std::clamp(static_cast<int>(aValue), 0, 32767) * 255 / 32767);
            }

            static GamepadState ReadController(SDL_GameController* aController)
            {
                struct ButtonMask
                {
                    SDL_GameControllerButton myButton;
                    std::uint16_t myMask;
                };
                static constexpr ButtonMask BUTTONS[] = {
                    { SDL_CONTROLLER_BUTTON_DPAD_UP, GAMEPAD_DPAD_UP },
                    { SDL_CONTROLLER_BUTTON_DPAD_DOWN, GAMEPAD_DPAD_DOWN },
                    { SDL_CONTROLLER_BUTTON_DPAD_LEFT, GAMEPAD_DPAD_LEFT },
                    { SDL_CONTROLLER_BUTTON_DPAD_RIGHT, GAMEPAD_DPAD_RIGHT },
                    { SDL_CONTROLLER_BUTTON_START, GAMEPAD_START },
                    { SDL_CONTROLLER_BUTTON_BACK, GAMEPAD_BACK },
                    { SDL_CONTROLLER_BUTTON_LEFTSTICK, GAMEPAD_LEFT_THUMB },
                    { SDL_CONTROLLER_BUTTON_RIGHTSTICK, GAMEPAD_RIGHT_THUMB },
                    { SDL_CONTROLLER_BUTTON_LEFTSHOULDER, GAMEPAD_LEFT_SHOULDER },
                    { SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, GAMEPAD_RIGHT_SHOULDER },
                    { SDL_CONTROLLER_BUTTON_A, GAMEPAD_A },
                    { SDL_CONTROLLER_BUTTON_B, GAMEPAD_B },
                    { SDL_CONTROLLER_BUTTON_X, GAMEPAD_X },
                    { SDL_CONTROLLER_BUTTON_Y, GAMEPAD_Y },
                };

                GamepadState state;
                for (const ButtonMask& button : BUTTONS)
                {
                    if (SDL_GameControllerGetButton(aController, button.myButton) != 0)
                    {
                        state.myButtons |= button.myMask;
                    }
                }
                state.myLeftTrigger = TriggerValue(SDL_GameControllerGetAxis(aController, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
                state.myRightTrigger = TriggerValue(SDL_GameControllerGetAxis(aController, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
                state.myThumbLeftX = SDL_GameControllerGetAxis(aController, SDL_CONTROLLER_AXIS_LEFTX);
                state.myThumbLeftY = FlipAxis(SDL_GameControllerGetAxis(aController, SDL_CONTROLLER_AXIS_LEFTY));
                state.myThumbRightX = SDL_GameControllerGetAxis(aController, SDL_CONTROLLER_AXIS_RIGHTX);
                state.myThumbRightY = FlipAxis(SDL_GameControllerGetAxis(aController, SDL_CONTROLLER_AXIS_RIGHTY));
                return state;
            }

            std::array<Slot, GAMEPAD_USER_COUNT> mySlots{};
            bool myInitFailed = false;
        };

        Pads& GetPads()
        {
            // Never destroyed: a poll during static destruction must not meet a dead object.
            static Pads* pads = new Pads();
            return *pads;
        }
    }

    bool GetGamepadState(std::uint32_t aUser, GamepadInputState& aState)
    {
        if (ourSource)
        {
            return ourSource(aUser, aState);
        }
        return GetPads().Read(aUser, aState);
    }

    void SetGamepadStateSource(GamepadStateSource aSource)
    {
        ourSource = std::move(aSource);
    }
}
