#pragma once
#include "shell/SceneState.h"

#include <string>

// The screen that plays one level. For now it only checks that the scene's folder exists.
class LevelState : public SceneState
{
public:
    explicit LevelState(SceneStateStack& aSceneStateStack);

    bool OnInit() override;
    // False when the scene cannot be loaded.
    bool LoadScene(const std::string& aScenePath) override;
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;
    CameraController* GetCameraController() override;

private:
    std::string myLevelPath;
};
