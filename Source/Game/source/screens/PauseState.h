#pragma once
#include "shell/SceneState.h"

// The menu over a paused level. For now it only resumes: Escape or START gives the level back.
class PauseState : public SceneState
{
public:
    explicit PauseState(SceneStateStack& aSceneStateStack);

    bool OnInit() override;
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;
};
