#include "SceneState.h"

SceneState::SceneState(SceneStateStack* aSceneStateStack)
    : mySceneStateStack(aSceneStateStack)
{
}

SceneState::~SceneState() = default;

bool SceneState::LoadScene(const std::string& /*aScenePath*/)
{
    return true;
}

void SceneState::OnExit()
{
}

bool SceneState::IsOverlay()
{
    return myIsOverlay;
}

CameraController* SceneState::GetCameraController()
{
    return nullptr;
}
