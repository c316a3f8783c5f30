#pragma once
#include <string>

class CameraController;
class SceneStateStack;

namespace CommonUtilities
{
    class InputHandler;
}

// One screen of the game. The stack owns it, calls OnInit when it is pushed and OnExit when it
// leaves by its own Update result, by PopState or by a pending replacement (not when its layer goes).
class SceneState
{
public:
    explicit SceneState(SceneStateStack* aSceneStateStack);
    virtual ~SceneState();
    SceneState(const SceneState&) = delete;
    SceneState& operator=(const SceneState&) = delete;

    virtual bool OnInit() = 0;
    virtual bool LoadScene(const std::string& aScenePath);
    virtual void OnExit();
    // False ends the state.
    virtual bool Update(float aDeltaTime, CommonUtilities::InputHandler& aInput) = 0;
    virtual void Render() = 0;
    // An overlay lets the state beneath it show through.
    virtual bool IsOverlay();
    virtual CameraController* GetCameraController();

protected:
    bool myIsOverlay = false;
    SceneStateStack* mySceneStateStack;
};
