#include "shell/GameWorld.h"

#include "audio/AudioManager.h"
#include "effects/VfxManager.h"
#include "level/LevelState.h"
#include "screens/MainMenuState.h"

#include <exception>
#include <iostream>

void GameWorld::InitServices(CommonUtilities::InputHandler& anInput)
{
    try
    {
        AudioManager::GetInstance().Init();
    }
    catch (const std::exception& anError)
    {
        // A malformed sound table: the game runs on without the sounds it could not read.
        std::cout << "Could not read the sound table: " << anError.what() << std::endl;
    }
    VfxManager::GetInstance().Load();
    myPromptBox.Init(anInput);
    mySpeedrunTimer.Init();
}

void GameWorld::InitMainMenu(CommonUtilities::InputHandler& anInput)
{
    InitServices(anInput);
    mySceneStateStack.PushState(std::make_unique<MainMenuState>(mySceneStateStack));
}

void GameWorld::InitWithScene(const std::string& aScenePath, CommonUtilities::InputHandler& anInput)
{
    InitServices(anInput);
    auto level = std::make_unique<LevelState>(mySceneStateStack);
    std::cout << "Loading Scene: " << aScenePath << std::endl;
    bool isLoaded = false;
    try
    {
        isLoaded = level->LoadScene(aScenePath);
    }
    catch (const std::exception& anError)
    {
        // A malformed level file: the game starts at the menu rather than ending.
        std::cout << "Failed to load scene: " << aScenePath << ": " << anError.what() << std::endl;
    }
    if (!isLoaded)
    {
        // A half-built level has no player to run: start at the main menu instead.
        std::cout << "Scene could not be loaded, starting at the main menu: " << aScenePath << std::endl;
        mySceneStateStack.PushState(std::make_unique<MainMenuState>(mySceneStateStack));
        return;
    }
    std::cout << "Scene Loaded Fully" << std::endl;
    mySceneStateStack.PushState(std::move(level));
    std::cout << "Scene Pushed" << std::endl;
}

void GameWorld::InitWithState(std::unique_ptr<SceneState> aState, CommonUtilities::InputHandler& anInput)
{
    InitServices(anInput);
    mySceneStateStack.PushState(std::move(aState));
}

bool GameWorld::Update(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    const bool isRunning = mySceneStateStack.Update(aDeltaTime, anInput);
    // The services run this frame too, even when the screens have just ended.
    AudioManager::GetInstance().Update(anInput, aDeltaTime);
    VfxManager::GetInstance().Update(aDeltaTime);
    myPromptBox.Update();
    mySpeedrunTimer.Update();
    return isRunning;
}

void GameWorld::Render()
{
    mySceneStateStack.Render();
    VfxManager::GetInstance().Render();
    myPromptBox.Render();
    mySpeedrunTimer.Render();
}
