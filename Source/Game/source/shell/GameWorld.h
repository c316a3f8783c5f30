#pragma once
#include "overlays/PromptBox.h"
#include "overlays/SpeedrunTimer.h"
#include "shell/SceneStateStack.h"

#include <memory>
#include <string>

namespace CommonUtilities
{
    class InputHandler;
}

// The game object: the overlays and the screen stack. Built after the engine has started and
// destroyed before it shuts down; the screen stack goes first, the prompt box last.
class GameWorld
{
public:
    GameWorld() = default;
    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    // Starts the audio, the sprite effects and the overlays, then shows the main menu.
    void InitMainMenu(CommonUtilities::InputHandler& anInput);
    // The same, but starts in the level the path names; at the main menu when it fails to load.
    void InitWithScene(const std::string& aScenePath, CommonUtilities::InputHandler& anInput);
    // The same, with a first screen of the caller's.
    void InitWithState(std::unique_ptr<SceneState> aState, CommonUtilities::InputHandler& anInput);

    // The screens, then audio, effects, prompt box and timer whatever the screens said. False
    // once the top layer is empty.
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput);
    // The screens, the sprite effects, the prompt box and the timer, in that order.
    void Render();

    SceneStateStack& GetSceneStateStack() { return mySceneStateStack; }
    PromptBox& GetPromptBox() { return myPromptBox; }
    SpeedrunTimer& GetSpeedrunTimer() { return mySpeedrunTimer; }

private:
    void InitServices(CommonUtilities::InputHandler& anInput);

    PromptBox myPromptBox;
    SpeedrunTimer mySpeedrunTimer;
    SceneStateStack mySceneStateStack;
};
