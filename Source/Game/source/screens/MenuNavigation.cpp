#include "screens/MenuNavigation.h"

#include "InputHandler.h"
#include "input/Gamepad.h"
#include "window/VirtualKeys.h"

void MenuNavigation::Reset()
{
    myCanNavigate = true;
    myNavigationTimer = 0.0f;
    myNavigationDelay = MenuStyle::NAVIGATION_DELAY;
}

void MenuNavigation::Update(float aDeltaTime)
{
    if (myCanNavigate)
    {
        return;
    }
    myNavigationTimer += aDeltaTime;
    if (myNavigationTimer >= myNavigationDelay)
    {
        myNavigationTimer = 0.0f;
        myCanNavigate = true;
    }
}

bool MenuNavigation::Move(const CommonUtilities::InputHandler& anInput, int& aSelectedIndex, int aCount)
{
    if (aCount <= 0)
    {
        return false;
    }
    const CommonUtilities::StickDirection stick = anInput.GetLeftStickDirection();
    const bool isDown = anInput.IsKeyPressed(Platform::VK_DOWN) || stick.myDown || anInput.IsButtonHeld(Platform::GAMEPAD_DPAD_DOWN);
    const bool isUp = !isDown && (anInput.IsKeyPressed(Platform::VK_UP) || stick.myUp || anInput.IsButtonHeld(Platform::GAMEPAD_DPAD_UP));
    if (!(isDown || isUp) || !myCanNavigate)
    {
        return false;
    }
    aSelectedIndex = isDown ? (aSelectedIndex + 1) % aCount : (aSelectedIndex + aCount - 1) % aCount;
    // A key press moves once by itself; a stick or D-pad stays down, so it waits for the delay.
    if (!anInput.IsKeyboardMouseActive())
    {
        myCanNavigate = false;
        myNavigationTimer = 0.0f;
    }
    return true;
}

bool MenuNavigation::IsChoosePressed(const CommonUtilities::InputHandler& anInput)
{
    return anInput.IsKeyPressed(Platform::VK_RETURN) || anInput.IsButtonPressed(Platform::GAMEPAD_A);
}

bool MenuNavigation::IsBackPressed(const CommonUtilities::InputHandler& anInput)
{
    return anInput.IsKeyPressed(Platform::VK_ESCAPE) || anInput.IsButtonPressed(Platform::GAMEPAD_START);
}
