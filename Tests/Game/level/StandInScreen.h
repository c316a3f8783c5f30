#pragma once
#include "shell/SceneState.h"

#include "shell/SceneStateStack.h"

// A screen that stays until its layer goes: the menu beneath a level, or a layer of its own.
class StandInScreen : public SceneState
{
public:
    explicit StandInScreen(SceneStateStack& aStack) : SceneState(&aStack) {}
    bool OnInit() override { return true; }
    bool Update(float, CommonUtilities::InputHandler&) override { return true; }
    void Render() override {}
};
