#include "screens/LevelLoading.h"

#include "level/LevelState.h"
#include "shell/SceneState.h"

#include <chrono>
#include <exception>
#include <iostream>

LevelMaker MakeLevelState()
{
    return [](SceneStateStack& aStack) -> std::unique_ptr<SceneState> { return std::make_unique<LevelState>(aStack); };
}

LevelLoading::~LevelLoading()
{
    if (myLoadingFuture.valid())
    {
        myLoadingFuture.wait();
    }
}

void LevelLoading::Start(std::unique_ptr<SceneState> aLevel, const std::string& aScenePath)
{
    if (myLoadingFuture.valid())
    {
        myLoadingFuture.wait();
    }
    myLoadingLevel = std::move(aLevel);
    myScenePath = aScenePath;
    SceneState* const level = myLoadingLevel.get();
    myLoadingFuture = std::async(std::launch::async, [level, aScenePath] { return level->LoadScene(aScenePath); });
}

bool LevelLoading::IsReady() const
{
    return myLoadingFuture.valid() && myLoadingFuture.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

std::unique_ptr<SceneState> LevelLoading::TakeLevel()
{
    bool isLoaded = false;
    try
    {
        isLoaded = myLoadingFuture.get();
    }
    catch (const std::exception& anError)
    {
        std::cout << "Failed to load scene: " << myScenePath << ": " << anError.what() << std::endl;
    }
    catch (...)
    {
        std::cout << "Failed to load scene: " << myScenePath << ": an unknown error" << std::endl;
    }
    std::unique_ptr<SceneState> level = std::move(myLoadingLevel);
    if (!isLoaded)
    {
        level.reset();
    }
    return level;
}
