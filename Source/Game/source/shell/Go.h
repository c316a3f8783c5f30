#pragma once
#include "window/WindowMessages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class SceneState;
class SceneStateStack;

namespace CommonUtilities
{
    class InputHandler;
}

// Makes the screen the game starts on, for the stack that will own it.
using FirstScreenMaker = std::function<std::unique_ptr<SceneState>(SceneStateStack&)>;

// The one input state of the program: window messages write it, the main loop rolls it.
CommonUtilities::InputHandler& GetInputHandler();

// Runs the whole program: starts the engine from "settings/Game.json", shows the main menu (or
// the level aScenePath names) and runs frames until the screens end or the window closes.
// Returns the process's exit status: non-zero when the engine could not start.
int Go(const std::string& aScenePath);
// The same, starting on the screen aFirstScreen makes instead.
int Go(const std::string& aScenePath, const FirstScreenMaker& aFirstScreen);

// The engine hands every window message here first: input, quit on destroy, the resize bus on a
// size message, the cursor on focus changes. Always 0.
Platform::LResult HandleWindowMessage(Platform::WindowHandle aWindow, std::uint32_t aMessage, Platform::WParam aWParam, Platform::LParam aLParam);
