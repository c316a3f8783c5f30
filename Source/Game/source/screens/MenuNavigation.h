#pragma once
#include "screens/MenuStyle.h"

namespace CommonUtilities
{
    class InputHandler;
}

// Moves a menu's selection: Down (key, left stick or D-pad) to the next button, Up to the one
// before, wrapping at both ends. Every key press moves once; after a gamepad move the selection
// waits NAVIGATION_DELAY seconds, so a held stick or D-pad repeats at that pace.
class MenuNavigation
{
public:
    // Moves allowed at once, the delay at NAVIGATION_DELAY.
    void Reset();
    // Runs the delay after a gamepad move.
    void Update(float aDeltaTime);
    // True when aSelectedIndex moved within [0, aCount).
    bool Move(const CommonUtilities::InputHandler& anInput, int& aSelectedIndex, int aCount);

    bool CanNavigate() const { return myCanNavigate; }

    // Enter or gamepad A.
    static bool IsChoosePressed(const CommonUtilities::InputHandler& anInput);
    // Escape or gamepad START.
    static bool IsBackPressed(const CommonUtilities::InputHandler& anInput);

private:
    float myNavigationTimer = 0.0f;
    float myNavigationDelay = MenuStyle::NAVIGATION_DELAY;
    bool myCanNavigate = true;
};
