#pragma once
#include "player/states/JumpState.h"

// A jump in the air, with its own start, sound and clips; it rises like a jump.
class DoubleJumpState : public JumpState
{
public:
    void OnEnter(Player& aPlayer) override;
    void Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void OnExit(Player& aPlayer) override;
    std::string GetName() const override { return "DoubleJump"; }
};
