#include "level/LevelState.h"

#include "settings/Settings.h"

#include <filesystem>
#include <iostream>

LevelState::LevelState(SceneStateStack& aSceneStateStack)
    : SceneState(&aSceneStateStack)
{
}

bool LevelState::OnInit()
{
    return true;
}

bool LevelState::LoadScene(const std::string& aScenePath)
{
    // A scene path names a folder of object files beside it.
    std::filesystem::path folder(aScenePath);
    folder.replace_extension(".leveldata");
    const std::string resolved = Vra::ResolveAssetPath(folder.string());
    if (resolved.empty() || !std::filesystem::is_directory(resolved))
    {
        std::cout << "Failed to load scene: " << aScenePath << std::endl;
        return false;
    }
    myLevelPath = aScenePath;
    return true;
}

bool LevelState::Update(float /*aDeltaTime*/, CommonUtilities::InputHandler& /*anInput*/)
{
    return true;
}

void LevelState::Render()
{
}

CameraController* LevelState::GetCameraController()
{
    return nullptr;
}
